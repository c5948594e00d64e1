#include <gtest/gtest.h>

#include "platform/wide_text.h"

namespace lpgm::platform {
namespace {

TEST(Utf8WideTest, JapaneseAndSupplementaryCharactersSurviveTheRoundTrip) {
  const std::string utf8 = "case\\加速度波形.acc \xF0\x9F\x98\x80";
  const std::wstring wide = Utf8ToUtf16(utf8);
  EXPECT_EQ(wide, L"case\\\u52A0\u901F\u5EA6\u6CE2\u5F62.acc \xD83D\xDE00");
  EXPECT_EQ(Utf16ToUtf8(wide), utf8);
  EXPECT_EQ(Utf8ToUtf16(""), L"");
  EXPECT_EQ(Utf16ToUtf8(L""), "");
  // A byte that starts no UTF-8 character becomes U+FFFD.
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b"),
            L"a\xFFFD"
            L"b");
}

}  // namespace
}  // namespace lpgm::platform
