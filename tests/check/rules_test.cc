// The rules table on facts and summaries built by hand: one clean input
// that raises nothing, and one change per row that raises exactly the
// findings named, with their severities and places. Every rule of the
// table is raised by some row.
#include "check/rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "check/series_stats.h"

namespace lpgm::check {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The samples of every case: small and finite.
const std::vector<double> kAcc = {1.0, -2.0, 3.0};
const std::vector<double> kVel = {0.1, -0.2, 0.0};

struct Input {
  CheckFacts facts;
  CheckResult result;
  std::vector<double> acc = kAcc;  // case 1's own samples
};

void AddFault(Input& in, int i) {
  FaultFacts f;
  f.fault = i;
  f.path = "F" + std::to_string(i) + "\\s.csv";
  FaultSummary s;
  s.fault = i;
  s.read_ok = true;
  for (int j = 1; j <= 3; ++j) {
    f.rows.push_back({9L + j, 28, true, 1.0 * j});
    s.period.push_back(1.0 * j);
    s.sv.push_back(10.0 * j);
  }
  s.rows = 3;
  in.facts.faults.push_back(f);
  in.result.faults.push_back(s);
  in.facts.folders.push_back({i, 0, "F" + std::to_string(i), 0});
}

void AddCase(Input& in, int i, double pgv, int rank) {
  CaseFacts f;
  f.case_number = i;
  f.path = "C" + std::to_string(i) + "\\a.acc";
  f.npts = 3000;
  f.header_time_step = 0.02;
  CaseSummary s;
  s.case_number = i;
  s.read_ok = true;
  s.npts = 3000;
  s.duration = 60;
  s.pga = 100;
  s.pgv = pgv;
  s.rank = rank;
  s.phase = rank == 2;
  s.acc = i == 1 ? std::span<const double>(in.acc) : kAcc;
  s.vel = kVel;
  in.facts.cases.push_back(f);
  in.result.cases.push_back(s);
  in.facts.folders.push_back({0, i, "C" + std::to_string(i), 0});
}

// One fault and three cases of clearly different peaks, read and ranked.
void MakeClean(Input& in) {
  in.facts.definition = {"def.csv", 40, "def.csv", TextEncoding::kShiftJis,
                         std::nullopt};
  AddFault(in, 1);
  AddCase(in, 1, 10, 3);
  AddCase(in, 2, 20, 2);
  AddCase(in, 3, 30, 1);
  in.result.computed = true;
  in.result.phase_case = 2;
  in.result.target = {10, 20, 30};
  for (int k = 0; k < 6; ++k) in.facts.outputs.push_back({"out.csv", false});
}

// The rules on the input, its cases' series statistics worked out from
// their samples as the checker does after reading.
void Apply(Input& in) {
  for (CaseSummary& c : in.result.cases) SummarizeSeries(c);
  ApplyRules(in.facts, in.result);
}

std::string IdsAndSeverities(const CheckResult& r) {
  std::string text;
  for (const Finding& f : r.findings) {
    const char* s = f.severity == Severity::kError     ? "E"
                    : f.severity == Severity::kWarning ? "W"
                                                       : "N";
    text += (text.empty() ? "" : " ") + f.id + ":" + s;
  }
  return text;
}

ReadStop Stop(StopReason reason) { return {reason, "message", 7, {}}; }

struct Row {
  const char* change;
  std::function<void(Input&)> apply;
  const char* expected;  // id:severity of each finding, in order
};

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
      {"clean", [](Input&) {}, ""},
      {"long name",
       [](Input& in) { in.facts.definition.name = std::string(41, 'd'); },
       "definition-name-long:W"},
      {"blank in name",
       [](Input& in) { in.facts.definition.name = "my def.csv"; },
       "definition-name-quoting:N"},
      {"UTF-8 definition",
       [](Input& in) { in.facts.definition.encoding = TextEncoding::kUtf8; },
       "definition-encoding:W"},
      {"definition stop",
       [](Input& in) {
         in.facts.definition.stop = Stop(StopReason::kCountError);
       },
       "definition-error:E"},
      {"same folder twice", [](Input& in) { in.facts.folders[2].same_as = 1; },
       "same-folder:W"},
      {"comma in a folder",
       [](Input& in) { in.facts.folders[0].folder = "F,1"; },
       "folder-name-literal:N"},
      {"leading blank in a folder",
       [](Input& in) { in.facts.folders[1].folder = " C1"; },
       "folder-name-literal:N"},
      {"fault read failure",
       [](Input& in) { in.facts.faults[0].stop = Stop(StopReason::kNone); },
       "read-failure:E"},
      {"fault cannot open",
       [](Input& in) {
         in.facts.faults[0].stop = Stop(StopReason::kCannotOpen);
       },
       "cannot-open:E"},
      {"short row",
       [](Input& in) { in.facts.faults[0].rows[1].has_sv = false; },
       "spectrum-short-row:W"},
      {"short row with Sv 0 is only short",
       [](Input& in) {
         in.facts.faults[0].rows[1].has_sv = false;
         in.result.faults[0].sv[1] = 0;
       },
       "spectrum-short-row:W"},
      {"Sv not positive", [](Input& in) { in.result.faults[0].sv[2] = -1; },
       "spectrum-nonpositive:W"},
      {"Sv NaN is not 'not positive'",
       [](Input& in) { in.result.faults[0].sv[2] = kNaN; }, "non-finite:W"},
      {"periods out of order",
       [](Input& in) { in.result.faults[0].period[2] = 1.5; },
       "period-order:W"},
      {"period not positive",
       [](Input& in) { in.result.faults[0].period[0] = 0; }, "period-order:W"},
      {"another period grid",
       [](Input& in) {
         AddFault(in, 2);
         in.facts.faults[1].grid_difference_row = 2;
         in.result.faults[1].period[1] = 2.5;
       },
       "period-grid:W"},
      {"case read failure",
       [](Input& in) { in.facts.cases[0].stop = Stop(StopReason::kNone); },
       "read-failure:E"},
      {"case cannot open",
       [](Input& in) {
         in.facts.cases[1].stop = Stop(StopReason::kCannotOpen);
       },
       "cannot-open:E"},
      {"count above capacity",
       [](Input& in) {
         in.facts.cases[2].stop = Stop(StopReason::kSampleCount);
       },
       "sample-capacity:E"},
      {"header time step",
       [](Input& in) { in.facts.cases[0].header_time_step = 0.01; },
       "header-time-step:W"},
      {"header time step 0 or blank",
       [](Input& in) {
         in.facts.cases[0].header_time_step = 0.0;
         in.facts.cases[1].header_time_step = std::nullopt;
       },
       ""},
      {"no samples",
       [](Input& in) {
         in.result.cases[0].npts = 0;
         in.result.cases[0].duration = 0;
       },
       "no-samples:W"},
      {"slash before the count",
       [](Input& in) { in.facts.cases[0].end.slash_line = 9; },
       "samples-ended-early:W"},
      {"values after the count",
       [](Input& in) { in.facts.cases[0].end.value_after_count_line = 9; },
       "extra-samples:W"},
      {"case file changed since lpgm-prepare wrote it",
       [](Input& in) {
         in.facts.cases[1].provenance.emplace().check.state =
             CaseFileState::kChanged;
       },
       "case-changed:W"},
      {"case file as lpgm-prepare wrote it",
       [](Input& in) {
         in.facts.cases[1].provenance.emplace().check.state =
             CaseFileState::kUnchanged;
       },
       ""},
      {"provenance without the case file's digest",
       [](Input& in) { in.facts.cases[1].provenance.emplace(); },
       "provenance-unreadable:N"},
      {"provenance that does not parse",
       [](Input& in) {
         in.facts.cases[1].provenance.emplace().problem = "line 1: no title";
       },
       "provenance-unreadable:N"},
      {"all folders literal and unopened: one finding",
       [](Input& in) {
         for (FolderFacts& f : in.facts.folders) f.folder += ",";
         for (FaultFacts& f : in.facts.faults)
           f.stop = Stop(StopReason::kCannotOpen);
         for (CaseFacts& c : in.facts.cases)
           c.stop = Stop(StopReason::kCannotOpen);
       },
       "cannot-open:E"},
      {"nothing opens: one finding",
       [](Input& in) {
         for (FaultFacts& f : in.facts.faults)
           f.stop = Stop(StopReason::kCannotOpen);
         for (CaseFacts& c : in.facts.cases)
           c.stop = Stop(StopReason::kCannotOpen);
       },
       "cannot-open:E"},
      {"a sample NaN", [](Input& in) { in.acc[1] = kNaN; }, "non-finite:W"},
      {"a sample too wide", [](Input& in) { in.acc[1] = 1e8; },
       "field-overflow:W"},
      {"PGA below 5", [](Input& in) { in.result.cases[0].pga = 4.9; },
       "acceleration-range:W"},
      {"PGA above 3000", [](Input& in) { in.result.cases[0].pga = 3001; },
       "acceleration-range:W"},
      {"velocity drifts",
       [](Input& in) { in.result.cases[0].end_velocity = -2.5; },
       "velocity-drift:W"},
      {"a spectrum 20 or 1/20 times the cases' median",
       [](Input& in) {
         in.result.cases[0].level_ratio = 20;
         in.result.cases[2].level_ratio = 0.05;
       },
       "spectrum-level:W spectrum-level:W"},
      {"a spectrum 1/100 of the median with the PGA out of range: one "
       "finding",
       [](Input& in) {
         in.result.cases[0].level_ratio = 0.01;
         in.result.cases[0].pga = 1;
         in.result.cases[1].level_ratio = 0.01;
         in.facts.cases[1].end.slash_line = 9;
       },
       "samples-ended-early:W acceleration-range:W"},
      {"a spectrum within 16 times the cases' median",
       [](Input& in) {
         in.result.cases[0].level_ratio = 15;
         in.result.cases[1].level_ratio = 1 / 15.0;
       },
       ""},
      {"against the target: below 1/40 or above 3 times",
       [](Input& in) {
         in.result.levels_against_target = true;
         in.result.cases[0].level_ratio = 0.024;
         in.result.cases[1].level_ratio = 0.05;  // weak but natural
         in.result.cases[2].level_ratio = 3.1;
       },
       "spectrum-level:W spectrum-level:W"},
      {"the cases' median 1/100 of the target",
       [](Input& in) { in.result.set_level_ratio = 0.01; }, "spectrum-level:W"},
      {"samples of two series in turn",
       [](Input& in) {
         in.acc.clear();
         for (int j = 0; j < 400; ++j)
           in.acc.push_back(j % 2 == 0 ? std::sin(0.05 * j) : 0.5);
         in.result.cases[0].acc = in.acc;
       },
       "interleaved-columns:W"},
      {"smooth samples",
       [](Input& in) {
         in.acc.clear();
         for (int j = 0; j < 400; ++j) in.acc.push_back(std::sin(0.05 * j));
         in.result.cases[0].acc = in.acc;
       },
       ""},
      {"short record", [](Input& in) { in.result.cases[0].duration = 9.98; },
       "record-duration:N"},
      {"Sv too wide",
       [](Input& in) {
         in.result.faults[0].sv[0] = 1e8;
         in.result.target[0] = 1e8;
       },
       "field-overflow:W field-overflow:W"},
      {"fault 1's period NaN",
       [](Input& in) { in.result.faults[0].period[2] = kNaN; },
       "period-order:W non-finite:W"},
      {"even cases",
       [](Input& in) {
         in.result.cases.pop_back();
         in.facts.cases.pop_back();
         in.facts.folders.pop_back();
         in.result.cases[0].phase = false;
         in.result.cases[1].rank = 1;
         in.result.cases[0].rank = 2;
         in.result.cases[0].phase = true;
       },
       "even-cases:N"},
      {"near tie", [](Input& in) { in.result.cases[2].pgv = 20.1; },
       "near-tie:N"},
      {"no ranking findings unless computed",
       [](Input& in) {
         in.result.computed = false;
         in.result.cases[2].pgv = 20.1;
       },
       ""},
      {"stale output",
       [](Input& in) { in.facts.outputs[3].older_than_inputs = true; },
       "stale-output:W"},
      {"every output stale: one earlier run, one finding",
       [](Input& in) {
         for (OutputFacts& o : in.facts.outputs) o.older_than_inputs = true;
       },
       "stale-output:W"},
      // The parts in their order: the case's file before the case's values,
      // the faults' files before the cases'.
      {"in the order of the parts",
       [](Input& in) {
         in.result.cases[0].pga = 4;
         in.facts.cases[1].header_time_step = 0.01;
         in.facts.faults[0].rows[0].has_sv = false;
       },
       "spectrum-short-row:W header-time-step:W acceleration-range:W"},
  };
  return rows;
}

