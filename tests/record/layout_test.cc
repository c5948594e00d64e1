#include "record/layout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace lpgm {
namespace {

// The layout written back as one letter-and-width item per descriptor.
std::string Flat(const Layout& layout) {
  std::string s;
  for (const Descriptor& d : layout.descriptors()) {
    if (!s.empty()) s += ' ';
    switch (d.kind) {
      case FieldKind::kInteger:
        s += "I" + std::to_string(d.width);
        break;
      case FieldKind::kFixed:
        s += "F" + std::to_string(d.width) + "." + std::to_string(d.decimals);
        break;
      case FieldKind::kText:
        s += "A" + std::to_string(d.width);
        break;
      case FieldKind::kTextWhole:
        s += "A";
        break;
      case FieldKind::kStayOpen:
        s += "$";
        break;
    }
  }
  return s;
}

TEST(LayoutTest, ExpandsRepeatsAndGroupsAndRevertsToTheLastTopLevelGroup) {
  const struct {
    const char* text;
    const char* flat;
    std::size_t reversion;
  } kCases[] = {
      {"(I20,A400)", "I20 A400", 0},
      {"(3F20.0)", "F20.0 F20.0 F20.0", 0},
      {"(F12.4,2(A1,F14.6))", "F12.4 A1 F14.6 A1 F14.6", 1},
      {"(A,$)", "A $", 0},
      {"(A,2(A10,I2),$)", "A A10 I2 A10 I2 $", 1},
      {"(2(I1,2(A2)),F3.1)", "I1 A2 A2 I1 A2 A2 F3.1", 0},
      {"(I2,2(I3),I4,2(I5,I6),I7)", "I2 I3 I3 I4 I5 I6 I5 I6 I7", 4},
      {" ( i5 , 2 a3 , f6.2 ) ", "I5 A3 A3 F6.2", 0},
      {"(F31.30)", "F31.30", 0},
  };
  for (const auto& c : kCases) {
    Layout layout = Layout::Parse(c.text);
    EXPECT_EQ(Flat(layout), c.flat) << c.text;
    EXPECT_EQ(layout.reversion(), c.reversion) << c.text;
  }
  EXPECT_EQ(Layout::Parse("(28F20.0)").size(), 28u);
  EXPECT_EQ(Layout::Parse("(F12.4,10(A1,F14.6))").size(), 21u);
  EXPECT_EQ(Layout::Parse("(A,30(A10,I2))").size(), 61u);
}

TEST(LayoutTest, MalformedTextIsAProgrammingError) {
  for (const char* text :
       {"I20", "(I20", "I20)", "(I20))", "(I20) x", "()", "(X5)", "(F5)",
        "(F5.5)", "(F40.31)", "(I0)", "(A0)", "(0I2)", "($,I2)", "(2$)",
        "(I2,)", "(2(I2)", "(257I1)", "(I20000)"}) {
    EXPECT_THROW(Layout::Parse(text), std::logic_error) << text;
  }
  EXPECT_NO_THROW(Layout::Parse("(256I1)"));
}

}  // namespace
}  // namespace lpgm
