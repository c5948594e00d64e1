// What the checker finds in inputs held in memory: every finding on the
// smallest input that raises it, and nothing on a clean input.
#include "check/checker.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "check/check_result.h"
#include "check_inputs.h"
#include "compute/provenance.h"
#include "compute/sha256.h"
#include "state/run_state.h"

namespace lpgm::testing::check {
namespace {

using lpgm::check::ExitStatusOf;
using lpgm::check::Severity;

TEST(Checker, CleanInputHasNoFindingAndLpgmsRanks) {
  CheckInputs in(2, 3);
  CheckResult r = in.Run();
  EXPECT_EQ(Ids(r), "");
  EXPECT_EQ(ExitStatusOf(r), 0);
  ASSERT_TRUE(r.computed);
  ASSERT_EQ(r.cases.size(), 3u);
  // Case 3 has the largest amplitude, case 1 the smallest.
  EXPECT_EQ(r.cases[2].rank, 1);
  EXPECT_EQ(r.cases[1].rank, 2);
  EXPECT_EQ(r.cases[0].rank, 3);
  EXPECT_EQ(r.phase_case, 2);
  EXPECT_TRUE(r.cases[1].phase);
  EXPECT_EQ(r.cases[0].pgv, in.State().VMAX(1));
  EXPECT_EQ(r.cases[0].header_time_step, 0.02);
  EXPECT_EQ(r.target.size(), 55u);
  EXPECT_EQ(r.target[0], in.State().SVTGT(1));
}

TEST(Checker, DefinitionErrorsEndTheCheck) {
  {
    CheckInputs in(1, 1);
    CheckResult r = in.Run("missing.csv");
    EXPECT_EQ(Ids(r), "definition-error");
    // lpgm's console text without its " ! [Enter]": the checker does not
    // wait.
    EXPECT_EQ(r.findings[0].message.rfind("missing.csv not exist - ", 0), 0u);
    EXPECT_EQ(r.findings[0].message.find("[Enter]"), std::string::npos);
    EXPECT_EQ(ExitStatusOf(r), 2);
    EXPECT_TRUE(r.faults.empty());
  }
  {
    CheckInputs in(1, 1);
    in.files.AddFile("definition.csv", "title\r\n7,1\r\n");
    CheckResult r = in.Run();
    ASSERT_EQ(Ids(r), "definition-error");
    EXPECT_NE(r.findings[0].message.find("Fault number or Case number Error"),
              std::string::npos);
  }
  {
    CheckInputs in(1, 1);
    in.files.AddFile("definition.csv", "title\r\n1,1\r\nh\r\n1,faults\\F1\r\n");
    CheckResult r = in.Run();
    ASSERT_EQ(Ids(r), "definition-error");
    EXPECT_EQ(r.findings[0].line, 5);  // the missing heading line
  }
}

TEST(Checker, EveryFileThatCannotBeOpenedIsReportedAndNoRankGiven) {
  CheckInputs in(3, 3);
  in.files.AddDirectory(FaultPath(2));
  in.files.AddFile(FaultPath(3), "");  // cut short: read failure
  in.files.FailOpen(CasePath(1), platform::OpenError::kNotFound);
  in.files.FailOpen(CasePath(3), platform::OpenError::kPermission);
  // Case 3's file is there, unreadable: two causes, two findings.
  in.files.SetStatus(platform::HostPath(CasePath(3)), {10, 0, true, false});
  CheckResult r = in.Run();
  EXPECT_EQ(Ids(r), "cannot-open read-failure cannot-open cannot-open");
  EXPECT_EQ(r.findings[0].fault, 2);
  EXPECT_EQ(r.findings[1].fault, 3);
  EXPECT_EQ(r.findings[1].line, 1);
  EXPECT_EQ(r.findings[2].case_number, 1);
  EXPECT_EQ(r.findings[3].case_number, 3);
  EXPECT_FALSE(r.computed);
  EXPECT_EQ(r.phase_case, 0);
  for (const auto& c : r.cases) EXPECT_EQ(c.rank, 0);
  EXPECT_TRUE(r.target.empty());
  // Case 2 was read: its peak is given all the same.
  EXPECT_GT(r.cases[1].pgv, 0);
}

TEST(Checker, ReadFailureNamesTheLine) {
  CheckInputs in(1, 1);
  in.files.AddFile(CasePath(1), Header(20) + "1 2 3 4 5\r\n6 7 x 9\r\n");
  CheckResult r = in.Run();
  ASSERT_EQ(Ids(r), "read-failure");
  EXPECT_EQ(r.findings[0].line, 3);
  EXPECT_NE(r.findings[0].message.find("lpgm: severe (59)"), std::string::npos);
  in.files.AddFile(CasePath(1), Header(20) + "1 2 3 4 5\r\n");
  r = in.Run();
  ASSERT_EQ(Ids(r), "read-failure");
  EXPECT_EQ(r.findings[0].line, 3);
}

TEST(Checker, ReadFailuresSayTheirCauseFirst) {
  struct Case {
    const char* what;
    std::function<void(CheckInputs&)> plant;
    const char* id;
    const char* cause;  // how the message begins
  } cases[] = {
      {"a short case file",
       [](CheckInputs& in) {
         in.files.AddFile(CasePath(1), Header(1600) + Samples(1560, 100));
       },
       "read-failure", "header count 1600, the file holds 1560 values; "},
      {"a sample that is no number",
       [](CheckInputs& in) {
         in.files.AddFile(CasePath(1), Header(20) + "1 2 3\r\n4 5x 6\r\n");
       },
       "read-failure",
       "sample 5 of 20, line 3, value 2: \"5x\" is not a number; "},
      {"a count that is no whole number",
       [](CheckInputs& in) {
         in.files.AddFile(CasePath(1), "  1.5e3,0.02\r\n1 2\r\n");
       },
       "read-failure", "line 1, field 1: \"1.5e3\" is not a whole number; "},
      {"a definition file that lists fewer cases than it announces",
       [](CheckInputs& in) {
         std::string d = Definition(1, 2);
         in.files.AddFile("definition.csv", d.replace(d.find("1,2"), 3, "1,3"));
       },
       "definition-error",
       "the definition file announces 3 cases and lists 2; "},
      {"a spectrum file without one header line",
       [](CheckInputs& in) {
         std::string f = SpectrumFile(GridRows(1));
         in.files.AddFile(FaultPath(1), f.substr(f.find('\n') + 1));
       },
       "read-failure",
       "line 9 of the spectrum file is missing (a header "
       "line): it holds 8 header lines and 55 rows, "},
      {"a folder named as the case file",
       [](CheckInputs& in) {
         in.files.AddDirectory(CasePath(1));
         in.files.SetStatus(platform::HostPath(CasePath(1)),
                            {0, 0, false, true});
       },
       "cannot-open", "cases/C1/加速度波形.acc is a folder, not a file; "},
  };
  for (const Case& c : cases) {
    CheckInputs in(1, 1);
    c.plant(in);
    CheckResult r = in.Run();
    std::vector<Finding> found = FindingsWith(r, c.id);
    ASSERT_EQ(found.size(), 1u) << c.what << ": " << Ids(r);
    EXPECT_EQ(found[0].message.rfind(c.cause, 0), 0u)
        << c.what << ": " << found[0].message;
    // lpgm's own words follow, without the console's [Enter].
    EXPECT_NE(found[0].message.find(" - lpgm: "), std::string::npos)
        << found[0].message;
    EXPECT_EQ(found[0].message.find("[Enter]"), std::string::npos);
  }
}

TEST(Checker, CountsAboveCapacityOrBelowOne) {
  CheckInputs in(1, 2);
  in.files.AddFile(CasePath(1), Header(100001) + "1\r\n");
  in.files.AddFile(CasePath(2), Header(0) + "\r\n1\r\n");
  CheckResult r = in.Run();
  EXPECT_EQ(Ids(r), "sample-capacity no-samples");
  EXPECT_EQ(r.findings[1].case_number, 2);
}

TEST(Checker, HeaderTimeStepOtherThanZeroOrTwoHundredths) {
  CheckInputs in(1, 4);
  in.files.AddFile(CasePath(1), Header(3000, "0.01") + Samples(3000, 140));
  in.files.AddFile(CasePath(2), Header(3000, "0") + Samples(3000, 180));
  in.files.AddFile(CasePath(3), "    3000\r\n" + Samples(3000, 220));
  in.files.AddFile(CasePath(4), Header(3000, "0.020") + Samples(3000, 260));
  CheckResult r = in.Run();
  ASSERT_EQ(Ids(r), "header-time-step even-cases");
  EXPECT_EQ(r.findings[0].case_number, 1);
  EXPECT_EQ(r.findings[0].line, 1);
  EXPECT_EQ(r.cases[0].header_time_step, 0.01);
  EXPECT_FALSE(r.cases[2].header_time_step.has_value());
}

TEST(Checker, SamplesEndedBySlashOrFollowedByMore) {
  CheckInputs in(1, 3);
  std::string samples = Samples(3000, 140);
  in.files.AddFile(CasePath(1), Header(3000) + "1 2 /\r\n" + samples);
  in.files.AddFile(CasePath(2), Header(2999) + Samples(3000, 180));
  in.files.AddFile(CasePath(3), Header(3000) + Samples(3000, 220) + "5\r\n");
  CheckResult r = in.Run();
  EXPECT_EQ(Ids(r),
            "samples-ended-early extra-samples extra-samples "
            "acceleration-range velocity-drift")
      << Ids(r);
  EXPECT_EQ(r.findings[0].line, 2);
  EXPECT_EQ(r.findings[1].line, 2 + 2999 / 8);  // same line as the last one
  EXPECT_EQ(r.findings[2].line, 2 + 3000 / 8);  // the line after the last
}

TEST(Checker, RangeDriftAndDuration) {
  CheckInputs in(1, 3);
  std::string in_g;
  for (int j = 0; j < 3000; ++j) in_g += j % 50 == 0 ? "0.3\r\n" : "-0.3\r\n";
  in.files.AddFile(CasePath(1), Header(3000) + in_g);
  std::string offset = Samples(3000, 100);
  std::string shifted;
  for (int j = 0; j < 3000; ++j) shifted += "1.0\r\n";
  in.files.AddFile(CasePath(2), Header(3000) + shifted);
  in.files.AddFile(CasePath(3), Header(200) + Samples(200, 300));
  CheckResult r = in.Run();
  EXPECT_EQ(FindingsWith(r, "acceleration-range").size(), 2u) << Ids(r);
  ASSERT_EQ(FindingsWith(r, "velocity-drift").size(), 2u) << Ids(r);
  EXPECT_EQ(FindingsWith(r, "velocity-drift")[1].case_number, 2);
  ASSERT_EQ(FindingsWith(r, "record-duration").size(), 1u);
  EXPECT_EQ(FindingsWith(r, "record-duration")[0].severity, Severity::kNote);
}

TEST(Checker, NonFiniteAndOverflowingValues) {
  CheckInputs in(2, 2);
  std::vector<std::string> rows = GridRows(2);
  rows[3] = SpectrumRow(GridPeriod(4), 1e8);
  in.files.AddFile(FaultPath(2), SpectrumFile(rows));
  in.files.AddFile(CasePath(1),
                   Header(3000) + "1e999\r\n" + Samples(2999, 140));
  in.files.AddFile(CasePath(2), Header(3000) + "2e7\r\n" + Samples(2999, 180));
  CheckResult r = in.Run();
  ASSERT_EQ(FindingsWith(r, "non-finite").size(), 1u) << Ids(r);
  EXPECT_EQ(FindingsWith(r, "non-finite")[0].case_number, 1);
  std::vector<Finding> wide = FindingsWith(r, "field-overflow");
  ASSERT_EQ(wide.size(), 3u) << Ids(r);  // case 2, fault 2, the target
  EXPECT_EQ(wide[0].case_number, 2);
  EXPECT_EQ(wide[1].fault, 2);
}

TEST(Checker, PeriodGridAndOrder) {
  CheckInputs in(3, 1);
  std::vector<std::string> descending;
  for (int j = 55; j >= 1; --j)
    descending.push_back(SpectrumRow(GridPeriod(j), j));
  in.files.AddFile(FaultPath(1), SpectrumFile(descending));
  std::vector<std::string> other = descending;
  other[6] = SpectrumRow(GridPeriod(49) + 0.0001, 7);
  in.files.AddFile(FaultPath(2), SpectrumFile(other));
  std::vector<std::string> close = descending;
  close[6] = SpectrumRow(GridPeriod(49) + 0.00004, 7);  // same at 4 decimals
  in.files.AddFile(FaultPath(3), SpectrumFile(close));
  CheckResult r = in.Run();
  EXPECT_EQ(Ids(r), "period-order period-grid") << Ids(r);
  EXPECT_EQ(r.findings[0].line, 11);
  EXPECT_EQ(r.findings[1].fault, 2);
  EXPECT_EQ(r.findings[1].line, 16);
  EXPECT_FALSE(r.faults[1].grid_matches);
  EXPECT_TRUE(r.faults[2].grid_matches);
}

TEST(Checker, ShortRowsAndNonPositiveSv) {
  CheckInputs in(1, 1);
  std::vector<std::string> rows = GridRows(1);
  rows[4] = rows[4].substr(0, rows[4].rfind(',') + 1);  // blank last cell
  rows[9] = "0.5000,1.0";
  rows[20] = SpectrumRow(GridPeriod(21), -1.5);
  in.files.AddFile(FaultPath(1), SpectrumFile(rows));
  CheckResult r = in.Run();
  // The two short rows are one finding, at the first of them.
  EXPECT_EQ(Ids(r), "spectrum-short-row spectrum-nonpositive period-order")
      << Ids(r);
  EXPECT_EQ(r.findings[0].line, 14);
  EXPECT_NE(r.findings[0].message.find("rows 5, 10 have no value"),
            std::string::npos)
      << r.findings[0].message;
  EXPECT_EQ(r.findings[1].line, 30);
  EXPECT_EQ(r.faults[0].sv[4], 0.0);
}

TEST(Checker, OneCauseOnManyRowsIsOneFinding) {
  CheckInputs in(2, 1);
  std::vector<std::string> rows = GridRows(2);
  for (std::string& row : rows) row = row.substr(0, row.rfind(','));
  in.files.AddFile(FaultPath(2), SpectrumFile(rows));
  CheckResult r = in.Run();
  ASSERT_EQ(Ids(r), "spectrum-short-row");
  EXPECT_EQ(r.findings[0].message.rfind("rows 1-55 have no value in field 28 "
                                        "(the first has 27 of 28 fields)",
                                        0),
            0u)
      << r.findings[0].message;
}

TEST(Checker, TrailingCommaOnEveryLineIsOneFinding) {
  CheckInputs in(2, 3);
  std::string definition = Definition(2, 3);
  for (std::size_t p = definition.find("\r\n", definition.find("faults\\"));
       p != std::string::npos; p = definition.find("\r\n", p + 3))
    definition.insert(p, ",");
  in.files.AddFile("definition.csv", definition);
  CheckResult r = in.Run();
  ASSERT_EQ(Ids(r), "cannot-open") << Ids(r);
  EXPECT_EQ(r.findings[0].fault, 1);
  EXPECT_EQ(
      r.findings[0].message.rfind(
          "the folder names of faults 1-2 and cases 1-3 (\"faults\\F1,\", "
          "\"faults\\F2,\", \"cases\\C1,\" and 2 more) have a comma at the end",
          0),
      0u)
      << r.findings[0].message;
}

TEST(Checker, FilesUnderOneMissingFolderAreOneFinding) {
  CheckInputs in(1, 3);
  in.files.AddFile("definition.csv",
                   "t\r\n1,3\r\nh\r\n1,faults\\F1\r\nh\r\n1,gone\\C1\r\n"
                   "2,gone\\C2\r\n3,other\\C3\r\n");
  CheckResult r = in.Run();
  ASSERT_EQ(Ids(r), "cannot-open cannot-open") << Ids(r);
  EXPECT_EQ(r.findings[0].case_number, 1);
  EXPECT_EQ(r.findings[0].message.rfind(
                "there is no folder gone, so the files of cases 1-2 cannot be "
                "opened; lpgm stops at the first - lpgm: ",
                0),
            0u)
      << r.findings[0].message;
  EXPECT_EQ(r.findings[1].case_number, 3);
  EXPECT_EQ(r.findings[1].message.rfind("there is no folder other; ", 0), 0u)
      << r.findings[1].message;
}

TEST(Checker, NothingOpenedNamesTheWorkingDirectory) {
  CheckInputs in(2, 2);
  in.files.AddFile("definition.csv",
                   "t\r\n2,2\r\nh\r\n1,f1\r\n2,f2\r\nh\r\n"
                   "1,c1\r\n2,c2\r\n");
  lpgm::check::CheckRequest request;
  request.definition_cp932 = request.definition = "definition.csv";
  request.working_directory = "/home/user/elsewhere";
  auto state = std::make_unique<RunState>();  // too large for the stack
  CheckResult r = lpgm::check::CheckInputs(request, in.files, *state);
  ASSERT_EQ(Ids(r), "cannot-open");
  EXPECT_EQ(r.findings[0].message.rfind(
                "none of the 4 fault and case files can be opened (the first: "
                "there is no folder f1): lpgm reads the folders of the "
                "definition file relative to the working directory, here "
                "/home/user/elsewhere;",
                0),
            0u)
      << r.findings[0].message;
  // One file that opens: each failure is its own finding again.
  in.files.AddFile(CasePath(1).replace(0, 8, "c1"),
                   Header(3000) + Samples(3000, 100));
  state = std::make_unique<RunState>();
  r = lpgm::check::CheckInputs(request, in.files, *state);
  EXPECT_EQ(Ids(r), "cannot-open cannot-open cannot-open");
}

TEST(Checker, SameFolderAndLiteralNames) {
  CheckInputs in(2, 3);
  in.files.AddFile("definition.csv",
                   "t\r\n2,3\r\nh\r\n1,faults\\F1\r\n2,faults\\F2\r\nh\r\n"
                   "1,cases\\C1\r\n2,cases/C1/\r\n3,cases\\C3,old\r\n");
  in.files.AddFile("cases/C1/" + Cp("\\加速度波形.acc"),
                   Header(3000) + Samples(3000, 150));
  CheckResult r = in.Run();
  EXPECT_EQ(FindingsWith(r, "same-folder").size(), 1u) << Ids(r);
  EXPECT_EQ(FindingsWith(r, "same-folder")[0].case_number, 2);
  // Case 3's folder name holds a comma and its file cannot be opened: the
  // comma is told as the cause of that, and not again as a note.
  EXPECT_EQ(FindingsWith(r, "folder-name-literal").size(), 0u);
  ASSERT_EQ(FindingsWith(r, "cannot-open").size(), 1u);
  EXPECT_NE(
      FindingsWith(r, "cannot-open")[0].message.find(
          "the folder name of case 3 (\"cases\\C3,old\") has a comma or a tab"),
      std::string::npos)
      << FindingsWith(r, "cannot-open")[0].message;
  // A folder that is named with a comma and holds its file: a note.
  in.files.AddFile("cases\\C3,old" + Cp("\\加速度波形.acc"),
                   Header(3000) + Samples(3000, 150));
  r = in.Run();
  EXPECT_EQ(FindingsWith(r, "folder-name-literal").size(), 1u) << Ids(r);
  EXPECT_EQ(FindingsWith(r, "cannot-open").size(), 0u);
}

TEST(Checker, CaseChangedAfterLpgmPrepareWroteIt) {
  CheckInputs in(1, 2);
  const std::string bytes = Header(3000) + Samples(3000, 180);
  in.files.AddFile(CasePath(2), bytes);
  Provenance record;
  record.fields = {
      {"source", "RSN6_IMPVALL.I_I-ELC180.AT2"},
      {std::string(kCaseFileSizeKey), std::to_string(bytes.size())},
      {std::string(kCaseFileDigestKey), Sha256Hex(bytes)}};
  const std::string record_path = "cases/C2/prepare-record.txt";
  in.files.AddFile(record_path, FormatProvenance(record));
  CheckResult r = in.Run();
  EXPECT_EQ(Ids(r), "even-cases");  // the file is the one recorded
  ASSERT_EQ(r.inputs.size(), 5u);
  EXPECT_EQ(r.inputs[4].role, "provenance");
  EXPECT_EQ(r.inputs[4].path, "cases/C2/prepare-record.txt");

  in.files.AddFile(CasePath(2), Header(3000) + Samples(3000, 190));
  r = in.Run();
  ASSERT_EQ(Ids(r), "case-changed even-cases");
  EXPECT_EQ(r.findings[0].case_number, 2);
  EXPECT_EQ(r.findings[0].message.rfind(
                "the case file was changed after lpgm-prepare wrote it from "
                "RSN6_IMPVALL.I_I-ELC180.AT2: its SHA-256 is ",
                0),
            0u)
      << r.findings[0].message;

  in.files.AddFile(record_path, "not a record\r\n");
  r = in.Run();
  ASSERT_EQ(Ids(r), "provenance-unreadable even-cases");
  EXPECT_EQ(r.findings[0].severity, Severity::kNote);
  EXPECT_EQ(r.findings[0].file, "cases\\C2\\prepare-record.txt");
}

TEST(Checker, DefinitionEncoding) {
  const std::string utf8_definition =
      "長周期地震動\r\n1,1\r\n震源断層\r\n1,faults\\F1\r\nケース\r\n1,"
      "cases\\C1\r\n";
  for (const std::string& content :
       {"\xEF\xBB\xBF" + Definition(1, 1), utf8_definition,
        std::string("\xFF\xFE", 2) + "t\0i\0t\0l\0e\0"}) {
    CheckInputs in(1, 1);
    in.files.AddFile("definition.csv", content);
    CheckResult r = in.Run();
    EXPECT_EQ(FindingsWith(r, "definition-encoding").size(), 1u) << Ids(r);
  }
  CheckInputs in(1, 1);
  in.files.AddFile("definition.csv",
                   Cp("長周期地震動\r\n") + Definition(1, 1).substr(7));
  EXPECT_EQ(Ids(in.Run()), "");
}

TEST(Checker, StaleOutputs) {
  CheckInputs in(1, 1);
  in.files.SetStatus("definition.csv", {10, 2000, true});
  in.files.SetStatus(platform::HostPath(CasePath(1)), {10, 5000, true});
  in.files.SetStatus("参考･各ケースの最大速度.csv", {10, 4000, true});
  in.files.SetStatus("入力用･目標速度スペクトル.csv", {10, 6000, true});
  CheckResult r = in.Run();
  ASSERT_EQ(Ids(r), "stale-output");
  EXPECT_EQ(r.findings[0].file, "参考･各ケースの最大速度.csv");
  EXPECT_EQ(r.inputs[0].size, 10);
  EXPECT_TRUE(r.inputs[0].exists);
  EXPECT_FALSE(r.inputs[1].exists);
  // Every output of one earlier run older than an input: one finding.
  in.files.SetStatus("入力用･目標速度スペクトル.csv", {10, 3000, true});
  r = in.Run();
  ASSERT_EQ(Ids(r), "stale-output");
  EXPECT_NE(r.findings[0].message.find(
                "these output files are older than an input (with "
                "参考･各ケースの最大速度.csv): they were left"),
            std::string::npos)
      << r.findings[0].message;
}

TEST(Checker, NearTieAndEvenCount) {
  CheckInputs in(1, 4);
  in.files.AddFile(CasePath(3), Header(3000) + Samples(3000, 181));
  CheckResult r = in.Run();
  // Ranks: case 4, 3, 2, 1; the phase case is rank 2, case 3, whose PGV is
  // within 1 % of case 2's.
  EXPECT_EQ(Ids(r), "even-cases near-tie") << Ids(r);
  EXPECT_EQ(r.phase_case, 3);
  EXPECT_EQ(r.findings[1].case_number, 3);
  EXPECT_EQ(ExitStatusOf(r), 0);
}

TEST(Checker, DefinitionNameThatLpgmWouldCutOrEnd) {
  CheckInputs in(1, 1);
  std::string long_name(41, 'd');
  in.files.AddFile(long_name.substr(0, 40), Definition(1, 1));
  CheckResult r = in.Run(long_name);
  EXPECT_EQ(Ids(r), "definition-name-long");
  in.files.AddFile("my defs.csv", Definition(1, 1));
  r = in.Run("my defs.csv");
  EXPECT_EQ(Ids(r), "definition-name-quoting");
}

}  // namespace
}  // namespace lpgm::testing::check
