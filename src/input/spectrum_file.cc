#include "input/spectrum_file.h"

#include "base/case_record.h"
#include "input/input_open.h"
#include "platform/encoding.h"
#include "record/failure.h"
#include "record/field_read.h"
#include "record/input_channel.h"
#include "record/layout.h"
#include "record/list_item.h"
#include "state/channels.h"

namespace lpgm {

std::string SpectrumFilePath(const RunState& state, int fault) {
  std::string path(Leading(state.FLTDIR(fault), state.LFLTDIR(fault)));
  path += '\\';
  path += platform::Cp932Literal(kSpectrumFileName);
  return path;
}

void ReadSpectrumFile(RunState& state, platform::FileSystem& files, int fault,
                      ReadReporter& reporter) {
  static const Layout kRow = Layout::Parse("(28F20.0)");
  const bool collect = reporter.Collects();
  std::string path = SpectrumFilePath(state, fault);
  std::unique_ptr<platform::InputStream> stream = OpenInputOrStop(files, path);
  InputChannel channel(*stream, kUnitSpectrum, path, 64 * 1024);
  for (int h = 0; h < 9; ++h) channel.SkipRecord();
  for (int j = 1; j <= state.NPER; ++j) {
    // Fields 2 to 27, and field 1 of the later faults, are read and dropped.
    double dropped_period = 0.0;
    double dropped[26];
    double* period = fault == 1 ? &state.PERIOD(j) : &dropped_period;
    FieldsSeen fields;
    ReadRecord(channel, kRow,
               {ListItem::Real(period), ListItem::Real(dropped, 26),
                ListItem::Real(&state.SVF(fault, j))},
               collect ? &fields : nullptr);
    if (collect)
      reporter.SpectrumRow(fault, j,
                           {channel.records_begun(), fields.filled,
                            fields.last_filled, *period});
  }
}

void ReadSpectrumFiles(RunState& state, platform::FileSystem& files) {
  for (int i = 1; i <= state.NFAULT; ++i) ReadSpectrumFile(state, files, i);
}

}  // namespace lpgm
