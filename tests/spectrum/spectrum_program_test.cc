// lpgm-spectrum run in the test process on an in-memory file system: the
// files it writes, the records it reads, and every refusal (exit 2, nothing
// written; exit 64 for usage).
#include "spectrum/spectrum_program.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compute/response_spectrum.h"
#include "platform/encoding.h"
#include "spectrum/spectrum_files.h"
#include "support/fake_file_system.h"
#include "support/memory_console.h"

namespace lpgm::spectrum {
namespace {

using testing::FakeFileSystem;
using testing::MemoryConsole;

RunState& State() {
  static std::unique_ptr<RunState> state = std::make_unique<RunState>();
  return *state;
}

constexpr std::string_view kAt2 =
    "PEER NGA STRONG MOTION DATABASE RECORD\r\n"
    "Test, 1/1/2000, Station, 90\r\n"
    "ACCELERATION TIME SERIES IN UNITS OF G\r\n"
    "NPTS=      6, DT=   .0100 SEC\r\n"
    "  .1000000E+00 -.2000000E+00  .0500000E+00\r\n"
    "  .0000000E+00  .3000000E+00 -.1000000E+00\r\n";

struct Outcome {
  int status = -1;
  std::string shown;
  std::string errors;
};

Outcome RunProgram(FakeFileSystem& files, std::vector<std::string_view> args,
                   platform::Kernel kernel = platform::Kernel::kScalar) {
  MemoryConsole console("");
  SpectrumEnvironment env{files, console, State(), kernel, 2};
  Outcome outcome;
  outcome.status = RunSpectrum(args, env);
  outcome.shown = console.shown();
  outcome.errors = console.errors();
  return outcome;
}

std::vector<std::string> Split(std::string_view text, std::string_view end) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t at = text.find(end);
    lines.emplace_back(text.substr(0, at));
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + end.size());
  }
  return lines;
}

TEST(SpectrumProgram, WritesAFaultFileLpgmReads) {
  FakeFileSystem files;
  files.AddFile("r.AT2", std::string(kAt2));
  const Outcome o = RunProgram(files, {"--fault-file", "r.AT2", "-o", "F.csv"});
  ASSERT_EQ(o.status, kExitOk) << o.errors;
  EXPECT_NE(o.shown.find("6 samples at 0.0100 s"), std::string::npos);
  const std::string text = files.Content("F.csv").value_or("");
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  const std::vector<std::string> lines = Split(text, "\r\n");
  ASSERT_EQ(lines.size(), 64u);
  EXPECT_EQ(lines[8].substr(0, 6), "1,2,3,");
  // Row 1 at 0.1 s: field 28 is Sv at 0.05 with six decimals, field 27
  // Sa / PGA, both as the engine gives them.
  std::vector<double> acc;
  for (const double g : {0.1, -0.2, 0.05, 0.0, 0.3, -0.1})
    acc.push_back(g * 980.665);
  SpectralPeaks peaks;
  const Oscillator osc{0.1, 0.05};
  ComputeSpectralPeaks(acc, 0.01, {&osc, 1}, {}, {&peaks, 1});
  const std::vector<std::string> row = Split(lines[9], ",");
  ASSERT_EQ(row.size(), 28u);
  EXPECT_EQ(row[0], "0.1000");
  EXPECT_EQ(row[1], "10.00000");
  EXPECT_EQ(row[27], Fixed(peaks.sv, 6));
  EXPECT_EQ(row[26], Fixed(peaks.sa / (0.3 * 980.665), 5));
  EXPECT_EQ(row[25], Fixed(PseudoAcceleration(peaks, 0.1), 4));
}

TEST(SpectrumProgram, CsvHasEveryKindAtEveryDampingOnEveryKernel) {
  FakeFileSystem files;
  files.AddFile("r.AT2", std::string(kAt2));
  std::string first;
  for (const platform::Kernel kernel :
       {platform::Kernel::kScalar, platform::Kernel::kSse2,
        platform::Kernel::kAvx2}) {
    if (!platform::KernelRuns(kernel)) continue;
    const Outcome o = RunProgram(
        files, {"r.AT2", "--damping", "0.02,0.05", "-o", "s.csv"}, kernel);
    ASSERT_EQ(o.status, kExitOk) << o.errors;
    const std::string text = files.Content("s.csv").value_or("");
    const std::vector<std::string> lines = Split(text, "\n");
    ASSERT_EQ(lines.size(), 56u);  // the header and 55 rows
    EXPECT_EQ(lines[0].substr(0, 38), "period (s),Sd h=0.02 (cm),Sv h=0.02 (c");
    EXPECT_EQ(Split(lines[1], ",").size(), 11u);
    if (first.empty()) first = text;
    EXPECT_EQ(text, first) << platform::KernelName(kernel);
  }
}

