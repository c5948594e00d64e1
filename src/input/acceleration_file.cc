#include "input/acceleration_file.h"

#include "base/case_record.h"
#include "input/input_open.h"
#include "input/read_in_order.h"
#include "platform/encoding.h"
#include "platform/processors.h"
#include "record/failure.h"
#include "record/field_read.h"
#include "record/free_form.h"
#include "record/input_channel.h"
#include "record/layout.h"
#include "record/list_item.h"
#include "state/channels.h"
#include "state/error_stop.h"

namespace lpgm {

std::string AccelerationFilePath(const RunState& state, int case_number) {
  std::string path(
      Leading(state.CASEDIR(case_number), state.LCASEDIR(case_number)));
  path += '\\';
  path += platform::Cp932Literal(kCaseFileName);
  return path;
}

namespace {

// Where the samples ended, reading on past the count when they were all
// read and no slash came before it.
SamplesEnd EndOfSamples(InputChannel& channel, const FreeFormEnd& end) {
  SamplesEnd seen;
  seen.slash_line = end.slash_line;
  seen.values_before_slash = static_cast<long>(end.values_before_slash);
  if (end.slash_line == 0)
    seen.value_after_count_line = end.past_end > 0
                                      ? channel.records_begun()
                                      : LineOfValueAfterRead(channel);
  return seen;
}

}  // namespace

void ReadAccelerationFile(RunState& state, platform::FileSystem& files,
                          int case_number, ReadReporter& reporter) {
  static const Layout kHeader = Layout::Parse("(I20,F20.0)");
  const bool collect = reporter.Collects();
  std::string path = AccelerationFilePath(state, case_number);
  std::unique_ptr<platform::InputStream> stream = OpenInputOrStop(files, path);
  InputChannel channel(*stream, kUnitAcceleration, path);
  double dropped = 0.0;  // the real number after the count
  FieldsSeen header;
  ReadRecord(
      channel, kHeader,
      {ListItem::Integer(&state.NPTS(case_number)), ListItem::Real(&dropped)},
      collect ? &header : nullptr);
  if (collect)
    reporter.HeaderTimeStep(case_number, header.last_filled
                                             ? std::optional<double>(dropped)
                                             : std::nullopt);
  const int n = state.NPTS(case_number);
  if (n > kSampleCapacity)
    StopWithMessage(StopReason::kSampleCount, SampleCountMessage(path));
  // ACC(i, 1) to ACC(i, n), one column of the table; nothing when n <= 0.
  const std::size_t count = n > 0 ? static_cast<std::size_t>(n) : 0;
  if (!collect) {
    ReadFreeForm(channel, {ListItem::Real(state.AccColumn(case_number), count)},
                 nullptr, state.kernel);
    return;
  }
  FreeFormEnd end;
  try {
    ReadFreeForm(channel, {ListItem::Real(state.AccColumn(case_number), count)},
                 &end, state.kernel);
  } catch (const RunStop&) {
    SamplesEnd failed;
    failed.failed = true;
    failed.values_before_failure = static_cast<long>(end.values_at_failure);
    reporter.SamplesEnded(case_number, failed);
    throw;
  }
  if (n > 0) reporter.SamplesEnded(case_number, EndOfSamples(channel, end));
}

namespace {

// Two threads pay when there is a second processor, and they are safe when
// every case file is a regular file the file system can read ahead: all of
// them exist before the run starts, nothing the run writes is opened before
// the last of them is read, and opening one early neither waits nor has any
// effect (a pipe or device is read only in its turn, by one thread).
bool ReadAheadIsSafeAndPays(const RunState& state,
                            platform::FileSystem& files) {
  if (state.NCASE < 2 || platform::UsableProcessors() < 2) return false;
  for (int i = 1; i <= state.NCASE; ++i) {
    if (!files.CanReadAhead(AccelerationFilePath(state, i))) return false;
  }
  return true;
}

}  // namespace

void ReadAccelerationFiles(RunState& state, platform::FileSystem& files,
                           const std::function<void(int)>& after_read) {
  // Each case fills its own column and count; the failure reported is that
  // of the first failing case, as when the files are read in order.
  ReadInOrder(
      state.NCASE,
      [&](int i) {
        ReadAccelerationFile(state, files, i);
        if (after_read) after_read(i);
      },
      ReadAheadIsSafeAndPays(state, files));
}

}  // namespace lpgm
