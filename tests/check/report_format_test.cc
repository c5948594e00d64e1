#include "check/report_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace lpgm::check {
namespace {

TEST(ReportFormat, FixedWritesNonFiniteAndUnsignedZero) {
  EXPECT_EQ(Fixed(94.7106664, 3), "94.711");
  EXPECT_EQ(Fixed(-0.0004, 3), "0.000");
  EXPECT_EQ(Fixed(-0.0006, 3), "-0.001");
  EXPECT_EQ(Fixed(std::numeric_limits<double>::infinity(), 2), "Infinity");
  EXPECT_EQ(Fixed(-std::numeric_limits<double>::infinity(), 2), "-Infinity");
  EXPECT_EQ(Fixed(std::numeric_limits<double>::quiet_NaN(), 2), "NaN");
  EXPECT_EQ(Fixed(-1.7e308, 2), "-1.7000e+308");
}

TEST(ReportFormat, ShortenedCutsWholeCharacters) {
  EXPECT_EQ(Shortened("cases\\SYN04", 20), "cases\\SYN04");
  EXPECT_EQ(Shortened("abcdef", 6), "abcdef");
  EXPECT_EQ(Shortened("abcdefg", 6), "abcde\u2026");
  // Three-byte characters are never split.
  EXPECT_EQ(Shortened("加速度波形", 3), "加速\u2026");
  EXPECT_EQ(Shortened("abc", 0), "");
}

TEST(ReportFormat, FolderLabelIsTheRecordsName) {
  EXPECT_EQ(FolderLabel("cases/CHICHI1999_CHY002N", 24), "CHICHI1999_CHY002N");
  EXPECT_EQ(FolderLabel("cases\\SYN04\\", 24), "SYN04");
  EXPECT_EQ(FolderLabel("C:\\data/長周期\\合成02", 24), "合成02");
  EXPECT_EQ(FolderLabel("plain", 24), "plain");
  EXPECT_EQ(FolderLabel("a/abcdefghij", 6), "abcde\u2026");
}

TEST(ReportFormat, ByteSizesForPeople) {
  EXPECT_EQ(ByteSize(812), "812 B");
  EXPECT_EQ(ByteSize(1536), "1.5 KiB");
  EXPECT_EQ(ByteSize(21286912), "20.3 MiB");
}

}  // namespace
}  // namespace lpgm::check
