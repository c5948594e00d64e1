#include "check/html_report.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "check/synthetic_result.h"

namespace lpgm::check {
namespace {

using testing::MakeSyntheticResult;
using testing::SyntheticShape;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Report(const CheckResult& result) {
  std::ostringstream out;
  WriteHtmlReport(result, out);
  return out.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos;
       at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

// Every <svg> element of the page, concatenated.
std::string Charts(const std::string& page) {
  std::string charts;
  for (auto at = page.find("<svg"); at != std::string::npos;
       at = page.find("<svg", at + 1)) {
    charts += page.substr(at, page.find("</svg>", at) - at);
  }
  return charts;
}

// No attribute of any chart holds a number that is not finite.
void ExpectNoNonFiniteNumberInCharts(const std::string& page) {
  const std::string charts = Charts(page);
  for (auto at = charts.find("=\""); at != std::string::npos;
       at = charts.find("=\"", at + 1)) {
    const auto end = charts.find('"', at + 2);
    ASSERT_NE(end, std::string::npos);
    std::string value = charts.substr(at + 2, end - at - 2);
    for (char& c : value) c = static_cast<char>(std::tolower(c));
    EXPECT_EQ(value.find("nan"), std::string::npos) << value;
    EXPECT_EQ(value.find("inf"), std::string::npos) << value;
    at = end;
  }
}

// Every '&' of the page starts one of the references the writer makes.
bool EveryAmpersandIsAReference(const std::string& page) {
  for (auto at = page.find('&'); at != std::string::npos;
       at = page.find('&', at + 1)) {
    bool known = false;
    for (const char* ref : {"&amp;", "&lt;", "&gt;", "&quot;", "&#39;"}) {
      known = known || page.compare(at, std::string(ref).size(), ref) == 0;
    }
    if (!known) return false;
  }
  return true;
}

TEST(HtmlReport, LargestInputStaysUnderTwoMegabytes) {
  auto big = MakeSyntheticResult({6, 21, 100000, 7, false});
  const std::string page = Report(big->result);
  EXPECT_LT(page.size(), 2'000'000u);
  EXPECT_EQ(Count(page, "<svg"), 6u);
  // Faults, SRSS and target; 21 velocity strips; the phase acceleration;
  // 21 case spectra and the target, each with its label's leader; the
  // phase case's ratio and the line at 1.
  EXPECT_EQ(Count(page, "<path class=\"series"),
            6u + 2u + 21u + 1u + 2u * (21u + 1u) + 2u);
}

TEST(HtmlReport, IsSelfContainedAndComplete) {
  auto sample = MakeSyntheticResult({3, 5, 3000, 1, false});
  const std::string page = Report(sample->result);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("@page { size: A4"), std::string::npos);
  EXPECT_EQ(page.substr(page.size() - 8), "</html>\n");
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("<img"), std::string::npos);
  EXPECT_EQ(page.find("url("), std::string::npos);
  EXPECT_EQ(page.find("<link"), std::string::npos);
  // The only address is the SVG namespace, one per chart.
  EXPECT_EQ(Count(page, "http"), Count(page, "<svg"));
  EXPECT_EQ(Count(page, "class=\"verdict ok\""), 1u);
}

TEST(HtmlReport, EscapesEveryTextFromTheResult) {
  auto sample = MakeSyntheticResult({3, 5, 3000, 1, true});
  CheckResult& r = sample->result;
  r.working_directory = "/tmp/<dir> & \"quotes\"";
  r.inputs.push_back({"spectrum", "faults/<b>x</b>", false, 0, ""});
  const std::string page = Report(r);
  EXPECT_EQ(page.find("<F&1>"), std::string::npos);
  EXPECT_EQ(page.find("<C&1>"), std::string::npos);
  EXPECT_EQ(page.find("<b>x"), std::string::npos);
  EXPECT_EQ(page.find("<dir>"), std::string::npos);
  EXPECT_EQ(page.find("<always>"), std::string::npos);
  EXPECT_NE(page.find("faults\\&lt;F&amp;1&gt;"), std::string::npos);
  EXPECT_NE(page.find("/tmp/<wbr>&lt;dir&gt; &amp; &quot;quotes&quot;"),
            std::string::npos);
  EXPECT_NE(page.find("<title>lpgm-check: def &lt;&amp;&quot;&#39;&gt;.csv"),
            std::string::npos);
  EXPECT_TRUE(EveryAmpersandIsAReference(page));
}

TEST(HtmlReport, ErrorsAndWarningsComeFirstAndSetTheVerdict) {
  auto sample = MakeSyntheticResult({3, 5, 3000, 1, true});
  const std::string page = Report(sample->result);
  const auto error = page.find("<span class=\"sev error\">");
  const auto warning = page.find("<span class=\"sev warning\">");
  const auto note = page.find("<span class=\"sev note\">");
  ASSERT_NE(note, std::string::npos);
  EXPECT_LT(error, warning);
  EXPECT_LT(warning, note);
  EXPECT_NE(page.find("class=\"verdict error\""), std::string::npos);
  EXPECT_NE(page.find("1 error, 1 warning, 1 note"), std::string::npos);

  sample->result.findings.erase(sample->result.findings.begin() + 2);
  EXPECT_NE(Report(sample->result).find("class=\"verdict warning\""),
            std::string::npos);
}

TEST(HtmlReport, CellsBehindAWarningAreFlagged) {
  auto sample = MakeSyntheticResult({3, 5, 3000, 1, false});
  CheckResult& r = sample->result;
  r.cases[2].header_time_step = 0.01;
  r.findings.push_back({"header-time-step", Severity::kWarning, 0, 3, "", 1,
                        "the header says 0.01 s"});
  r.findings.push_back({"velocity-drift", Severity::kNote, 0, 4, "", 0, "n"});
  const std::string page = Report(r);
  EXPECT_EQ(Count(page, "<td class=\"num flag\">"), 1u);
  EXPECT_NE(page.find("<td class=\"num flag\">0.0100</td>"), std::string::npos);
}

TEST(HtmlReport, PhaseCaseIsMarkedInChartsAndTable) {
  auto sample = MakeSyntheticResult({3, 5, 3000, 1, false});
  const std::string page = Report(sample->result);
  // The cases' table and the table of ratios.
  EXPECT_EQ(Count(page, "<tr class=\"phase\">"), 2u);
  EXPECT_EQ(Count(page, "phase case</text>"), 2u);  // bar and strip
  EXPECT_EQ(Count(page, " phase</text>"), 1u);      // the spectrum's label
  EXPECT_NE(page.find("(phase case) / target: pSv, h = 0.05</text>"),
            std::string::npos);
  EXPECT_NE(page.find("Acceleration of the phase case"), std::string::npos);
}

// Non-finite samples and spectra, zero and negative Sv on the log axis,
// constant and one-sample waveforms, and cases that were not read.
TEST(HtmlReport, FolderNamesBreakOnlyAfterSeparators) {
  auto synthetic = MakeSyntheticResult({});
  CheckResult& r = synthetic->result;
  r.cases[1].folder = "records/2024/CHICHI1999_CHY002N\\east";
  const std::string page = Report(r);
  EXPECT_NE(page.find("<td class=\"folder\">records/<wbr>2024/<wbr>"
                      "CHICHI1999_CHY002N\\<wbr>east</td>"),
            std::string::npos);
  // No rule lets a name break inside a word.
  EXPECT_EQ(page.find("overflow-wrap: anywhere"), std::string::npos);
  EXPECT_EQ(page.find("break-all"), std::string::npos);
}

TEST(HtmlReport, AVelocityStripTheSharedScaleWouldFlattenGetsItsOwn) {
  auto synthetic = MakeSyntheticResult({});
  CheckResult& r = synthetic->result;
  EXPECT_EQ(Count(Charts(Report(r)), "own scale \u00b1"), 0u);
  // Case 2 at a hundredth of its size: a flat line on the shared scale.
  std::vector<double>& vel = synthetic->vel[1];
  for (double& v : vel) v /= 100;
  r.cases[1].pgv /= 100;
  r.cases[1].vel = vel;
  const std::string charts = Charts(Report(r));
  EXPECT_EQ(Count(charts, "own scale \u00b1"), 1u);
  EXPECT_NE(charts.find("(shared \u00b1"), std::string::npos);
}

TEST(HtmlReport, AwkwardValuesNeverPutNonFiniteNumbersInCharts) {
  auto sample = MakeSyntheticResult({3, 5, 3000, 1, false});
  CheckResult& r = sample->result;
  r.faults[0].sv[3] = kNaN;
  r.faults[0].sv[4] = 0;
  r.faults[1].sv.assign(55, -1.0);
  r.faults[2].period[0] = kInf;
  r.target[0] = kInf;
  sample->vel[0][10] = kNaN;
  sample->vel[1].assign(sample->vel[1].size(), 0.0);
  sample->acc[2].assign(sample->acc[2].size(), kInf);
  r.cases[0].pgv = kInf;
  r.cases[1].pgv_time = kNaN;
  r.cases[3].vel = r.cases[3].vel.first(1);
  r.cases[4].read_ok = false;
  for (CaseSummary& c : r.cases) c.pga = c.phase ? kNaN : c.pga;
  const std::string page = Report(r);
  ExpectNoNonFiniteNumberInCharts(page);
  EXPECT_NE(page.find(">Infinity</td>"), std::string::npos);
  EXPECT_NE(page.find("not read"), std::string::npos);
}

TEST(HtmlReport, NothingReadGivesAPageWithoutCharts) {
  CheckResult r;
  r.definition = "missing.csv";
  r.inputs.push_back({"definition", "missing.csv", false, 0, ""});
  r.findings.push_back({"definition-error", Severity::kError, 0, 0,
                        "missing.csv", 0, "missing.csv not exist !"});
  const std::string page = Report(r);
  EXPECT_EQ(Count(page, "<svg"), 0u);
  EXPECT_NE(page.find("No spectrum file was read."), std::string::npos);
  EXPECT_NE(page.find("No phase case"), std::string::npos);
  EXPECT_EQ(page.substr(page.size() - 8), "</html>\n");
}

// Random results: values drawn from every class of double, texts of random
// bytes, lengths that disagree with the counts. The page stays well formed:
// every text escaped, every chart attribute a finite number.
class RandomResult {
 public:
  explicit RandomResult(unsigned seed) : rng_(seed) {}

