// The console dialogue of whole runs: the prompt and its answer, the error
// stops with their pause, and the record-layer diagnostics on stderr.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "e2e/input_set.h"

namespace lpgm::testing::e2e {
namespace {

const std::vector<std::string> kUtf8 = {"LC_ALL=C.UTF-8"};

// One fault and one case with a peak of 2.0 cm/s.
struct SmallSet : InputSet {
  SmallSet() : InputSet(1, 1) { Case(1, {100.0, 0.0}); }
};

TEST(DialogueTest, SuccessfulRunShowsOnlyThePromptInCp932) {
  SmallSet set;
  ProcessResult result = set.Run();
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out.size(), 36u);
  EXPECT_EQ(result.out, kPrompt);
  EXPECT_EQ(set.OutputCount(), 6);
}

TEST(DialogueTest, Utf8LocaleShowsThePromptInUtf8) {
  SmallSet set;
  ProcessResult result = set.Run("definition.csv\n", kUtf8);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, kPromptUtf8);
  EXPECT_EQ(set.OutputCount(), 6);
}

TEST(DialogueTest, EmptyLinesBeforeTheNameArePassedOver) {
  SmallSet set;
  ProcessResult result = set.Run("\n\r\n\ndefinition.csv\n");
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, kPrompt);  // no second prompt
  EXPECT_EQ(set.OutputCount(), 6);
}

TEST(DialogueTest, BlankOrSlashEndsAnUnquotedNameAndQuotesKeepIt) {
  SmallSet set;
  std::filesystem::rename(set.path() + "/definition.csv",
                          set.path() + "/my def.csv");
  ProcessResult cut = set.Run("my def.csv\n\n");
  EXPECT_EQ(cut.exit_status, 1);
  EXPECT_EQ(cut.out, kPrompt + "my not exist ! [Enter]");
  ProcessResult slash = set.Run("my/def.csv\n\n");
  EXPECT_EQ(slash.out, kPrompt + "my not exist ! [Enter]");
  EXPECT_EQ(set.OutputCount(), 0);

  ProcessResult quoted = set.Run("\"my def.csv\" more words\n");
  EXPECT_EQ(quoted.exit_status, 0) << quoted.out << quoted.err;
  EXPECT_EQ(quoted.out, kPrompt);
  ProcessResult apostrophes = set.Run("'my def.csv'\n");
  EXPECT_EQ(apostrophes.exit_status, 0) << apostrophes.out;
}

TEST(DialogueTest, NameLongerThanFortyPositionsIsCutToForty) {
  SmallSet set;
  const std::string forty = "abcdefghij0123456789ABCDEFGHIJklmnopqrst";
  const std::string typed = forty + "uvwxyz";
  ProcessResult missing = set.Run(typed + "\n\n");
  EXPECT_EQ(missing.exit_status, 1);
  EXPECT_EQ(missing.out, kPrompt + forty + " not exist ! [Enter]");

  set.dir().WriteFile(forty, InputSet::DefinitionText(1, 1));
  ProcessResult found = set.Run(typed + "\n");
  EXPECT_EQ(found.exit_status, 0) << found.out << found.err;
  EXPECT_EQ(found.out, kPrompt);
}

TEST(DialogueTest, Utf8TypedNameReachesTheSystemAsCp932) {
  SmallSet set;
  set.dir().WriteFile("定義ファイル.csv", InputSet::DefinitionText(1, 1));
  ProcessResult utf8 = set.Run("定義ファイル.csv\n", kUtf8);
  EXPECT_EQ(utf8.exit_status, 0) << utf8.out << utf8.err;
  EXPECT_EQ(utf8.out, kPromptUtf8);
  // Under LC_ALL=C the same name is typed as its CP932 bytes.
  ProcessResult raw = set.Run(Cp("定義ファイル.csv") + "\n");
  EXPECT_EQ(raw.exit_status, 0) << raw.out << raw.err;

  // 21 double-byte characters are 42 positions: 20 of them remain.
  std::string kanji21, kanji20;
  for (int i = 0; i < 21; ++i) kanji21 += "長";
  for (int i = 0; i < 20; ++i) kanji20 += "長";
  ProcessResult cut = set.Run(kanji21 + "\n\n", kUtf8);
  EXPECT_EQ(cut.exit_status, 1);
  EXPECT_EQ(cut.out, kPromptUtf8 + kanji20 + " not exist ! [Enter]");
  ProcessResult cut_raw = set.Run(Cp(kanji21) + "\n\n");
  EXPECT_EQ(cut_raw.out, kPrompt + Cp(kanji20) + " not exist ! [Enter]");

  // A character without a CP932 form becomes '?'.
  ProcessResult unmapped = set.Run(
      "a\xF0\x9F\x98\x80"
      "b.csv\n\n",
      kUtf8);
  EXPECT_EQ(unmapped.out, kPromptUtf8 + "a?b.csv not exist ! [Enter]");
}

