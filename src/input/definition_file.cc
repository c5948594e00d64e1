#include "input/definition_file.h"

#include <string>

#include "input/input_open.h"
#include "record/failure.h"
#include "record/field_read.h"
#include "record/free_form.h"
#include "record/input_channel.h"
#include "record/layout.h"
#include "record/list_item.h"
#include "record/trimmed_length.h"
#include "state/channels.h"
#include "state/error_stop.h"

namespace lpgm {
namespace {

// The error stops of one list: a line naming a slot out of range, and a
// slot no line named.
struct ListStops {
  StopReason line_reason;
  std::string (*line_error)(int k);
  StopReason missing_reason;
  std::string (*missing_error)(int k);
};

// Reads `count` lines of one list into the slots that `dir_at` / `length_at`
// give, then checks that every slot 1 to count was named.
template <typename DirAt, typename LengthAt>
void ReadList(InputChannel& channel, RunState& state, int count, DirAt dir_at,
              LengthAt length_at, const ListStops& stops) {
  static const Layout kLine = Layout::Parse("(I20,A400)");
  for (int k = 1; k <= count; ++k) {
    std::int32_t slot = 0;
    ReadRecord(channel, kLine,
               {ListItem::Integer(&slot), ListItem::Text(&state.LINEBUF)});
    if (slot <= 0 || slot > count)
      StopWithMessage(stops.line_reason, stops.line_error(k));
    dir_at(slot) = state.LINEBUF;
    length_at(slot) = LCHR400(state.LINEBUF);
  }
  for (int k = 1; k <= count; ++k) {
    if (length_at(k) == 0)
      StopWithMessage(stops.missing_reason, stops.missing_error(k));
  }
}

}  // namespace

void ReadDefinitionFile(RunState& state, platform::FileSystem& files) {
  std::string name(Leading(state.DEFFILE, state.LDEFFILE));
  std::unique_ptr<platform::InputStream> stream = OpenInputOrStop(files, name);
  InputChannel channel(*stream, kUnitDefinition, name);

  channel.SkipRecord();  // title
  int status = TryReadFreeForm(channel, {ListItem::Integer(&state.NFAULT),
                                         ListItem::Integer(&state.NCASE)});
  if (status != 0 || state.NCASE > kMaxCases || state.NCASE <= 0 ||
      state.NFAULT <= 0 || state.NFAULT > kMaxFaults)
    StopWithMessage(StopReason::kCountError, CountErrorMessage());

  channel.SkipRecord();  // heading of the fault list
  ReadList(
      channel, state, state.NFAULT,
      [&](int i) -> Text400& { return state.FLTDIR(i); },
      [&](int i) -> std::int32_t& { return state.LFLTDIR(i); },
      {StopReason::kFaultLine, FaultLineErrorMessage, StopReason::kFaultMissing,
       FaultMissingMessage});

  channel.SkipRecord();  // heading of the case list
  ReadList(
      channel, state, state.NCASE,
      [&](int i) -> Text400& { return state.CASEDIR(i); },
      [&](int i) -> std::int32_t& { return state.LCASEDIR(i); },
      {StopReason::kCaseLine, CaseLineErrorMessage, StopReason::kCaseMissing,
       CaseMissingMessage});
}

}  // namespace lpgm
