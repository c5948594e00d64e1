// The hot stages of a run, each timed alone on in-memory data:
//
//   ReadFreeForm/*        the samples of one acceleration record (MB/s)
//   ReadSpectrumFile      one long-period spectrum file, 9 + 55 lines (MB/s)
//   FormatFixed14_6, FormatF12_4, FormatI3
//                         one output field (ns per field)
//   FormatF14_6Column     one column of waveform lines (ns per field)
//   TimeRows/*            waveform lines of 21 columns, line by line or one
//                         column at a time (ns per field)
//   WriteReferenceFiles   the writers of files 23 to 26, through an in-memory
//   file system
//                         (MB/s; the two waveform files are nearly all of it)
//   WriteInputUseFiles    files 21 and 22 (MB/s)
//
// Every input is built from a fixed seed, so runs compare.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "output/output_files.h"
#include "output/time_rows.h"
#include "platform/file_system.h"
#include "platform/stream.h"
#include "record/field_read.h"
#include "record/fixed_fast.h"
#include "record/free_form.h"
#include "record/input_channel.h"
#include "record/layout.h"
#include "record/list_item.h"
#include "record/number_format.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"
#include "support/memory_stream.h"

namespace {

constexpr std::uint32_t kSeed = 20240601;

using lpgm::testing::CountingFileSystem;
using lpgm::testing::MemoryInput;

// A counter that shows the time of one of the `n` items that every
// iteration handles (printed with its SI prefix: 20.1ns).
benchmark::Counter TimeEach(std::size_t n) {
  return benchmark::Counter(static_cast<double>(n),
                            benchmark::Counter::kIsIterationInvariantRate |
                                benchmark::Counter::kInvert);
}

// Accelerations of a few hundred cm/s2 with 4 decimals.
std::vector<double> Accelerations(std::size_t n) {
  std::mt19937 rng(kSeed);
  std::normal_distribution<double> noise(0.0, 120.0);
  std::vector<double> out(n);
  for (double& v : out) v = std::round(noise(rng) * 1e4) / 1e4;
  return out;
}

// The sample part of an acceleration record: F10.4 or 1PE13.5 fields,
// `per_line` to a line, CR LF line ends.
std::string SampleText(const std::vector<double>& values, bool exponent,
                       int per_line) {
  std::string text;
  text.reserve(values.size() * 14);
  char field[32];
  for (std::size_t i = 0; i < values.size(); ++i) {
    int n = exponent ? std::snprintf(field, sizeof field, "%13.5E", values[i])
                     : std::snprintf(field, sizeof field, "%10.4f", values[i]);
    text.append(field, static_cast<std::size_t>(n));
    if ((i + 1) % static_cast<std::size_t>(per_line) == 0 ||
        i + 1 == values.size())
      text += "\r\n";
  }
  return text;
}

// Arg 0: F10.4 ten to a line; 1: E form ten to a line; 2: F10.4 one to a line.
void BM_ReadFreeForm(benchmark::State& state) {
  constexpr std::size_t kSamples = lpgm::kSampleCapacity;
  const int style = static_cast<int>(state.range(0));
  const std::vector<double> values = Accelerations(kSamples);
  const std::string text = SampleText(values, style == 1, style == 2 ? 1 : 10);
  // What the text holds: the E form keeps 6 significant digits.
  std::vector<double> expected(values);
  if (style == 1) {
    char field[32];
    for (double& v : expected) {
      std::snprintf(field, sizeof field, "%.5E", v);
      v = std::strtod(field, nullptr);
    }
  }
  // One case's column of the run state.
  std::vector<double> acc(kSamples);
  for (auto _ : state) {
    auto input = MemoryInput::Over(text);
    lpgm::InputChannel channel(input, 13, "bench");
    lpgm::ReadFreeForm(channel, {lpgm::ListItem::Real(acc.data(), kSamples)},
                       nullptr, lpgm::platform::BestKernel());
    benchmark::DoNotOptimize(acc.data());
    benchmark::ClobberMemory();
  }
  for (std::size_t i = 0; i < kSamples; ++i) {
    if (acc[i] != expected[i]) {
      state.SkipWithError("a sample read back wrong");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
  state.counters["per_sample"] = TimeEach(kSamples);
}
BENCHMARK(BM_ReadFreeForm)
    ->ArgName("style")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

// A long-period spectrum file: 9 header lines of CP932 text, then 55 rows of
// 28 comma-separated numbers.
std::string SpectrumText() {
  std::mt19937 rng(kSeed + 1);
  std::uniform_real_distribution<double> value(0.01, 900.0);
  std::string text;
  for (int h = 0; h < 9; ++h)
    text += "\x92\xb7\x8e\xfc\x8a\xfa,header line " + std::to_string(h) +
            ",\x8e\xfc\x8a\xfa(s)\r\n";
  char field[32];
  for (int j = 0; j < 55; ++j) {
    std::snprintf(field, sizeof field, "%.4f", 0.1 * std::pow(100.0, j / 54.0));
    text += field;
    for (int k = 2; k <= 28; ++k) {
      std::snprintf(field, sizeof field, k == 28 ? ",%.6f" : ",%.5f",
                    value(rng));
      text += field;
    }
    text += "\r\n";
  }
  return text;
}

void BM_ReadSpectrumFile(benchmark::State& state) {
  const std::string text = SpectrumText();
  const lpgm::Layout layout = lpgm::Layout::Parse("(28F20.0)");
  double period[55];
  double sv[55];
  double scratch[26];
  for (auto _ : state) {
    auto input = MemoryInput::Over(text);
    lpgm::InputChannel channel(input, 12, "bench", 64 * 1024);
    for (int h = 0; h < 9; ++h) channel.SkipRecord();
    for (int j = 0; j < 55; ++j) {
      lpgm::ReadRecord(
          channel, layout,
          {lpgm::ListItem::Real(&period[j]), lpgm::ListItem::Real(scratch, 26),
           lpgm::ListItem::Real(&sv[j])});
    }
    benchmark::DoNotOptimize(period);
    benchmark::DoNotOptimize(sv);
    benchmark::ClobberMemory();
  }
  if (period[0] != 0.1) state.SkipWithError("the first period read back wrong");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 55);
}
BENCHMARK(BM_ReadSpectrumFile)->Unit(benchmark::kMicrosecond);

constexpr std::size_t kFields = 4096;

void ReportPerField(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(kFields));
  state.counters["per_field"] = TimeEach(kFields);
}

// Velocities: full-precision doubles of up to a few hundred cm/s.
template <typename Format>
void FormatVelocities(benchmark::State& state, Format format) {
  std::mt19937 rng(kSeed + 2);
  std::uniform_real_distribution<double> value(-300.0, 300.0);
  std::vector<double> values(kFields);
  for (double& v : values) v = value(rng);
  char out[14];
  for (auto _ : state) {
    for (double v : values) {
      format(out, v);
      benchmark::DoNotOptimize(out);
    }
  }
  ReportPerField(state);
}

// The same values through the general Fw.d conversion.
void BM_FormatFixed14_6(benchmark::State& state) {
  FormatVelocities(
      state, [](char* out, double v) { lpgm::FormatFixed(out, 14, 6, v); });
}
BENCHMARK(BM_FormatFixed14_6);

// The same values as one column of 21-column waveform lines; arg -1: the
// kernel this processor runs best, 0, 1, 2: one value, two and four values
// at a time (platform::Kernel).
void BM_FormatF14_6Column(benchmark::State& state) {
  const auto kernel = state.range(0) < 0
                          ? lpgm::platform::BestKernel()
                          : static_cast<lpgm::platform::Kernel>(state.range(0));
  if (!lpgm::platform::KernelRuns(kernel)) {
    state.SkipWithError("not on this processor");
    return;
  }
  std::mt19937 rng(kSeed + 2);
  std::uniform_real_distribution<double> value(-300.0, 300.0);
  std::vector<double> values(kFields);
  for (double& v : values) v = value(rng);
  const std::size_t line = lpgm::TimeRowBytes(21);
  std::vector<char> out(kFields * line);
  for (auto _ : state) {
    lpgm::FormatF14_6Column(kernel, out.data() + 13, line, values.data(),
                            kFields);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  ReportPerField(state);
}
BENCHMARK(BM_FormatF14_6Column)
    ->ArgName("kernel")
    ->Arg(-1)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2);

// Times (i - 1) * DT of a long record.
void BM_FormatF12_4(benchmark::State& state) {
  std::vector<double> values(kFields);
  for (std::size_t i = 0; i < kFields; ++i)
    values[i] = static_cast<double>(i * 24) * 0.02;
  char out[12];
  for (auto _ : state) {
    for (double v : values) {
      lpgm::FormatF12_4(out, v);
      benchmark::DoNotOptimize(out);
    }
  }
  ReportPerField(state);
}
BENCHMARK(BM_FormatF12_4);

// Ranks 1 to 21.
void BM_FormatI3(benchmark::State& state) {
  std::vector<std::int64_t> values(kFields);
  for (std::size_t i = 0; i < kFields; ++i)
    values[i] = static_cast<std::int64_t>(i % 21 + 1);
  char out[3];
  for (auto _ : state) {
    for (std::int64_t v : values) {
      lpgm::FormatInteger(out, 3, v);
      benchmark::DoNotOptimize(out);
    }
  }
  ReportPerField(state);
}
BENCHMARK(BM_FormatI3);

// Arg 0: the lines of 21 velocity columns formatted one after another, each
// field in turn by the exact conversion, as a record writer would; 1:
// FormatTimeRows, one column at
// a time. Both write 3000 lines (about 1 MiB, one output chunk).
void BM_TimeRows(benchmark::State& state) {
  constexpr int kColumns = 21;
  constexpr int kRows = 3000;
  std::mt19937 rng(kSeed + 4);
  std::uniform_real_distribution<double> value(-300.0, 300.0);
  std::vector<std::vector<double>> data(kColumns, std::vector<double>(kRows));
  std::vector<const double*> columns;
  for (auto& column : data) {
    for (double& v : column) v = value(rng);
    columns.push_back(column.data());
  }
  const std::size_t line = lpgm::TimeRowBytes(kColumns);
  std::vector<char> out(kRows * line);
  for (auto _ : state) {
    if (state.range(0) == 0) {
      char* p = out.data();
      for (int i = 0; i < kRows; ++i) {
        lpgm::FormatF12_4(p, static_cast<double>(i) * 0.02);
        p += 12;
        for (const double* column : columns) {
          *p++ = ',';
          lpgm::FormatFixed(p, 14, 6, column[i]);
          p += 14;
        }
        *p++ = '\r';
        *p++ = '\n';
      }
    } else {
      lpgm::FormatTimeRows(out.data(), 0.02, 0, kRows, columns.data(), kColumns,
                           lpgm::platform::BestKernel());
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(out.size()));
  state.counters["per_field"] = TimeEach(kRows * (kColumns + 1));
}
BENCHMARK(BM_TimeRows)->ArgName("by_column")->Arg(0)->Arg(1);

// A run state as the computation leaves it: 6 faults, 21 cases of
// `samples` samples, accelerations and their integrated velocities.
std::unique_ptr<lpgm::RunState> ComputedState(int samples) {
  auto run = std::make_unique<lpgm::RunState>();
  lpgm::InitializeRunState(*run);
  run->NFAULT = 6;
  run->NCASE = 21;
  run->IMED = 11;
  std::mt19937 rng(kSeed + 3);
  std::normal_distribution<double> noise(0.0, 120.0);
  for (int j = 1; j <= run->NPER; ++j) {
    run->PERIOD(j) =
        std::round(0.1 * std::pow(100.0, (j - 1) / 54.0) * 1e4) / 1e4;
    for (int i = 1; i <= run->NFAULT; ++i)
      run->SVF(i, j) = std::abs(noise(rng));
    run->SVTGT(j) = run->SVF(1, j) / 1.1;
  }
  run->NPMAX = samples;
  for (int i = 1; i <= run->NCASE; ++i) {
    run->NPTS(i) = samples;
    double v = 0.0;
    double peak = 0.0;
    for (int k = 1; k <= samples; ++k) {
      run->ACC(i, k) = std::round(noise(rng) * 1e4) / 1e4;
      if (k > 1) v += (run->ACC(i, k - 1) + run->ACC(i, k)) * run->DT / 2.0;
      run->VEL(i, k) = v;
      peak = std::max(peak, std::abs(v));
    }
    run->VMAX(i) = peak;
    run->IRANK(i) = i;
  }
  return run;
}

void BM_WriteReferenceFiles(benchmark::State& state) {
  auto run = ComputedState(static_cast<int>(state.range(0)));
  CountingFileSystem files;
  for (auto _ : state) {
    files.Reset();
    lpgm::WriteFaultSpectraFile(*run, files);
    lpgm::WriteCaseAccelerationsFile(*run, files);
    lpgm::WriteCaseVelocitiesFile(*run, files);
    lpgm::WriteCasePeaksFile(*run, files);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(files.bytes()));
  state.counters["lines"] = static_cast<double>(2 * (state.range(0) + 1) + 59);
}
BENCHMARK(BM_WriteReferenceFiles)
    ->ArgName("samples")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
// The same in wall time and the CPU time of both threads: what the second
// formatting thread gains (compare under taskset -c 0, where it is not
// started).
BENCHMARK(BM_WriteReferenceFiles)
    ->ArgName("samples")
    ->Arg(100000)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_WriteInputUseFiles(benchmark::State& state) {
  auto run = ComputedState(static_cast<int>(state.range(0)));
  CountingFileSystem files;
  for (auto _ : state) {
    files.Reset();
    lpgm::WriteTargetSpectrumFile(*run, files);
    lpgm::WritePhaseAccelerationFile(*run, files);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(files.bytes()));
}
BENCHMARK(BM_WriteInputUseFiles)
    ->ArgName("samples")
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