TEST(DialogueTest, EndOfFileAtThePromptIsFailure24OnStdin) {
  for (const std::string& input : {std::string(), std::string("\n\n")}) {
    SmallSet set;
    ProcessResult result = set.Run(input);
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_EQ(result.out, kPrompt);
    EXPECT_EQ(result.err, kStdinEof);
    EXPECT_EQ(set.OutputCount(), 0);
  }
  SmallSet set;
  ProcessResult utf8 = set.Run("", kUtf8);
  EXPECT_EQ(utf8.out, kPromptUtf8);
  EXPECT_EQ(utf8.err, kStdinEof);
}

TEST(DialogueTest, ClosedStdinIsReadError39) {
  SmallSet set;
  ProcessOptions options;
  options.directory = set.path();
  options.close_stdin = true;
  ProcessResult result = RunProcess(LpgmBinary(), options);
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_EQ(result.out, kPrompt);
  EXPECT_EQ(result.err,
            "lpgm: severe (39): error during read, unit 5, file stdin\n");
  EXPECT_EQ(set.OutputCount(), 0);
}

struct StopCase {
  const char* what;
  std::function<void(InputSet&)> setup;
  std::string answer;
  std::string message;  // CP932
};

void WriteDefinition(InputSet& set, const std::string& utf8_text) {
  set.dir().WriteFile("definition.csv", Cp(utf8_text));
}

TEST(DialogueTest, ErrorStopShowsMessagePausesForALineAndExitsOne) {
  const std::string head = "題\r\n2,2\r\n断層\r\n";
  const std::vector<StopCase> cases = {
      {"definition file missing", nullptr, "nothing.csv",
       "nothing.csv not exist ! [Enter]"},
      {"seven faults", [](InputSet& s) { s.Definition(7, 1); },
       "definition.csv", "Fault number or Case number Error ! [Enter]"},
      {"case count a word",
       [](InputSet& s) { WriteDefinition(s, "題\r\n1,x\r\n"); },
       "definition.csv", "Fault number or Case number Error ! [Enter]"},
      {"fault slot out of range",
       [&](InputSet& s) {
         WriteDefinition(s, head + "1,faults\\F1\r\n9,faults\\F2\r\n");
       },
       "definition.csv", "Fault data line no.2Error ! [Enter]"},
      {"fault slot unnamed",
       [&](InputSet& s) {
         WriteDefinition(s, head + "1,faults\\F1\r\n1,faults\\F2\r\n");
       },
       "definition.csv", "Fault data no.2 not exist ! [Enter]"},
      {"case slot zero",
       [&](InputSet& s) {
         WriteDefinition(s, head +
                                "1,faults\\F1\r\n2,faults\\F2\r\n"
                                "ケース\r\n0,cases\\C1\r\n");
       },
       "definition.csv", "Case data line no.1Error ! [Enter]"},
      {"case slot unnamed",
       [&](InputSet& s) {
         WriteDefinition(s, head +
                                "1,faults\\F1\r\n2,faults\\F2\r\n"
                                "ケース\r\n1,cases\\C1\r\n1,cases\\C2\r\n");
       },
       "definition.csv", "Case data no.2 not exist ! [Enter]"},
      {"fault file missing",
       [](InputSet& s) {
         std::filesystem::remove(s.path() + "/" + InputSet::FaultFile(2));
       },
       "definition.csv",
       Cp("faults\\F2\\Korvel長周期.csv not exist ! [Enter]")},
      {"fault file a directory",
       [](InputSet& s) {
         std::string file = s.path() + "/" + InputSet::FaultFile(2);
         std::filesystem::remove(file);
         std::filesystem::create_directory(file);
       },
       "definition.csv",
       Cp("faults\\F2\\Korvel長周期.csv not exist ! [Enter]")},
      {"case folder missing after the fault files",
       [](InputSet& s) { std::filesystem::remove_all(s.path() + "/cases/C2"); },
       "definition.csv", Cp("cases\\C2\\加速度波形.acc not exist ! [Enter]")},
      {"sample count above the capacity",
       [](InputSet& s) { s.Case(1, 100001, "1.0\r\n"); }, "definition.csv",
       Cp("cases\\C1\\加速度波形.acc sample number Error ! [Enter]")},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.what);
    InputSet set(2, 2);
    set.Case(1, {1.0, 2.0});
    set.Case(2, {3.0});
    if (c.setup) c.setup(set);

    ProcessResult result = set.Run(c.answer + "\ntyped and ignored\n");
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.out, kPrompt + c.message);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(set.OutputCount(), 0);

    // Without a line for the pause the read meets the end of stdin.
    ProcessResult eof = set.Run(c.answer + "\n");
    EXPECT_EQ(eof.exit_status, 2);
    EXPECT_EQ(eof.out, kPrompt + c.message);
    EXPECT_EQ(eof.err, kStdinEof);
    EXPECT_EQ(set.OutputCount(), 0);
  }
}

