// Output files that cannot be opened or written: the run ends with the
// record-layer diagnostic on the file's channel, the files before it stay
// complete and the files after it are not written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/input_set.h"

namespace lpgm::testing::e2e {
namespace {

namespace fs = std::filesystem;

// Two faults and two cases of different lengths.
struct PairSet : InputSet {
  PairSet() : InputSet(2, 2) {
    Case(1, {10.0, -20.0, 30.0});
    Case(2, {5.0, 5.0});
  }
};

// The six files of an undisturbed run.
std::vector<std::string> ReferenceOutputs() {
  PairSet set;
  EXPECT_EQ(set.Run().exit_status, 0);
  std::vector<std::string> files;
  for (int k = 1; k <= 6; ++k) files.push_back(set.Output(k));
  return files;
}

// Runs `set` with output file k blocked and checks the files around it.
void ExpectStopsAtFile(const PairSet& set, int k, const std::string& diagnostic,
                       const std::vector<std::string>& reference,
                       const std::vector<std::string>& env = {"LC_ALL=C"}) {
  ProcessResult result = set.Run("definition.csv\n", env);
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_EQ(result.err, diagnostic + "\n");
  for (int before = 1; before < k; ++before)
    EXPECT_TRUE(SameBytes(set.Output(before),
                          reference[static_cast<std::size_t>(before - 1)]))
        << "file " << before;
  for (int after = k + 1; after <= 6; ++after)
    EXPECT_FALSE(set.HasOutput(after)) << "file " << after;
}

TEST(OutputFailureTest, DirectoryInPlaceOfAnOutputFileIsOpenFailure30) {
  const std::vector<std::string> reference = ReferenceOutputs();
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(kOutputNames[k - 1]);
    PairSet set;
    fs::create_directory(set.path() + "/" + kOutputNames[k - 1]);
    ExpectStopsAtFile(set, k,
                      "lpgm: severe (30): open failure, unit " +
                          std::to_string(20 + k) + ", file " +
                          Cp(kOutputNames[k - 1]),
                      reference);
    EXPECT_TRUE(fs::is_empty(set.path() + "/" + kOutputNames[k - 1]));
  }
}

TEST(OutputFailureTest, FullDeviceBehindAnOutputNameIsWriteError38) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::vector<std::string> reference = ReferenceOutputs();
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(kOutputNames[k - 1]);
    PairSet set;
    fs::create_symlink("/dev/full", set.path() + "/" + kOutputNames[k - 1]);
    ExpectStopsAtFile(set, k,
                      "lpgm: severe (38): error during write, unit " +
                          std::to_string(20 + k) + ", file " +
                          Cp(kOutputNames[k - 1]),
                      reference);
  }
}

TEST(OutputFailureTest, Utf8LocaleNamesTheOutputFileInUtf8) {
  const std::vector<std::string> reference = ReferenceOutputs();
  PairSet set;
  fs::create_directory(set.path() + "/" + kOutputNames[3]);
  ExpectStopsAtFile(
      set, 4,
      std::string("lpgm: severe (30): open failure, unit 24, file ") +
          kOutputNames[3],
      reference, {"LC_ALL=C.UTF-8"});
}

}  // namespace
}  // namespace lpgm::testing::e2e
