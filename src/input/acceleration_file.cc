#include "input/acceleration_file.h"

#include "input/input_open.h"
#include "platform/encoding.h"
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
  path += platform::Cp932Literal("\\加速度波形.acc");
  return path;
}

void ReadAccelerationFile(RunState& state, platform::FileSystem& files,
                          int case_number) {
  static const Layout kHeader = Layout::Parse("(I20,F20.0)");
  std::string path = AccelerationFilePath(state, case_number);
  std::unique_ptr<platform::InputStream> stream = OpenInputOrStop(files, path);
  InputChannel channel(*stream, kUnitAcceleration, path);
  double dropped = 0.0;  // the real number after the count
  ReadRecord(
      channel, kHeader,
      {ListItem::Integer(&state.NPTS(case_number)), ListItem::Real(&dropped)});
  const int n = state.NPTS(case_number);
  if (n > kSampleCapacity) StopWithMessage(SampleCountMessage(path));
  // ACC(i, 1) to ACC(i, n), one column of the table; nothing when n <= 0.
  const std::size_t count = n > 0 ? static_cast<std::size_t>(n) : 0;
  ReadFreeForm(channel, {ListItem::Real(state.AccColumn(case_number), count)});
}

void ReadAccelerationFiles(RunState& state, platform::FileSystem& files) {
  for (int i = 1; i <= state.NCASE; ++i) ReadAccelerationFile(state, files, i);
}

}  // namespace lpgm
