// The causes of read failures in the user's terms, on the bytes of files
// cut or spoiled the ways users spoil them.
#include "check/read_cause.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lpgm::check {
namespace {

// A spectrum file: `header` header lines (the last the column numbers, as
// the real files have them) and `rows` rows of 28 fields.
std::string Spectrum(int header, int rows) {
  std::string text;
  for (int h = 1; h < header; ++h)
    text += "title " + std::to_string(h) + "\r\n";
  if (header > 0) {
    for (int k = 1; k <= 28; ++k)
      text += (k > 1 ? "," : "") + std::to_string(k);
    text += "\r\n";
  }
  for (int j = 1; j <= rows; ++j) {
    text += std::to_string(0.1 * j);
    for (int k = 2; k <= 28; ++k) text += ",1.5";
    text += "\r\n";
  }
  return text;
}

TEST(ReadCause, ShortSpectrumFileSaysWhatItHolds) {
  struct Case {
    int header, rows;
    const char* cause;
  } cases[] = {
      {8, 55,
       "line 9 of the spectrum file is missing (a header line): it holds 8 "
       "header lines and 55 rows, lpgm reads 9 header lines and 55 rows"},
      {9, 54,
       "row 55 of the spectrum file is missing: it holds 9 header lines and "
       "54 rows, lpgm reads 9 header lines and 55 rows"},
      {9, 40,
       "rows 41-55 of the spectrum file are missing: it holds 9 header lines "
       "and 40 rows, lpgm reads 9 header lines and 55 rows"},
      {0, 55,
       "lines 1-9 of the spectrum file are missing (a header line): it holds "
       "0 header lines and 55 rows, lpgm reads 9 header lines and 55 rows"},
      {0, 0, "the spectrum file is empty"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ShortSpectrumCause(Spectrum(c.header, c.rows)), c.cause)
        << c.header << " " << c.rows;
}

TEST(ReadCause, MalformedFieldNamesLineFieldAndText) {
  const std::string text = "header\r\n1.0,2.0,1.2.3,4\r\n 1 2\t3x  4/ zz\r\n";
  EXPECT_EQ(MalformedFieldCause(text, 2, FieldCut::kFixed20),
            "line 2, field 3: \"1.2.3\" is not a number");
  EXPECT_EQ(MalformedFieldCause(text, 3, FieldCut::kFreeForm),
            "line 3, value 3: \"3x\" is not a number");
  // Fields of 20 positions without commas; an integer field first.
  EXPECT_EQ(MalformedFieldCause("    12.5            0.02\n", 1,
                                FieldCut::kFixed20, 1, 2),
            "line 1, field 1: \"12.5\" is not a whole number");
  // Fields past those lpgm reads, and repeat counts, are no fault.
  EXPECT_EQ(MalformedFieldCause("1,2,x\n", 1, FieldCut::kFixed20, 0, 2), "");
  EXPECT_EQ(MalformedFieldCause("3*1.5 2* 4\n", 1, FieldCut::kFreeForm), "");
  EXPECT_EQ(MalformedFieldCause("1 2\n", 5, FieldCut::kFreeForm), "");
}

TEST(ReadCause, DefinitionThatListsFewerThanItAnnounces) {
  // Title, counts, heading, 3 faults (lines 4-6), heading (7), cases (8-).
  EXPECT_EQ(ShortDefinitionCause(3, 11, 18),
            "the definition file announces 11 cases and lists 10");
  EXPECT_EQ(ShortDefinitionCause(3, 11, 6),
            "the definition file announces 3 faults and lists 2");
  EXPECT_EQ(ShortDefinitionCause(1, 1, 5),
            "the definition file ends after its 1 fault: the heading line "
            "and the 1 case it announces are missing");
  EXPECT_EQ(ShortDefinitionCause(1, 1, 1), "the definition file is empty");
  EXPECT_EQ(ShortDefinitionCause(0, 0, 2),
            "the definition file ends after its title: line 2, the counts of "
            "faults and cases, is missing");
  EXPECT_EQ(ShortDefinitionCause(2, 1, 3),
            "the definition file ends after its counts: the heading line and "
            "the 2 faults it announces are missing");
  EXPECT_EQ(ShortCaseCause(1600, 1560),
            "header count 1600, the file holds 1560 values");
}

TEST(ReadCause, ListLinesWithANumberOutOfRangeOrMissing) {
  // Two faults (lines 4-5), the case list from line 7.
  const std::string head = "t\r\n2,3\r\nh\r\n1,F1\r\n2,F2\r\nh\r\n";
  EXPECT_EQ(ListCause(head + "1,C1\r\n4,C4\r\n3,C3\r\n", 2, 3, ListKind::kCases,
                      true),
            "line 2 of the case list (line 8 of the file) gives case number "
            "4, outside 1 to 3");
  EXPECT_EQ(ListCause(head + "1,C1\r\n1,C1b\r\n3,C3\r\n", 2, 3,
                      ListKind::kCases, false),
            "no line of the case list gives case number 2: lines 1 and 2 of "
            "the list (lines 7 and 8 of the file) both give case number 1");
  EXPECT_EQ(
      ListCause(head + "1,C1\r\n2,\r\n3,C3\r\n", 2, 3, ListKind::kCases, false),
      "line 2 of the case list (line 8 of the file) gives case number "
      "2 without a folder");
  EXPECT_EQ(
      ListCause("t\r\n2,1\r\nh\r\n0,F1\r\n", 2, 2, ListKind::kFaults, true),
      "line 1 of the fault list (line 4 of the file) gives fault number "
      "0, outside 1 to 2");
}

TEST(ReadCause, RangesOfRowNumbers) {
  EXPECT_EQ(Ranges({}), "");
  EXPECT_EQ(Ranges({4}), "4");
  EXPECT_EQ(Ranges({1, 2, 3}), "1-3");
  EXPECT_EQ(Ranges({3, 7, 9, 10, 11, 12}), "3, 7, 9-12");
  EXPECT_EQ(Ranges({1, 2, 5, 6}), "1-2, 5-6");
}

}  // namespace
}  // namespace lpgm::check
