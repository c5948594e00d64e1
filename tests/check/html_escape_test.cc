#include "check/html_escape.h"

#include <gtest/gtest.h>

namespace lpgm::check {
namespace {

TEST(HtmlEscape, MarkupCharactersBecomeReferences) {
  EXPECT_EQ(Escaped("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&#39;");
  EXPECT_EQ(Escaped("&amp;"), "&amp;amp;");  // escaped again, not kept
  EXPECT_EQ(Escaped(""), "");
}

TEST(HtmlEscape, WellFormedUtf8PassesUnchanged) {
  const std::string text = "cases\\加速度波形.acc \u00b2 \U0001F600";
  EXPECT_EQ(Escaped(text), text);
}

TEST(HtmlEscape, MalformedUtf8AndControlsBecomeReplacementCharacter) {
  const std::string fffd = "\xEF\xBF\xBD";
  // A CP932 byte pair that was never decoded, a lone continuation byte, a
  // truncated sequence at the end, an overlong '/', a surrogate, a value
  // above U+10FFFF, NUL and ESC.
  EXPECT_EQ(Escaped("\x89\xC1"), fffd + fffd);
  EXPECT_EQ(Escaped("a\x80z"), "a" + fffd + "z");
  EXPECT_EQ(Escaped("\xE5\x8A"), fffd + fffd);
  EXPECT_EQ(Escaped("\xC0\xAF"), fffd + fffd);
  EXPECT_EQ(Escaped("\xED\xA0\x80"), fffd + fffd + fffd);
  EXPECT_EQ(Escaped("\xF4\x90\x80\x80"), fffd + fffd + fffd + fffd);
  EXPECT_EQ(Escaped(std::string("a\0b\x1b", 4)), "a" + fffd + "b" + fffd);
  EXPECT_EQ(Escaped("tab\there\r\n"), "tab\there\r\n");
}

}  // namespace
}  // namespace lpgm::check
