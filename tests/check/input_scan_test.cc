// The checker's own scans: the header's time step as the field reading
// cuts it, where free-form samples end against the count, and the guess of
// a definition file's encoding.
#include "check/input_scan.h"

#include <gtest/gtest.h>

#include <string>

#include "check/byte_reader.h"
#include "platform/encoding.h"

namespace lpgm::check {
namespace {

TEST(HeaderTimeStep, FieldsCutAtTwentyPositionsOrAComma) {
  EXPECT_EQ(HeaderTimeStep("    7500,    0.01"), 0.01);
  EXPECT_EQ(HeaderTimeStep("                7500                0.01"), 0.01);
  EXPECT_EQ(HeaderTimeStep("7500,0.005,junk"), 0.005);
  EXPECT_EQ(HeaderTimeStep("7500,"), std::nullopt);
  EXPECT_EQ(HeaderTimeStep("    7500    0.01"), std::nullopt);  // one field
  EXPECT_EQ(HeaderTimeStep("7500,   ,0.01"), std::nullopt);
  EXPECT_EQ(HeaderTimeStep("7500,abc"), std::nullopt);  // does not convert
  // Twenty positions taken, then the comma starts an empty second field.
  EXPECT_EQ(HeaderTimeStep("                7500,0.01"), std::nullopt);
}

AccelerationScan Scan(const std::string& text, int npts) {
  StringInput input(text);
  return ScanAccelerationFile(input, npts);
}

TEST(ScanAccelerationFile, CountsValuesAsTheFreeFormReadDoes) {
  // Nulls, repeat counts and blank lines all count against the count.
  AccelerationScan s = Scan("4,0.02\n1,,3\n\n4\n", 4);
  EXPECT_EQ(s.extra_line, 0);
  EXPECT_EQ(s.ended_early_line, 0);
  s = Scan("6\n3*1.0 2* 5\n", 6);
  EXPECT_EQ(s.extra_line, 0);
  s = Scan("3\n,1 2\n", 3);  // a leading comma is a null value
  EXPECT_EQ(s.extra_line, 0);
  s = Scan("3\n1 2 3 4\n", 3);
  EXPECT_EQ(s.extra_line, 2);
  s = Scan("3\n1 2\n3\n\n 4\n", 3);
  EXPECT_EQ(s.extra_line, 5);
  s = Scan("3\n1 2\r\n3,  \r\n , \r\n", 3);
  EXPECT_EQ(s.extra_line, 0);
  s = Scan("3\n5*1\n", 3);
  EXPECT_EQ(s.extra_line, 2);
  s = Scan("3\n1 2 3 / 4\n", 3);  // a slash after the count ends the file
  EXPECT_EQ(s.extra_line, 0);
}

TEST(ScanAccelerationFile, SlashBeforeTheCount) {
  AccelerationScan s = Scan("5,0.02\n1 2\n3/\n4 5\n", 5);
  EXPECT_EQ(s.ended_early_line, 3);
  EXPECT_EQ(s.values_before_slash, 3);
  EXPECT_EQ(s.header_time_step, 0.02);
}

TEST(GuessEncoding, ShiftJisUtf8AndUtf16) {
  EXPECT_EQ(GuessEncoding("plain,ascii\r\n"), TextEncoding::kShiftJis);
  EXPECT_EQ(GuessEncoding(platform::Utf8ToCp932("震源断層,ケースフォルダ定義")),
            TextEncoding::kShiftJis);
  EXPECT_EQ(GuessEncoding("震源断層,ケースフォルダ定義"), TextEncoding::kUtf8);
  EXPECT_EQ(GuessEncoding("\xEF\xBB\xBFtitle"), TextEncoding::kUtf8Bom);
  EXPECT_EQ(GuessEncoding(std::string("\xFF\xFEt\0i\0", 6)),
            TextEncoding::kUtf16);
  EXPECT_EQ(GuessEncoding(std::string("\0t\0i\0t\0l\0e", 10)),
            TextEncoding::kUtf16);
  // Cut inside a character at the end of the sample.
  std::string cut = "震源断層";
  EXPECT_EQ(GuessEncoding(cut.substr(0, cut.size() - 1)), TextEncoding::kUtf8);
}

TEST(ByteReader, LinesOfAnyLengthKeepOnlyTheirPrefix) {
  std::string text = std::string(100000, 'x') + "\r\nshort\r\nlast";
  StringInput input(text);
  ByteReader reader(input, 64);
  std::string line;
  std::size_t length = 0;
  ASSERT_TRUE(reader.ReadLine(&line, 10, &length));
  EXPECT_EQ(line, std::string(10, 'x'));
  EXPECT_EQ(length, 100001u);
  ASSERT_TRUE(reader.ReadLine(&line, 10, &length));
  EXPECT_EQ(line, "short");
  ASSERT_TRUE(reader.ReadLine(&line, 10));
  EXPECT_EQ(line, "last");
  EXPECT_EQ(reader.line(), 3);
  EXPECT_FALSE(reader.ReadLine(&line, 10));
}

}  // namespace
}  // namespace lpgm::check
