#include "input/spectrum_file.h"

#include "input/input_open.h"
#include "platform/encoding.h"
#include "record/failure.h"
#include "record/field_read.h"
#include "record/input_channel.h"
#include "record/layout.h"
#include "record/variables.h"

namespace lpgm {

std::string SpectrumFilePath(RunState& state, int fault) {
  std::string path(Leading(state.FLTDIR(fault), state.LFLTDIR(fault)));
  path += platform::Cp932Literal("\\Korvel長周期.csv");
  return path;
}

void ReadSpectrumFile(RunState& state, platform::FileSystem& files, int fault) {
  static const Layout kRow = Layout::Parse("(28F20.0)");
  const int i = fault;
  std::string path = SpectrumFilePath(state, i);
  std::unique_ptr<platform::InputStream> stream = OpenInputOrStop(files, path);
  InputChannel channel(*stream, kUnitSpectrum, path, 64 * 1024);
  for (int h = 0; h < 9; ++h) channel.SkipRecord();
  for (int j = 1; j <= state.NPER; ++j) {
    // Fields 2 to 27, and field 1 of the later faults, land in the scratch
    // record and are dropped.
    double* period = i == 1 ? &state.PERIOD(j) : &state.scratch[0];
    ReadRecord(channel, kRow,
               {Variables::Real(period), Variables::Real(&state.scratch[1], 26),
                Variables::Real(&state.SVF(i, j))});
  }
}

void ReadSpectrumFiles(RunState& state, platform::FileSystem& files) {
  for (int i = 1; i <= state.NFAULT; ++i) ReadSpectrumFile(state, files, i);
}

}  // namespace lpgm