TEST(SpectrumProgram, ReadsACaseFileAsLpgmDoes) {
  FakeFileSystem files;
  const std::string acc = "         4,      0.02\r\n  1.5  -2.25\r\n 3 4\r\n";
  files.AddFile("c" + platform::Cp932Literal("\\加速度波形.acc"), acc);
  files.AddFile("t.txt", "1.5 -2.25 3 4\n");
  const Outcome a = RunProgram(files, {"c/加速度波形.acc", "-o", "a.csv"});
  ASSERT_EQ(a.status, kExitOk) << a.errors;
  const Outcome b =
      RunProgram(files, {"--format", "table", "--dt", "0.02", "--units",
                         "cm/s2", "t.txt", "-o", "b.csv"});
  ASSERT_EQ(b.status, kExitOk) << b.errors;
  EXPECT_EQ(files.Content("a.csv"), files.Content("b.csv"));
  EXPECT_EQ(State().NPTS(1), 0);  // the slot is handed back
}

TEST(SpectrumProgram, RefusesBadInputsAndWritesNothing) {
  struct Case {
    std::vector<std::string_view> args;
    std::string_view error_start;
  };
  const Case cases[] = {
      {{"missing.AT2", "-o", "o"}, "missing.AT2: error: cannot read"},
      {{"bad.AT2", "-o", "o"}, "bad.AT2:4: error:"},
      {{"plain.txt", "-o", "o"}, "plain.txt:1: error:"},
      {{"c/加速度波形.acc", "-o", "o"}, "c/加速度波形.acc:"},
      {{"--periods", "p.csv", "r.AT2", "-o", "o"}, "p.csv:3: error:"},
      {{"r.AT2", "-o", "r.AT2"}, "r.AT2: error: is an input"},
      {{"r.AT2", "-o", "./x/../r.AT2"}, "./x/../r.AT2: error: is an input"},
      {{"--periods", "d/p.csv", "r.AT2", "-o", "d\\p.csv"}, "d\\p.csv: error:"},
      {{"--scale", "1e308", "r.AT2", "-o", "o"}, "r.AT2: error:"},
  };
  for (const Case& c : cases) {
    FakeFileSystem files;
    files.AddFile("r.AT2", std::string(kAt2));
    std::string bad(kAt2);
    bad.replace(bad.find("NPTS=      6"), 12, "NPTS=     -6");
    files.AddFile("bad.AT2", bad);
    files.AddFile("plain.txt", "1 2 3\n");
    files.AddFile("p.csv", "head\n0.1,1\nzero,1\n");
    files.AddFile("c" + platform::Cp932Literal("\\加速度波形.acc"),
                  "  5, 0.02\r\n 1 2\r\n");
    const Outcome o = RunProgram(files, c.args);
    EXPECT_EQ(o.status, kExitInputError) << c.args[0];
    EXPECT_EQ(platform::Cp932ToUtf8(o.errors).substr(0, c.error_start.size()),
              c.error_start);
    EXPECT_TRUE(files.WritePaths().empty()) << c.args[0];
  }
  FakeFileSystem refusing;
  refusing.AddFile("r.AT2", std::string(kAt2));
  refusing.RefuseWrites();
  EXPECT_EQ(RunProgram(refusing, {"r.AT2", "-o", "o"}).status, kExitInputError);
}

TEST(SpectrumProgram, UsageErrorsSayWhatAndWhereToLook) {
  FakeFileSystem files;
  const Outcome o = RunProgram(files, {"--substeps", "0", "r", "-o", "x"});
  EXPECT_EQ(o.status, kExitUsage);
  EXPECT_EQ(o.errors.substr(0, 15), "lpgm-spectrum: ");
  EXPECT_NE(o.errors.find("Try 'lpgm-spectrum --help'."), std::string::npos);
  EXPECT_EQ(RunProgram(files, {"--help"}).status, kExitOk);
}

}  // namespace
}  // namespace lpgm::spectrum