TEST(Rules, EachChangeRaisesItsFindings) {
  for (const Row& row : Rows()) {
    Input in;
    MakeClean(in);
    row.apply(in);
    Apply(in);
    EXPECT_EQ(IdsAndSeverities(in.result), row.expected) << row.change;
  }
}

TEST(Rules, FindingsPointAtTheirFaultCaseFileAndLine) {
  Input in;
  MakeClean(in);
  in.facts.cases[1].end.slash_line = 9;
  in.facts.faults[0].rows[2].has_sv = false;
  in.facts.cases[2].stop = Stop(StopReason::kSampleCount);
  Apply(in);
  ASSERT_EQ(in.result.findings.size(), 3u);
  const Finding& row = in.result.findings[0];
  EXPECT_EQ(row.fault, 1);
  EXPECT_EQ(row.case_number, 0);
  EXPECT_EQ(row.file, "F1\\s.csv");
  EXPECT_EQ(row.line, 12);
  const Finding& slash = in.result.findings[1];
  EXPECT_EQ(slash.case_number, 2);
  EXPECT_EQ(slash.line, 9);
  EXPECT_NE(slash.message.find("after 0 of 3000"), std::string::npos);
  const Finding& capacity = in.result.findings[2];
  EXPECT_EQ(capacity.case_number, 3);
  EXPECT_EQ(capacity.line, 1);
  EXPECT_EQ(capacity.message.rfind("message - the header count 3000", 0), 0u);
}

