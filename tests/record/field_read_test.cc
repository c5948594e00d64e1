#include "record/field_read.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "record_testing.h"

namespace lpgm {
namespace {

using ::lpgm::testing::ExpectStop;
using ::lpgm::testing::MemorySource;

// Runs `read` over `data` handed out whole and in pieces of 1, 2 and 7
// bytes through a tiny channel buffer, so that fields straddle refills.
void ForEachSource(const std::string& data,
                   const std::function<void(InputChannel&)>& read) {
  const std::size_t kPieces[][2] = {
      {1 << 20, InputChannel::kDefaultBufferSize}, {1, 16}, {2, 16}, {7, 17}};
  for (const auto& p : kPieces) {
    SCOPED_TRACE("chunk " + std::to_string(p[0]) + ", buffer " +
                 std::to_string(p[1]));
    MemorySource source(data, p[0], p[1]);
    read(source.channel);
  }
}

std::string Padded(const std::string& text, std::size_t n) {
  return text + std::string(n - text.size(), ' ');
}

TEST(ReadRecordTest, NumberCommaThenTheRestOfTheLineAsText) {
  const Layout layout = Layout::Parse("(I20,A400)");
  ForEachSource("  12,C:\\data,x\r\n", [&](InputChannel& channel) {
    std::int32_t n = -1;
    Text400 path;
    ReadRecord(channel, layout, {ListItem::Integer(&n), ListItem::Text(&path)});
    EXPECT_EQ(n, 12);
    EXPECT_EQ(std::string(path.data(), path.size()), Padded("C:\\data,x", 400));
  });
}

TEST(ReadRecordTest, CommaEndsNumericFieldAndEmptyFieldsAreZero) {
  const Layout layout = Layout::Parse("(28F20.0)");
  const struct {
    const char* record;
    std::vector<double> leading;
  } kCases[] = {
      {"1,2.5,3E2", {1, 2.5, 300}},
      {"1.5,,7\r\n", {1.5, 0, 7}},
      {",5", {0, 5}},
      {"12345678901234567890,5",
       {12345678901234567890.0, 0, 5}},             // comma opens field 2
      {"1 2 . 5 E 1,  - 3,4 -2", {125, -3, 0.04}},  // blanks are ignored
      {"                 1.5                 2.5",
       {1.5, 2.5}},  // fixed columns
      {"1e999,-1e999,1e-999", {HUGE_VAL, -HUGE_VAL, 0}},
      {"\n", {}},
  };
  for (const auto& c : kCases) {
    ForEachSource(c.record, [&](InputChannel& channel) {
      double v[28];
      std::fill(std::begin(v), std::end(v), -99.0);
      ReadRecord(channel, layout, {ListItem::Real(v, 28)});
      for (std::size_t i = 0; i < 28; ++i) {
        double want = i < c.leading.size() ? c.leading[i] : 0.0;
        EXPECT_EQ(v[i], want) << c.record << " field " << i + 1;
      }
    });
  }
}

TEST(ReadRecordTest, ShortRecordReadsAsPaddedWithBlanks) {
  const Layout layout = Layout::Parse("(I5,F10.2,A8,I3)");
  ForEachSource("  -7\n", [&](InputChannel& channel) {
    std::int32_t a = 1, b = 1;
    double x = 1;
    char text[8];
    ReadRecord(channel, layout,
               {ListItem::Integer(&a), ListItem::Real(&x),
                ListItem::Text(text, 8), ListItem::Integer(&b)});
    EXPECT_EQ(a, -7);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(std::string(text, 8), "        ");
    EXPECT_EQ(b, 0);
  });
}

TEST(ReadRecordTest, ImpliedDecimalsApplyOnlyWithoutAPoint) {
  const Layout layout = Layout::Parse("(F8.2,F8.2,F8.2,F8.3)");
  ForEachSource("   12345  123.4    15E2      -5", [&](InputChannel& channel) {
    double v[4];
    ReadRecord(channel, layout, {ListItem::Real(v, 4)});
    EXPECT_EQ(v[0], 123.45);
    EXPECT_EQ(v[1], 123.4);
    EXPECT_EQ(v[2], 15.0);  // 0.15E2
    EXPECT_EQ(v[3], -0.005);
  });
}

TEST(ReadRecordTest, TextFieldKeepsTheLastPositionsOrIsPadded) {
  const Layout layout = Layout::Parse("(A10,A3,A)");
  ForEachSource("abcdefghijXYZrest,of\rline\r\n", [&](InputChannel& channel) {
    char a[4], b[6], c[12];
    ReadRecord(
        channel, layout,
        {ListItem::Text(a, 4), ListItem::Text(b, 6), ListItem::Text(c, 12)});
    EXPECT_EQ(std::string(a, 4), "ghij");
    EXPECT_EQ(std::string(b, 6), "XYZ   ");
    EXPECT_EQ(std::string(c, 12), "rest,of\rline");  // a lone CR is text
  });
}

TEST(ReadRecordTest,
     EveryReadBeginsAtTheNextRecordAndRevertsWhenTheLayoutIsUsedUp) {
  const Layout one = Layout::Parse("(I20)");
  const Layout reverting = Layout::Parse("(I3,2(I2))");
  ForEachSource(
      "5,junk\n6\n  1 2 3 9\n 4 5 9\r\n 6 7\n8", [&](InputChannel& channel) {
        std::int32_t a = 0, b = 0, v[7] = {}, last = 0;
        ReadRecord(channel, one, {ListItem::Integer(&a)});
        ReadRecord(channel, one, {ListItem::Integer(&b)});
        ReadRecord(channel, reverting, {ListItem::Integer(v, 7)});
        ReadRecord(channel, one,
                   {ListItem::Integer(&last)});  // a last line without LF
        EXPECT_EQ(a, 5);
        EXPECT_EQ(b, 6);
        EXPECT_EQ(std::vector<std::int32_t>(v, v + 7),
                  (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(last, 8);
        EXPECT_EQ(ExpectStop([&] {
                    ReadRecord(channel, one, {ListItem::Integer(&a)});
                  }).number(),
                  kErrEndOfFile);
      });
}

TEST(ReadRecordTest, FillsStridedReals) {
  const Layout layout = Layout::Parse("(28F20.0)");
  ForEachSource("1,2,3", [&](InputChannel& channel) {
    double m[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
    ReadRecord(channel, layout, {ListItem::Real(&m[0][1], 3, 2)});
    EXPECT_EQ(m[0][0], -1);
    EXPECT_EQ(m[0][1], 1);
    EXPECT_EQ(m[1][1], 2);
    EXPECT_EQ(m[2][1], 3);
    EXPECT_EQ(m[2][0], -1);
  });
}

TEST(ReadRecordTest, FieldThatDoesNotConvertIsInputConversionError) {
  const struct {
    const char* layout;
    const char* record;
  } kCases[] = {
      {"(I20)", "1.0"},         {"(I20)", "1e2"},  {"(I20)", "2147483648"},
      {"(I20)", "-2147483649"}, {"(I5)", "12a"},   {"(F20.0)", "1.2.3"},
      {"(F20.0)", "abc"},       {"(F20.0)", "1E"}, {"(F20.0)", "0x1p3"},
  };
  for (const auto& c : kCases) {
    const Layout layout = Layout::Parse(c.layout);
    MemorySource source(std::string(c.record) + "\n");
    std::int32_t n = 0;
    double x = 0;
    RunStop stop = ExpectStop([&] {
      if (layout[0].kind == FieldKind::kInteger) {
        ReadRecord(source.channel, layout, {ListItem::Integer(&n)});
      } else {
        ReadRecord(source.channel, layout, {ListItem::Real(&x)});
      }
    });
    EXPECT_EQ(stop.kind(), RunStop::Kind::kRecordFailure) << c.record;
    EXPECT_EQ(stop.number(), kErrConversion) << c.record;
    EXPECT_EQ(stop.unit(), kUnitAcceleration);
    EXPECT_EQ(stop.file(), "case1\\x.acc");
    EXPECT_EQ(stop.message(),
              "lpgm: severe (64): input conversion error, unit 13, file "
              "case1\\x.acc");
  }
}

TEST(ReadRecordTest, EmptyFileIsEndOfFile) {
  MemorySource source("");
  std::int32_t n = 0;
  EXPECT_EQ(ExpectStop([&] {
              ReadRecord(source.channel, Layout::Parse("(I20)"),
                         {ListItem::Integer(&n)});
            }).number(),
            kErrEndOfFile);
}

}  // namespace
}  // namespace lpgm
