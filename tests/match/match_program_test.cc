// lpgm-match run in-process over the in-memory file system: the defaults,
// the outputs, the exit statuses, and inputs that cannot be used.
#include "match/match_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "compute/spectral_match.h"
#include "match/command_line.h"
#include "match/match_inputs.h"
#include "platform/encoding.h"
#include "support/fake_file_system.h"
#include "support/memory_console.h"
#include "support/memory_stream.h"

namespace lpgm::match {
namespace {

std::string Golden(const char* name) {
  std::ifstream f(
      std::string(LPGM_SOURCE_DIR) + "/tests/e2e/golden/example/" + name,
      std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

struct Outcome {
  int status = -1;
  std::string shown;
  std::string errors;
  std::string json;
};

Outcome RunMatch(testing::FakeFileSystem& files,
                 std::vector<std::string> args) {
  testing::MemoryConsole console("");
  testing::MemoryOutput raw;
  MatchEnvironment env{console, files, raw};
  Outcome r;
  r.status = RunMatchProgram(args, env);
  r.shown = platform::Cp932ToUtf8(console.shown());
  r.errors = platform::Cp932ToUtf8(console.errors());
  r.json = raw.data();
  return r;
}

// lpgm's two input-use files of the bundled example, where lpgm leaves them.
testing::FakeFileSystem ExampleOutputs() {
  testing::FakeFileSystem files;
  files.AddFile(Cp932(kDefaultTarget), Golden("1.csv"));
  files.AddFile(Cp932(kDefaultPhase), Golden("2.csv"));
  return files;
}

TEST(MatchProgramTest, DefaultInputsGiveMotionCaseFileAndSummary) {
  testing::FakeFileSystem files = ExampleOutputs();
  files.AddDirectory("case");
  const Outcome r =
      RunMatch(files, {"-o", "motion.csv", "--case-folder", "case"});
  ASSERT_LE(r.status, 1) << r.errors;
  EXPECT_NE(r.shown.find("lpgm-match: pSv h=0.050, "), std::string::npos);
  EXPECT_NE(r.shown.find("(under 500 s"), std::string::npos);
  const std::string motion = *files.Content("motion.csv");
  EXPECT_EQ(motion.substr(0, motion.find('\n') + 1),
            Cp932("時刻(s),加速度(cm/s2),速度(cm/s),変位(cm)\r\n"));
  // 7500 samples as the phase file has, one line each, in lpgm's layout.
  EXPECT_EQ(std::count(motion.begin(), motion.end(), '\n'), 7501);
  EXPECT_EQ(motion.substr(motion.find('\n') + 1, 14), "      0.0000, ");
  const std::string acc = *files.Content(Cp932("case/加速度波形.acc"));
  EXPECT_EQ(acc.substr(0, 12), "7500,0.02\r\n ");
}

TEST(MatchProgramTest, JsonCarriesTheFiguresAndEveryPeriod) {
  testing::FakeFileSystem files = ExampleOutputs();
  const Outcome r =
      RunMatch(files, {"--json", "-o", "m.csv", "--spectrum", "sv"});
  ASSERT_LE(r.status, 1) << r.errors;
  EXPECT_TRUE(r.shown.empty());
  EXPECT_NE(r.json.find("\"spectrum\":\"Sv\",\"damping\":0.05"),
            std::string::npos);
  EXPECT_NE(r.json.find("\"periods\":[0.1,"), std::string::npos);
  EXPECT_EQ(r.json.back(), '\n');
}

// Each input that cannot be used: exit 2, the file and line named, and
// nothing written.
TEST(MatchProgramTest, InputsThatCannotBeUsedStopBeforeAnythingIsWritten) {
  const std::string target = Golden("1.csv");
  std::string swapped = target;  // periods 2 and 3 exchanged
  const std::size_t l2 = swapped.find('\n') + 1;
  const std::size_t l3 = swapped.find('\n', l2) + 1;
  const std::size_t l4 = swapped.find('\n', l3) + 1;
  swapped = swapped.substr(0, l2) + swapped.substr(l3, l4 - l3) +
            swapped.substr(l2, l3 - l2) + swapped.substr(l4);
  const std::string header = Cp932("時刻(s),加速度(cm/s2)\r\n");
  struct Case {
    const char* what;
    std::string target;
    std::string phase;
    const char* error;
  };
  const Case cases[] = {
      {"periods not increasing", swapped, Golden("2.csv"),
       "入力用･目標速度スペクトル.csv:3: error: the periods do not increase"},
      {"text in the phase file", target,
       header + "      0.0000,      1.0\r\n      0.0200,    abc\r\n",
       "入力用･位相用加速度波形.csv:3: error: a value is not a number"},
      {"empty record", target, header,
       "入力用･位相用加速度波形.csv: error: no samples"},
      {"NaN", target, header + "0.0,1.0\r\n0.02,NaN\r\n0.04,1.0\r\n",
       "入力用･位相用加速度波形.csv"},
      {"uneven times", target, header + "0.0,1.0\r\n0.02,2.0\r\n0.05,1.0\r\n",
       "入力用･位相用加速度波形.csv:4: error: the time is not that of an even "
       "step from 0"},
      {"empty case file", target, "", "入力用･位相用加速度波形.csv"},
      {"short fault file", "F1\r\n", Golden("2.csv"),
       "入力用･目標速度スペクトル.csv"},
  };
  for (const Case& c : cases) {
    testing::FakeFileSystem files;
    files.AddFile(Cp932(kDefaultTarget), c.target);
    files.AddFile(Cp932(kDefaultPhase), c.phase);
    const Outcome r = RunMatch(files, {"-o", "m.csv"});
    EXPECT_EQ(r.status, kExitInput) << c.what;
    EXPECT_EQ(r.errors.rfind(std::string("lpgm-match: ") + c.error, 0), 0U)
        << c.what << ": " << r.errors;
    EXPECT_TRUE(files.WritePaths().empty()) << c.what;
  }
}

TEST(MatchProgramTest, UsageErrorsAndHelp) {
  testing::FakeFileSystem files = ExampleOutputs();
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{
           {},
           {"-o"},
           {"-o", "m.csv", "--spectrum", "psa"},
           {"-o", "m.csv", "--damping", "1.5"},
           {"-o", "m.csv", "--iterations", "2.5"},
           {"-o", "m.csv", "--baseline", "linear"},
           {"-o", "m.csv", "--bogus"},
           {"-o", "m.csv", "stray"}}) {
    const Outcome r = RunMatch(files, args);
    EXPECT_EQ(r.status, kExitUsage) << args.size();
    EXPECT_NE(r.errors.find("(see --help)"), std::string::npos);
  }
  // An output over an input is refused before anything is read.
  const Outcome over =
      RunMatch(files, {"-o", std::string("./") + kDefaultPhase});
  EXPECT_EQ(over.status, kExitUsage);
  EXPECT_NE(over.errors.find("is an input"), std::string::npos);
  const Outcome help = RunMatch(files, {"--help"});
  EXPECT_EQ(help.status, kExitMet);
  EXPECT_NE(help.shown.find("Exit status: 0"), std::string::npos);
  EXPECT_TRUE(files.WritePaths().empty());
}

TEST(MatchProgramTest, MissingCaseFolderIsAnErrorAfterReading) {
  testing::FakeFileSystem files = ExampleOutputs();
  files.FailOpen(Cp932("no/such/加速度波形.acc"),
                 platform::OpenError::kNotFound);
  const Outcome r =
      RunMatch(files, {"-o", "m.csv", "--case-folder", "no/such"});
  EXPECT_EQ(r.status, kExitInput);
  EXPECT_EQ(r.errors,
            "lpgm-match: no/such/加速度波形.acc: error: cannot be written (its "
            "folder does not exist)\n");
}

// The phase case's own spectrum as the target, no baseline change: the
// motion written is the phase case within the six decimals of the files.
TEST(MatchProgramTest, SelfMatchWritesThePhaseCaseBack) {
  testing::FakeFileSystem files = ExampleOutputs();
  auto phase = ParsePhase(Golden("2.csv"), "phase");
  auto target = ParseTarget(Golden("1.csv"), "target");
  const PhaseRecord& p = std::get<PhaseRecord>(phase);
  MatchTarget own;
  own.periods = std::get<TargetSpectrum>(target).periods;
  own.values = TargetKindSpectrum(p.acc, p.dt, own, platform::Kernel::kScalar);
  std::string text = Cp932("周期(s),速度Sv(cm/s)\r\n");
  for (std::size_t k = 0; k < own.periods.size(); ++k) {
    char line[64];
    std::snprintf(line, sizeof line, "%12.4f,%14.6f\r\n", own.periods[k],
                  own.values[k]);
    text += line;
  }
  files.AddFile("own.csv", text);
  const Outcome r = RunMatch(
      files, {"--target", "own.csv", "--baseline", "none", "-o", "m.csv"});
  ASSERT_EQ(r.status, kExitMet) << r.errors;
  EXPECT_NE(r.shown.find("(best 0)"), std::string::npos) << r.shown;
  files.AddFile("back.csv", *files.Content("m.csv"));
  auto back = ParsePhase(*files.Content("m.csv"), "m.csv");
  const PhaseRecord& m = std::get<PhaseRecord>(back);
  ASSERT_EQ(m.acc.size(), p.acc.size());
  for (std::size_t j = 0; j < p.acc.size(); ++j)
    ASSERT_NEAR(m.acc[j], p.acc[j], 5e-7) << j;
}

}  // namespace
}  // namespace lpgm::match
