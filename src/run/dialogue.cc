#include "run/dialogue.h"

#include "platform/encoding.h"
#include "record/failure.h"
#include "record/free_form.h"
#include "record/layout.h"
#include "record/record_writer.h"
#include "record/trimmed_length.h"

namespace lpgm {

std::string_view PromptText() {
  return platform::Cp932Literal("震源断層/ケースフォルダ定義ファイル:");
}

Dialogue::Dialogue(platform::Console& console)
    : input_(console.Input(), kUnitConsoleIn, "stdin", 64 * 1024),
      output_(console.Output(), kUnitConsoleOut, "stdout", 4096) {}

void Dialogue::AskDefinitionFile(RunState& state) {
  static const Layout kPrompt = Layout::Parse("(A,$)");
  RecordWriter(output_, kPrompt).Text(PromptText()).End();
  output_.Flush();
  ReadFreeForm(input_, {ListItem::Text(&state.DEFFILE)});
  state.LDEFFILE = LCHR40(state.DEFFILE);
}

void Dialogue::ShowAndPause(std::string_view message) {
  static const Layout kMessage = Layout::Parse("(A,$)");
  RecordWriter(output_, kMessage).Text(message).End();
  output_.Flush();
  input_.SkipRecord();
}

}  // namespace lpgm