  double Value() {
    static constexpr double kSpecial[] = {
        0.0, -0.0, kNaN, kInf, -kInf, 1e308, -1e308, 4.9e-324, 1e-300, 0.02};
    if (rng_() % 4 == 0) return kSpecial[rng_() % 10];
    return std::uniform_real_distribution<double>(-1e4, 1e4)(rng_);
  }
  std::string Text() {
    std::string text(rng_() % 12, ' ');
    for (char& c : text) c = static_cast<char>(rng_() % 256);
    return text;
  }
  std::vector<double> Values(std::size_t max) {
    std::vector<double> v(rng_() % (max + 1));
    for (double& x : v) x = Value();
    return v;
  }
  void Fill(CheckResult& r, std::vector<std::vector<double>>& store);

 private:
  std::mt19937 rng_;
};

void RandomResult::Fill(CheckResult& r,
                        std::vector<std::vector<double>>& store) {
  r.definition = Text();
  r.computed = rng_() % 2 == 0;
  r.period = Values(60);
  r.srss = Values(60);
  r.target = Values(60);
  for (int i = 0, n = static_cast<int>(rng_() % 8); i < n; ++i) {
    FaultSummary f{i + 1,     Text(), rng_() % 4 != 0, 55,      Value(),
                   Value(),   true,   Value(),         Value(), Values(60),
                   Values(60)};
    r.faults.push_back(f);
  }
  store.reserve(60);
  for (int i = 0, n = static_cast<int>(rng_() % 25); i < n; ++i) {
    CaseSummary c;
    c.case_number = i + 1;
    c.folder = Text();
    c.read_ok = rng_() % 4 != 0;
    c.pga = Value(), c.pga_time = Value(), c.pgv = Value();
    c.pgv_time = Value(), c.end_velocity = Value(), c.duration = Value();
    c.rank = static_cast<int>(rng_() % 30);
    c.phase = rng_() % 5 == 0;
    store.push_back(Values(3000));
    c.acc = store.back();
    store.push_back(Values(3000));
    c.vel = store.back();
    r.cases.push_back(c);
  }
  for (int i = 0, n = static_cast<int>(rng_() % 5); i < n; ++i) {
    r.findings.push_back(
        {Text(), static_cast<Severity>(rng_() % 3), 1, 2, Text(), 7, Text()});
  }
}

TEST(HtmlReport, RandomResultsGiveWellFormedPages) {
  const unsigned seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  for (unsigned i = 0; i < 60; ++i) {
    CheckResult r;
    std::vector<std::vector<double>> store;
    RandomResult(seed + i).Fill(r, store);
    const std::string page = Report(r);
    ASSERT_EQ(page.substr(page.size() - 8), "</html>\n") << "seed " << seed + i;
    EXPECT_EQ(Count(page, "<svg"), Count(page, "</svg>"));
    EXPECT_TRUE(EveryAmpersandIsAReference(page)) << "seed " << seed + i;
    for (auto at = page.find('<'); at != std::string::npos;
         at = page.find('<', at + 1)) {
      const char next = page[at + 1];
      ASSERT_TRUE(std::isalpha(static_cast<unsigned char>(next)) ||
                  next == '/' || next == '!')
          << "seed " << seed + i << ": " << page.substr(at, 20);
    }
    ExpectNoNonFiniteNumberInCharts(page);
  }
}

}  // namespace
}  // namespace lpgm::check
