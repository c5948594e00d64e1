// The CP932 <-> UTF-16 conversions of the Windows console and file names.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/wide_text.h"

namespace lpgm::platform {
namespace {

TEST(Cp932ToUtf16Test, DecodesAndFlagsUndecodableBytes) {
  bool complete = false;
  EXPECT_EQ(Cp932ToUtf16("a\\\x95\x5C~\xB1", &complete), L"a\\\u8868~\uFF71");
  EXPECT_TRUE(complete);
  // A lone lead byte at the end, and a byte that starts nothing.
  EXPECT_EQ(Cp932ToUtf16("x\x95", &complete), L"x\uFFFD");
  EXPECT_FALSE(complete);
  EXPECT_EQ(Cp932ToUtf16("\xFF"
                         "y",
                         &complete),
            L"\uFFFDy");
  EXPECT_FALSE(complete);
  EXPECT_EQ(Cp932ToUtf16("", &complete), L"");
  EXPECT_TRUE(complete);
}

TEST(Cp932ToUtf16StreamTest, LeadByteAtTheEndWaitsForItsSecondByte) {
  const std::string text = "\x90\x6B\x8C\xB9 a\x95\x5C";  // 震源 a表
  const std::wstring expected = L"\u9707\u6E90 a\u8868";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    Cp932ToUtf16Stream stream;
    std::wstring out;
    stream.Convert(std::string_view(text).substr(0, cut), &out);
    stream.Convert(std::string_view(text).substr(cut), &out);
    EXPECT_EQ(out, expected) << "cut at " << cut;
  }
}

TEST(Cp932ToUtf16StreamTest, RunOfLeadRangeBytesPairsFromItsStart) {
  // 0x95 0x95 is one character; a third 0x95 starts the next.
  Cp932ToUtf16Stream stream;
  std::wstring out;
  stream.Convert("\x95\x95\x95", &out);
  EXPECT_EQ(out, L"\u5C01");
  stream.Convert("\x5C", &out);
  EXPECT_EQ(out, L"\u5C01\u8868");
}

TEST(Utf16ToCp932StreamTest, SurrogatePairSplitOverTwoReadsIsOneCharacter) {
  Utf16ToCp932Stream stream;
  std::string out;
  stream.Convert(L"a\xD83D", &out);  // the first half of U+1F600
  EXPECT_EQ(out, "a");
  stream.Convert(
      L"\xDE00"
      L"b",
      &out);
  EXPECT_EQ(out, "a?b");
  // Lone halves are characters without a CP932 form.
  stream.Convert(
      L"\xDE00"
      L"\xD83D"
      L"c",
      &out);
  EXPECT_EQ(out, "a?b??c");
}

TEST(Utf16ToCp932StreamTest, TypedTextBecomesCp932) {
  Utf16ToCp932Stream stream;
  std::string out;
  stream.Convert(L"\u8868\\\uFF71\u301C\uFF5E\u00A5\u00E9\r\n", &out);
  EXPECT_EQ(out, "\x95\x5C\\\xB1\x81\x60\x81\x60\\?\r\n");
}

}  // namespace
}  // namespace lpgm::platform
