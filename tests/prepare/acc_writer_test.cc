#include "prepare/acc_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/text_field.h"
#include "input/acceleration_file.h"
#include "record/trimmed_length.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"
#include "support/file_bytes.h"

namespace lpgm::prepare {
namespace {

std::string Golden(const std::string& name) {
  return testing::ReadFileBytes(std::string(LPGM_SOURCE_DIR) +
                                "/tests/prepare/golden/" + name);
}

// Every value one field wide: rounding ties to even, no "-0.0000", a value
// wider than its field still set off by a blank, 8 to a line, CR LF.
TEST(AccWriterTest, WritesTheGoldenBytes) {
  const std::vector<double> samples = {
      1.5, -0.00004, 12345.67891, -1e7, 0.00005, 2.5, -3, 4, -6.25, 1e12};
  AccFile file = FormatAccFile(samples);
  std::string golden = Golden("ten_samples.acc");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(file.bytes, golden);
  EXPECT_EQ(file.written,
            (std::vector<double>{1.5, 0.0, 12345.6789, -1e7, 0.0001, 2.5, -3, 4,
                                 -6.25, 1e12}));
}

TEST(AccWriterTest, ValuesNeverRunTogether) {
  std::vector<double> huge = {-1e300, 1e300, -123456789012.34567, 5e15};
  AccFile file = FormatAccFile(huge);
  std::string body = file.bytes.substr(file.bytes.find('\n') + 1);
  std::istringstream fields(body);
  std::string token;
  std::vector<std::string> tokens;
  while (fields >> token) tokens.push_back(token);
  ASSERT_EQ(tokens.size(), 4u);
  EXPECT_EQ(tokens[2], "-123456789012.3457");
  EXPECT_EQ(file.written[2], -123456789012.3457);
}

TEST(AccWriterTest, EmptyRecordStillHasItsSecondLine) {
  EXPECT_EQ(FormatAccFile({}).bytes, "0,0.02\r\n\r\n");
}

// lpgm's own reader, on the file as written, finds the header's count and
// every sample exactly as the writer says it wrote it.
class LpgmReadsWhatIsWritten : public ::testing::Test {
 protected:
  LpgmReadsWhatIsWritten() : state_(std::make_unique<RunState>()) {
    InitializeRunState(*state_);
    FillBlanks(state_->CASEDIR(1));
    state_->CASEDIR(1)[0] = 'C';
    state_->LCASEDIR(1) = LCHR400(state_->CASEDIR(1));
    state_->NCASE = 1;
  }
  void ExpectRoundTrip(const std::vector<double>& samples) {
    AccFile file = FormatAccFile(samples);
    files_.AddFile(AccelerationFilePath(*state_, 1), file.bytes);
    ReadAccelerationFiles(*state_, files_);
    ASSERT_EQ(state_->NPTS(1), static_cast<int>(samples.size()));
    for (std::size_t j = 0; j < samples.size(); ++j)
      ASSERT_EQ(state_->ACC(1, static_cast<int>(j + 1)), file.written[j]) << j;
  }
  std::unique_ptr<RunState> state_;
  lpgm::testing::FakeFileSystem files_;
};

TEST_F(LpgmReadsWhatIsWritten, RandomRecordOfManyMagnitudes) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-6, 9);
  std::vector<double> samples(20001);
  for (double& x : samples)
    x = mantissa(random) * std::pow(10.0, exponent(random));
  ExpectRoundTrip(samples);
}

TEST_F(LpgmReadsWhatIsWritten, FullCapacityRecord) {
  std::vector<double> samples(static_cast<std::size_t>(kSampleCapacity));
  for (std::size_t j = 0; j < samples.size(); ++j)
    samples[j] = static_cast<double>(j) * 0.0001 - 5.0;
  ExpectRoundTrip(samples);
}

}  // namespace
}  // namespace lpgm::prepare
