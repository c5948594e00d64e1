#include "base/case_record.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string_view>

namespace lpgm {
namespace {

double Parsed(std::string_view text) {
  double value = -1.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// Every text that messages show for a number says that number.
TEST(CaseRecordTest, TextsSayTheirNumbers) {
  EXPECT_EQ(Parsed(kTimeStepText), kTimeStep);
  EXPECT_EQ(Parsed(kSampleCapacityText), kSampleCapacity);
  EXPECT_EQ(Parsed(kDriftShareText), kDriftShare);
  EXPECT_EQ(Parsed(kDriftPercentText) / 100.0, kDriftShare);
  EXPECT_EQ(Parsed(kPlausiblePgaText), kPlausiblePgaLow);
  EXPECT_EQ(Parsed(kPlausiblePgaText.substr(kPlausiblePgaText.rfind(' ') + 1)),
            kPlausiblePgaHigh);
}

}  // namespace
}  // namespace lpgm
