#include "run/dialogue.h"

#include "platform/encoding.h"
#include "record/failure.h"
#include "record/free_form.h"
#include "record/layout.h"
#include "record/record_writer.h"
#include "record/trimmed_length.h"
#include "state/channels.h"

namespace lpgm {
namespace {

// Text with no line end: the prompt and the error stop's message.
const Layout& TextWithoutLineEnd() {
  static const Layout layout = Layout::Parse("(A,$)");
  return layout;
}

}  // namespace

std::string_view PromptText() {
  return platform::Cp932Literal("震源断層/ケースフォルダ定義ファイル:");
}

Dialogue::Dialogue(platform::Console& console)
    : input_(console.Input(), kUnitConsoleIn, "stdin", 64 * 1024),
      output_(console.Output(), kUnitConsoleOut, "stdout", 4096) {}

void Dialogue::AskDefinitionFile(RunState& state) {
  RecordWriter(output_, TextWithoutLineEnd()).Text(PromptText()).End();
  output_.Flush();
  ReadFreeForm(input_, {ListItem::Text(&state.DEFFILE)});
  state.LDEFFILE = LCHR40(state.DEFFILE);
}

void Dialogue::ShowAndPause(std::string_view message) {
  RecordWriter(output_, TextWithoutLineEnd()).Text(message).End();
  output_.Flush();
  input_.SkipRecord();
}

}  // namespace lpgm
