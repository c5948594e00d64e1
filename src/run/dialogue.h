// The console dialogue: the prompt and its answer, and the message and pause
// of an error stop. Console input is channel 5 ("stdin"), console output
// channel 6 ("stdout").
#ifndef LPGM_RUN_DIALOGUE_H_
#define LPGM_RUN_DIALOGUE_H_

#include <string_view>

#include "platform/console.h"
#include "record/input_channel.h"
#include "record/output_channel.h"
#include "state/run_state.h"

namespace lpgm {

class Dialogue {
 public:
  explicit Dialogue(platform::Console& console);

  // Shows the prompt (no line end) and reads the answer by a free-form read
  // into DEFFILE; sets LDEFFILE. An empty line is passed over.
  void AskDefinitionFile(RunState& state);
  // Shows `message` with no line end and waits for one line, which is
  // discarded.
  void ShowAndPause(std::string_view message);

 private:
  InputChannel input_;
  OutputChannel output_;
};

// The prompt: "震源断層/ケースフォルダ定義ファイル:" in CP932 (36 bytes).
std::string_view PromptText();

}  // namespace lpgm

#endif  // LPGM_RUN_DIALOGUE_H_