TEST(DialogueTest, Utf8LocaleShowsErrorStopMessageInUtf8) {
  InputSet set(1, 1);
  ProcessResult result = set.Run("definition.csv\n\n", kUtf8);
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out,
            kPromptUtf8 + "cases\\C1\\加速度波形.acc not exist ! [Enter]");
}

struct FailureCase {
  const char* what;
  std::function<void(InputSet&)> setup;
  std::string diagnostic;  // UTF-8, without the line end
};

TEST(DialogueTest, InputFileFailureEndsTheRunWithDiagnosticAndExitTwo) {
  const std::vector<FailureCase> cases = {
      {"letter in a spectrum row",
       [](InputSet& s) {
         s.Fault(1, [](int r) { return r == 3 ? std::string("12x") : "1.0"; });
       },
       "lpgm: severe (64): input conversion error, unit 12, file "
       "faults\\F1\\Korvel長周期.csv"},
      {"spectrum file too short",
       [](InputSet& s) {
         s.dir().WriteFile(
             InputSet::FaultFile(2),
             s.dir().ReadFile(InputSet::FaultFile(2)).substr(0, 900));
       },
       "lpgm: severe (24): end-of-file during read, unit 12, file "
       "faults\\F2\\Korvel長周期.csv"},
      {"fewer samples than the count",
       [](InputSet& s) { s.Case(1, 10, "1 2 3\r\n"); },
       "lpgm: severe (24): end-of-file during read, unit 13, file "
       "cases\\C1\\加速度波形.acc"},
      {"sample not a number", [](InputSet& s) { s.Case(2, 3, "1 abc 3\r\n"); },
       "lpgm: severe (59): list-directed I/O syntax error, unit 13, file "
       "cases\\C2\\加速度波形.acc"},
      {"count and step separated by a blank",
       [](InputSet& s) {
         s.dir().WriteFile(InputSet::CaseFile(1), "6000 0.02\r\n1.0\r\n");
       },
       "lpgm: severe (64): input conversion error, unit 13, file "
       "cases\\C1\\加速度波形.acc"},
      {"definition file ends in the case list",
       [](InputSet& s) {
         std::string text = InputSet::DefinitionText(2, 2);
         s.dir().WriteFile("definition.csv",
                           text.substr(0, text.rfind("2,cases")));
       },
       "lpgm: severe (24): end-of-file during read, unit 11, file "
       "definition.csv"},
      {"slot number with a decimal point",
       [](InputSet& s) {
         std::string text = InputSet::DefinitionText(2, 2);
         text.replace(text.find("1,faults"), 1, "1.0");
         s.dir().WriteFile("definition.csv", text);
       },
       "lpgm: severe (64): input conversion error, unit 11, file "
       "definition.csv"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    InputSet set(2, 2);
    set.Case(1, {1.0, 2.0});
    set.Case(2, {3.0});
    c.setup(set);

    ProcessResult result = set.Run("definition.csv\n\n");
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_EQ(result.out, kPrompt);  // no message, no pause
    EXPECT_EQ(result.err, Cp(c.diagnostic) + "\n");
    EXPECT_EQ(set.OutputCount(), 0);

    ProcessResult utf8 = set.Run("definition.csv\n\n", kUtf8);
    EXPECT_EQ(utf8.exit_status, 2);
    EXPECT_EQ(utf8.out, kPromptUtf8);
    EXPECT_EQ(utf8.err, c.diagnostic + "\n");
    EXPECT_EQ(set.OutputCount(), 0);
  }
}

}  // namespace
}  // namespace lpgm::testing::e2e
