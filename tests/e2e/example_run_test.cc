// The bundled example against its golden outputs, and the real strong-motion
// data set, run as a user would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/input_set.h"
#include "support/file_bytes.h"
#include "support/process_runner.h"

namespace lpgm::testing::e2e {
namespace {

using ::lpgm::testing::ReadFileBytes;

namespace fs = std::filesystem;

// Copies the inputs of `source` (definition.csv, faults, cases) to a fresh
// folder and runs lpgm there.
ProcessResult RunOnCopy(const fs::path& source, const TempDir& dir,
                        const std::string& locale) {
  CopyInputSet(source.string(), dir.path());
  ProcessOptions options;
  options.directory = dir.path();
  options.input = "definition.csv\n";
  options.env = {"LC_ALL=" + locale};
  return RunProcess(LpgmBinary(), options);
}

const fs::path kExample = ExampleFolder();
const fs::path kGolden = fs::path(LPGM_SOURCE_DIR) / "tests/e2e/golden/example";

TEST(ExampleRunTest, OutputFilesMatchGoldenFilesByteForByte) {
  TempDir dir;
  ProcessResult result = RunOnCopy(kExample, dir, "C");
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, kPrompt);
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(kOutputNames[k - 1]);
    EXPECT_TRUE(
        SameBytes(dir.ReadFile(kOutputNames[k - 1]),
                  ReadFileBytes(kGolden / (std::to_string(k) + ".csv"))));
  }
}

TEST(ExampleRunTest, Utf8ConsoleShowsUtf8PromptAndWritesTheSameFiles) {
  TempDir dir;
  ProcessResult result = RunOnCopy(kExample, dir, "C.UTF-8");
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, kPromptUtf8);
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(kOutputNames[k - 1]);
    EXPECT_TRUE(
        SameBytes(dir.ReadFile(kOutputNames[k - 1]),
                  ReadFileBytes(kGolden / (std::to_string(k) + ".csv"))));
  }
}

// Values of the lines 2 on of an acceleration record, in order.
std::vector<double> Samples(const std::string& text, std::size_t count) {
  std::vector<double> values;
  std::istringstream in(text.substr(text.find('\n') + 1));
  double v;
  while (values.size() < count && in >> v) values.push_back(v);
  return values;
}

TEST(RealDataRunTest, StElias1979IsThePhaseCaseAndLucerneRanksFirst) {
  const fs::path real = fs::path(LPGM_SOURCE_DIR) / "../shared/data/real";
  if (!fs::exists(real / "definition.csv")) GTEST_SKIP() << "no real data";
  TempDir dir;
  ProcessResult result = RunOnCopy(real, dir, "C");
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, kPrompt);

  // File 2 is case 10's record, sample for sample.
  std::vector<std::string> phase = Lines(dir.ReadFile(kOutputNames[1]));
  ASSERT_EQ(phase.size(), 3096u);
  EXPECT_EQ(phase[0], Cp("時刻(s),加速度(cm/s2)"));
  std::vector<double> input = Samples(
      ReadFileBytes(real / "cases/STELIAS1979_ICY180/加速度波形.acc"), 40);
  ASSERT_EQ(input.size(), 40u);
  for (std::size_t i = 0; i < input.size(); ++i) {
    EXPECT_EQ(phase[i + 1], Printf("%12.4f", static_cast<double>(i) * 0.02) +
                                Printf(",%14.6f", input[i]))
        << "sample " << i + 1;
  }
  EXPECT_EQ(phase.back().substr(0, 13), "     61.8800,");

  std::vector<std::string> peaks = Lines(dir.ReadFile(kOutputNames[5]));
  ASSERT_EQ(peaks.size(), 3u);
  EXPECT_EQ(peaks[1].substr(peaks[1].size() - 15), ",     34.830709");
  const std::string rank_head = Cp("最大速度順位");
  ASSERT_EQ(peaks[2].size(), rank_head.size() + 40);
  auto rank_of = [&](std::size_t j) {
    return peaks[2].substr(rank_head.size() + 4 * (j - 1), 4);
  };
  EXPECT_EQ(rank_of(10), ",  5");
  EXPECT_EQ(rank_of(4), ",  1");
  EXPECT_EQ(rank_of(2), ", 10");

  EXPECT_EQ(Lines(dir.ReadFile(kOutputNames[0])).size(), 56u);
  EXPECT_EQ(Lines(dir.ReadFile(kOutputNames[3])).size(), 11701u);
}

}  // namespace
}  // namespace lpgm::testing::e2e
