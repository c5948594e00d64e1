#include "compute/provenance.h"

#include <gtest/gtest.h>

#include <string>

#include "compute/sha256.h"

namespace lpgm {
namespace {

Provenance Record(std::string_view case_file) {
  Provenance p;
  p.fields = {{"program", "lpgm-prepare 1.1.0"},
              {"header", "Landers, 6/28/1992, Lucerne, 260"},
              {"header", "ACCELERATION TIME SERIES IN UNITS OF G"},
              {std::string(kCaseFileKey), "加速度波形.acc"},
              {std::string(kCaseFileDigestKey), Sha256Hex(case_file)}};
  return p;
}

TEST(ProvenanceTest, WrittenRecordReadsBackFieldForField) {
  const std::string text = FormatProvenance(Record("12,0.02\r\n"));
  EXPECT_TRUE(text.starts_with(std::string(kProvenanceTitle) + "\r\n"));
  EXPECT_NE(text.find("\r\nheader: Landers, 6/28/1992, Lucerne, 260\r\n"),
            std::string::npos);
  auto parsed = ParseProvenance(text);
  ASSERT_TRUE(std::holds_alternative<Provenance>(parsed));
  const Provenance& p = std::get<Provenance>(parsed);
  ASSERT_EQ(p.fields.size(), 5u);
  EXPECT_EQ(p.fields[2].value, "ACCELERATION TIME SERIES IN UNITS OF G");
  EXPECT_EQ(p.Value("header"), "Landers, 6/28/1992, Lucerne, 260");
  EXPECT_EQ(p.Value("case file"), "加速度波形.acc");
  EXPECT_FALSE(p.Value("nothing").has_value());
}

TEST(ProvenanceTest, LineEndsInAValueCannotSplitTheRecord) {
  Provenance p;
  p.fields = {{"header", "one\r\ntwo"}};
  auto parsed = ParseProvenance(FormatProvenance(p));
  ASSERT_TRUE(std::holds_alternative<Provenance>(parsed));
  EXPECT_EQ(std::get<Provenance>(parsed).fields.size(), 1u);
}

TEST(ProvenanceTest, RefusesWhatIsNotARecord) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "the record is empty"},
      {"program: x\n", "line 1 is not the title of a record"},
      {std::string(kProvenanceTitle) + "\nprogram x\n",
       "line 2 is not 'key: value'"},
      {std::string(kProvenanceTitle) + "\n\n# note\n: value\n",
       "line 4 is not 'key: value'"},
  };
  for (const auto& [text, message] : cases) {
    auto parsed = ParseProvenance(text);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << text;
    EXPECT_EQ(std::get<std::string>(parsed), message);
  }
}

TEST(ProvenanceTest, VerifiesTheCaseFileByItsDigest) {
  const std::string written = "       2,0.02\r\n 1.0 2.0\r\n";
  const Provenance p = Record(written);
  EXPECT_EQ(VerifyCaseFile(p, written).state, CaseFileState::kUnchanged);
  CaseFileCheck changed = VerifyCaseFile(p, "       2,0.02\r\n 1.0 2.5\r\n");
  EXPECT_EQ(changed.state, CaseFileState::kChanged);
  EXPECT_EQ(changed.recorded_sha256, Sha256Hex(written));
  EXPECT_NE(changed.actual_sha256, changed.recorded_sha256);
  Provenance upper = p;
  for (char& c : upper.fields.back().value)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(VerifyCaseFile(upper, written).state, CaseFileState::kUnchanged);
  Provenance none;
  none.fields = {{"program", "lpgm-prepare 1.1.0"}};
  EXPECT_EQ(VerifyCaseFile(none, written).state, CaseFileState::kUnknown);
}

}  // namespace
}  // namespace lpgm