TEST(Rules, TheTableNamesEachRuleOnceAndEveryRuleIsRaised) {
  std::set<std::string> raised;
  for (const Row& row : Rows()) {
    Input in;
    MakeClean(in);
    row.apply(in);
    Apply(in);
    for (const Finding& f : in.result.findings) raised.insert(f.id);
  }
  const std::regex kebab("[a-z]+(-[a-z0-9]+)*");
  std::set<std::pair<std::string, Scope>> seen;
  for (const Rule& rule : Rules()) {
    EXPECT_TRUE(std::regex_match(rule.id, kebab)) << rule.id;
    EXPECT_TRUE(seen.insert({rule.id, rule.scope}).second) << rule.id;
    EXPECT_TRUE(raised.count(rule.id)) << rule.id << " never raised";
    // An id means one severity, whatever part it is raised on.
    for (const Rule& other : Rules()) {
      if (std::string(other.id) == rule.id) {
        EXPECT_EQ(other.severity, rule.severity) << rule.id;
      }
    }
  }
}

TEST(Rules, HelpListsEachIdOnceUnderItsSeverityInEightyColumns) {
  const std::string help = RulesHelp();
  std::set<std::string> ids;
  for (const Rule& rule : Rules()) ids.insert(rule.id);
  std::size_t start = 0;
  std::string last_severity = "error";
  const std::vector<std::string> order = {"error", "warning", "note"};
  for (std::size_t end; (end = help.find('\n', start)) != std::string::npos;
       start = end + 1) {
    const std::string line = help.substr(start, end - start);
    EXPECT_LE(line.size(), 80u) << line;
    if (line.compare(0, 35, std::string(35, ' ')) == 0) continue;
    const std::string severity = line.substr(2, line.find(' ', 2) - 2);
    const std::string id = line.substr(11, line.find(' ', 11) - 11);
    EXPECT_EQ(ids.erase(id), 1u) << "listed twice or unknown: " << id;
    EXPECT_GE(std::find(order.begin(), order.end(), severity),
              std::find(order.begin(), order.end(), last_severity))
        << line;
    last_severity = severity;
  }
  EXPECT_TRUE(ids.empty()) << *ids.begin() << " not listed";
}

}  // namespace
}  // namespace lpgm::check
