#include "input/acceleration_file.h"

#include "input/input_open.h"
#include "platform/encoding.h"
#include "record/failure.h"
#include "record/field_read.h"
#include "record/free_form.h"
#include "record/input_channel.h"
#include "record/layout.h"
#include "record/variables.h"
#include "run/error_stop.h"

namespace lpgm {

std::string AccelerationFilePath(RunState& state, int case_number) {
  std::string path(
      Leading(state.CASEDIR(case_number), state.LCASEDIR(case_number)));
  path += platform::Cp932Literal("\\加速度波形.acc");
  return path;
}

void ReadAccelerationFile(RunState& state, platform::FileSystem& files,
                          int case_number) {
  static const Layout kHeader = Layout::Parse("(I20,F20.0)");
  const int i = case_number;
  std::string path = AccelerationFilePath(state, i);
  std::unique_ptr<platform::InputStream> stream = OpenInputOrStop(files, path);
  InputChannel channel(*stream, kUnitAcceleration, path);
  ReadRecord(
      channel, kHeader,
      {Variables::Integer(&state.NPTS(i)), Variables::Real(&state.scratch[0])});
  int n = state.NPTS(i);
  if (n > kSampleCapacity) {
    stream.reset();  // closed before the stop
    ErrorStop(path + " sample number Error ! [Enter]");
  }
  std::size_t count = n > 0 ? static_cast<std::size_t>(n) : 0;
  // ACC(i, 1) to ACC(i, n), one column of the table.
  double* first = count > 0 ? &state.ACC(i, 1) : &state.scratch[0];
  if (count > 0) CheckIndex(n, kSampleCapacity);
  ReadFreeForm(channel, {Variables::Real(first, count)});
}

void ReadAccelerationFiles(RunState& state, platform::FileSystem& files) {
  for (int i = 1; i <= state.NCASE; ++i) ReadAccelerationFile(state, files, i);
}

}  // namespace lpgm
