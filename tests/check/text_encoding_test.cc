// The guess of a definition file's encoding from its first bytes.
#include "check/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/encoding.h"

namespace lpgm::check {
namespace {

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

}  // namespace
}  // namespace lpgm::check
