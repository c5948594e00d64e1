// lpgm-check's text and JSON on the bundled example, byte for byte against
// golden files ("@VERSION@" stands for the version), and the text as CP932
// bytes under a locale that is not UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "platform/encoding.h"
#include "run_check.h"

namespace lpgm::testing::check {
namespace {

std::string Golden(const char* name) {
  std::string text = ReadBytes(fs::path(LPGM_SOURCE_DIR) / "tests" / "check" /
                               "golden" / name);
  std::size_t at = text.find("@VERSION@");
  if (at != std::string::npos) text.replace(at, 9, LPGM_VERSION);
  return text;
}

class Example : public ::testing::Test {
 protected:
  void SetUp() override { CopyInputSet(ExampleFolder(), dir_.path()); }
  TempDir dir_;
};

TEST_F(Example, TextMatchesGolden) {
  ProcessResult run = RunCheck(dir_.path(), "definition.csv");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out, Golden("example.txt"));
  EXPECT_EQ(run.err, "");
}

TEST_F(Example, TextIsCp932UnderCLocale) {
  ProcessResult run = RunCheck(dir_.path(), "definition.csv", "C");
  EXPECT_EQ(run.out, platform::Utf8ToCp932(Golden("example.txt")));
}

TEST_F(Example, JsonMatchesGolden) {
  ProcessResult run = RunCheck(dir_.path(), "--json definition.csv");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out, Golden("example.json"));
}

TEST_F(Example, TextWithFindingsMatchesGolden) {
  // Case 2's header at 0.01 s, a blank last cell in fault 2's row 5, case
  // 5's folder missing.
  fs::path dir(dir_.path());
  fs::path acc = dir / "cases" / "SYN02" / "加速度波形.acc";
  std::string record = ReadBytes(acc);
  record.replace(record.find("0.02"), 4, "0.01");
  WriteBytes(acc, record);
  fs::path spectrum = dir / "faults" / "F2" / "Korvel長周期.csv";
  std::string text = ReadBytes(spectrum);
  std::size_t row5 = 0;
  for (int k = 0; k < 13; ++k) row5 = text.find('\n', row5) + 1;
  std::size_t end = text.find('\r', row5);
  std::size_t last_comma = text.rfind(',', end);
  text.erase(last_comma + 1, end - last_comma - 1);
  WriteBytes(spectrum, text);
  fs::remove_all(dir / "cases" / "SYN05");
  ProcessResult run = RunCheck(dir_.path(), "definition.csv");
  EXPECT_EQ(run.exit_status, 2);
  EXPECT_EQ(run.out, Golden("example_findings.txt"));
}

TEST_F(Example, FindingsOfAPlantedMistakeAndItsStatus) {
  // Case 2's folder missing: an error, exit 2, and still every other file.
  fs::remove_all(fs::path(dir_.path()) / "cases" / "SYN02");
  ProcessResult run = RunCheck(dir_.path(), "--json definition.csv");
  EXPECT_EQ(run.exit_status, 2);
  EXPECT_EQ(JsonValues(run.out, "id"),
            std::vector<std::string>{"\"cannot-open\""});
  EXPECT_EQ(JsonValues(run.out, "phase_case"),
            std::vector<std::string>{"null"});
  EXPECT_EQ(JsonValues(run.out, "read_ok").size(), 8u);
}

TEST_F(Example, CommandLineErrorsAndHelp) {
  ProcessResult run = RunCheck(dir_.path(), "");
  EXPECT_EQ(run.exit_status, 64);
  EXPECT_NE(run.err.find("usage: lpgm-check"), std::string::npos);
  EXPECT_EQ(RunCheck(dir_.path(), "--bogus definition.csv").exit_status, 64);
  EXPECT_EQ(RunCheck(dir_.path(), "a.csv b.csv").exit_status, 64);
  run = RunCheck(dir_.path(), "--help");
  EXPECT_EQ(run.exit_status, 0);
  for (const char* id :
       {"definition-error", "stale-output", "even-cases", "64", "73"})
    EXPECT_NE(run.out.find(id), std::string::npos) << id;
  run = RunCheck(dir_.path(), "--version");
  EXPECT_EQ(run.out, std::string("lpgm-check ") + LPGM_VERSION + "\n");
}

TEST_F(Example, HtmlReportIsWrittenButNeverOverAnInput) {
  ProcessResult run =
      RunCheck(dir_.path(), "--html report.html definition.csv");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_NE(ReadBytes(fs::path(dir_.path()) / "report.html").find("<html"),
            std::string::npos);
  std::string before = ReadBytes(fs::path(dir_.path()) / "definition.csv");
  run = RunCheck(dir_.path(), "--html definition.csv definition.csv");
  EXPECT_EQ(run.exit_status, 73);
  EXPECT_EQ(ReadBytes(fs::path(dir_.path()) / "definition.csv"), before);
}

}  // namespace
}  // namespace lpgm::testing::check
