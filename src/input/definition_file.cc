#include "input/definition_file.h"

#include <string>

#include "input/input_open.h"
#include "record/failure.h"
#include "record/field_read.h"
#include "record/free_form.h"
#include "record/input_channel.h"
#include "record/layout.h"
#include "record/trimmed_length.h"
#include "record/variables.h"
#include "run/error_stop.h"

namespace lpgm {
namespace {

std::string Numbered(const char* head, int k, const char* tail) {
  return head + std::to_string(k) + tail;
}

// Reads `count` lines of one list into the slots of `dirs` / `lengths`
// (capacity `slots`), then checks that every slot 1 to count was named.
template <typename DirAt, typename LengthAt>
void ReadList(InputChannel& channel, RunState& state, int count,
              DirAt dir_at, LengthAt length_at, const char* line_error,
              const char* missing_error) {
  static const Layout kLine = Layout::Parse("(I20,A400)");
  for (int k = 1; k <= count; ++k) {
    std::int32_t slot = 0;
    ReadRecord(channel, kLine,
               {Variables::Integer(&slot), Variables::Text(&state.LINEBUF)});
    if (slot <= 0 || slot > count)
      ErrorStop(Numbered(line_error, k, "Error ! [Enter]"));
    dir_at(slot) = state.LINEBUF;
    length_at(slot) = LCHR400(state.LINEBUF);
  }
  for (int k = 1; k <= count; ++k) {
    if (length_at(k) == 0)
      ErrorStop(Numbered(missing_error, k, " not exist ! [Enter]"));
  }
}

}  // namespace

void ReadDefinitionFile(RunState& state, platform::FileSystem& files) {
  std::string name(Leading(state.DEFFILE, state.LDEFFILE));
  std::unique_ptr<platform::InputStream> stream = OpenInputOrStop(files, name);
  InputChannel channel(*stream, kUnitDefinition, name);

  channel.SkipRecord();  // title
  int status = ReadFreeFormWithStatus(
      channel, {Variables::Integer(&state.NFAULT),
                Variables::Integer(&state.NCASE)});
  if (status != 0 || state.NCASE > kMaxCases || state.NCASE <= 0 ||
      state.NFAULT <= 0 || state.NFAULT > kMaxFaults)
    ErrorStop("Fault number or Case number Error ! [Enter]");

  channel.SkipRecord();  // heading of the fault list
  ReadList(
      channel, state, state.NFAULT,
      [&](int i) -> Text400& { return state.FLTDIR(i); },
      [&](int i) -> std::int32_t& { return state.LFLTDIR(i); },
      "Fault data line no.", "Fault data no.");

  channel.SkipRecord();  // heading of the case list
  ReadList(
      channel, state, state.NCASE,
      [&](int i) -> Text400& { return state.CASEDIR(i); },
      [&](int i) -> std::int32_t& { return state.LCASEDIR(i); },
      "Case data line no.", "Case data no.");
}

}  // namespace lpgm
