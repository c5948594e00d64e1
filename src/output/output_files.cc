#include "output/output_files.h"

#include <memory>
#include <string>

#include "output/time_rows.h"
#include "platform/encoding.h"
#include "record/failure.h"
#include "record/layout.h"
#include "record/output_channel.h"
#include "record/record_writer.h"
#include "state/channels.h"

namespace lpgm {
namespace {

constexpr const char* kNames[6] = {
    "入力用･目標速度スペクトル.csv",       "入力用･位相用加速度波形.csv",
    "参考･各震源断層の速度スペクトル.csv", "参考･各ケースの加速度波形.csv",
    "参考･各ケースの速度波形.csv",         "参考･各ケースの最大速度.csv",
};

std::string_view Cp932(const char* utf8) {
  return platform::Cp932Literal(utf8);
}

// One output file, open for the duration of its writing.
class OutputFile {
 public:
  OutputFile(platform::FileSystem& files, int index)
      : unit_(kUnitFirstOutput + index), name_(OutputFileName(index)) {
    platform::OpenError error = platform::OpenError::kNone;
    stream_ = files.OpenForWriting(name_, &error);
    if (!stream_)
      throw RunStop::RecordFailure(OpenFailureNumber(error), unit_, name_);
    channel_ = std::make_unique<OutputChannel>(*stream_, unit_, name_);
  }
  OutputChannel& channel() { return *channel_; }
  void Close() { channel_->Close(); }

 private:
  int unit_;
  std::string name_;
  std::unique_ptr<platform::OutputStream> stream_;
  std::unique_ptr<OutputChannel> channel_;
};

// The layouts, each parsed once.
const Layout& WholeText() {
  static const Layout layout = Layout::Parse("(A)");
  return layout;
}
const Layout& PairRow() {
  static const Layout layout = Layout::Parse("(F12.4,A1,F14.6)");
  return layout;
}
const Layout& CaseHeader() {
  static const Layout layout = Layout::Parse("(A,30(A10,I2))");
  return layout;
}

// Header "first,No. 1,No. 2,...,unit" by (A,n(A10,I2)).
void WriteColumnHeader(OutputChannel& channel, const Layout& layout,
                       std::string_view first, int columns, const char* unit) {
  RecordWriter w(channel, layout);
  w.Text(first);
  for (int j = 1; j <= columns; ++j) w.Text(",No.").Int(j);
  if (unit != nullptr) w.Text(Cp932(unit));
  w.End();
}

// Files 24 and 25: a time column and one column per case, NPMAX lines.
template <typename ColumnOf>
void WriteWaveformFile(const RunState& state, platform::FileSystem& files,
                       int index, const char* unit, ColumnOf column_of) {
  OutputFile file(files, index);
  OutputChannel& channel = file.channel();
  WriteColumnHeader(channel, CaseHeader(), Cp932("時刻(s)"), state.NCASE, unit);
  CheckIndex(state.NCASE, kCaseSlots);
  if (state.NPMAX > 0) CheckIndex(state.NPMAX, kSampleCapacity);
  const double* columns[kCaseSlots];
  for (int j = 1; j <= state.NCASE; ++j) columns[j - 1] = column_of(j);
  WriteTimeRows(channel, state.DT, state.NPMAX, columns, state.NCASE,
                state.kernel);
  file.Close();
}

}  // namespace

std::string_view OutputFileName(int index) { return Cp932(kNames[index]); }

void WriteTargetSpectrumFile(const RunState& state,
                             platform::FileSystem& files) {
  OutputFile file(files, 0);
  OutputChannel& channel = file.channel();
  RecordWriter(channel, WholeText()).Text(Cp932("周期(s),速度Sv(cm/s)")).End();
  for (int i = 1; i <= state.NPER; ++i) {
    RecordWriter(channel, PairRow())
        .Real(state.PERIOD(i))
        .Text(",")
        .Real(state.SVTGT(i))
        .End();
  }
  file.Close();
}

void WritePhaseAccelerationFile(const RunState& state,
                                platform::FileSystem& files) {
  OutputFile file(files, 1);
  OutputChannel& channel = file.channel();
  RecordWriter(channel, WholeText()).Text(Cp932("時刻(s),加速度(cm/s2)")).End();
  const double* column = state.AccColumn(state.IMED);
  const int n = state.NPTS(state.IMED);
  if (n > 0) CheckIndex(n, kSampleCapacity);
  WriteTimeRows(channel, state.DT, n, &column, 1, state.kernel);
  file.Close();
}

void WriteFaultSpectraFile(const RunState& state, platform::FileSystem& files) {
  static const Layout kHeader = Layout::Parse("(A,10(A10,I2))");
  static const Layout kRow = Layout::Parse("(F12.4,10(A1,F14.6))");
  OutputFile file(files, 2);
  OutputChannel& channel = file.channel();
  WriteColumnHeader(channel, kHeader, Cp932("周期(s)"), state.NFAULT,
                    ",(cm/s)");
  for (int i = 1; i <= state.NPER; ++i) {
    RecordWriter w(channel, kRow);
    w.Real(state.PERIOD(i));
    for (int j = 1; j <= state.NFAULT; ++j) w.Text(",").Real(state.SVF(j, i));
    w.End();
  }
  file.Close();
}

void WriteCaseAccelerationsFile(const RunState& state,
                                platform::FileSystem& files) {
  WriteWaveformFile(state, files, 3, ",(cm/s2)",
                    [&](int j) { return state.AccColumn(j); });
}

void WriteCaseVelocitiesFile(const RunState& state, platform::FileSystem& files,
                             VelocityColumns where) {
  WriteWaveformFile(state, files, 4, ",(cm/s)", [&](int j) {
    return where == VelocityColumns::kInAcc ? state.AccColumn(j)
                                            : state.VelColumn(j);
  });
}

void WriteCasePeaksFile(const RunState& state, platform::FileSystem& files) {
  static const Layout kPeaks = Layout::Parse("(A,30(A1,F14.6))");
  static const Layout kRanks = Layout::Parse("(A,30(A1,I3))");
  OutputFile file(files, 5);
  OutputChannel& channel = file.channel();
  WriteColumnHeader(channel, CaseHeader(), Cp932("ケース番号"), state.NCASE,
                    nullptr);
  RecordWriter peaks(channel, kPeaks);
  peaks.Text(Cp932("最大速度(cm/s)"));
  for (int j = 1; j <= state.NCASE; ++j) peaks.Text(",").Real(state.VMAX(j));
  peaks.End();
  RecordWriter ranks(channel, kRanks);
  ranks.Text(Cp932("最大速度順位"));
  for (int j = 1; j <= state.NCASE; ++j) ranks.Text(",").Int(state.IRANK(j));
  ranks.End();
  file.Close();
}

}  // namespace lpgm
