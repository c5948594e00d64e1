#include "record/trimmed_length.h"

#include <gtest/gtest.h>

#include <string>

namespace lpgm {
namespace {

template <std::size_t N>
TextField<N> Field(const std::string& text) {
  TextField<N> field;
  FillBlanks(field);
  text.copy(field.data(), std::min(text.size(), N));
  return field;
}

TEST(TrimmedLengthTest, IsThePositionOfTheLastNonBlankAndAtLeastOne) {
  const struct {
    std::string text;
    int lchr40;
    int lchr400;
  } kCases[] = {
      {"", 1, 1},
      {"x", 1, 1},
      {"abc", 3, 3},
      {"a b  ", 3, 3},
      {std::string(39, ' ') + "z", 40, 40},
      {std::string(40, 'q'), 40, 40},
      {std::string(399, ' ') + "z", 1, 400},
      {std::string(400, 'q'), 40, 400},
      {"ab\t", 3, 3},                  // a tab is no blank
      {std::string("ab\0", 3), 3, 3},  // nor is a zero byte
      {"\x8e\xfc\x8a\xfa(s)", 7, 7},   // CP932 bytes count singly
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(LCHR40(Field<40>(c.text)), c.lchr40) << c.text;
    EXPECT_EQ(LCHR400(Field<400>(c.text)), c.lchr400) << c.text;
  }
}

}  // namespace
}  // namespace lpgm
