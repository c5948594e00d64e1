#include "check/html_report.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "check/html_escape.h"
#include "check/report_charts.h"
#include "check/report_format.h"
#include "check/spectrum_charts.h"

namespace lpgm::check {
namespace {

constexpr std::string_view kStyle = R"css(
@page { size: A4; margin: 13mm 12mm; }
body { font-family: "DejaVu Sans", "Noto Sans", "Segoe UI", Arial, sans-serif;
  font-size: 10pt; line-height: 1.35; color: #222; margin: 0 auto;
  max-width: 820px; padding: 16px 20px; background: #fff; }
h1 { font-size: 19pt; margin: 0 0 2px; }
h1 + p { margin: 0 0 10px; color: #555; }
h2 { font-size: 13pt; color: #1d3557; border-bottom: 2px solid #41607f;
  padding-bottom: 2px; margin: 18px 0 8px; }
h3 { font-size: 11pt; margin: 14px 0 6px; }
table { border-collapse: collapse; width: 100%; font-size: 8.5pt; }
th, td { border-bottom: 1px solid #ddd; padding: 2px 5px; text-align: left;
  vertical-align: top; }
th { background: #eef2f6; font-weight: 600; }
table.facts th { width: 24%; background: none; }
td.num, th.num { text-align: right; font-variant-numeric: tabular-nums; }
td.num { white-space: nowrap; }
table.cases { font-size: 8pt; }
table.cases td, table.cases th { padding: 2px 3px; }
td.path, td.folder { overflow-wrap: normal; word-break: normal; }
td.folder { min-width: 9em; }
tr.phase td { background: #fbeceb; font-weight: 600; }
.missing, .flag { color: #c0392b; font-weight: 600; }
td.flag { background: #fdf4e3; }
.verdict { margin: 10px 0; padding: 8px 12px; border-left: 6px solid;
  font-weight: 600; font-size: 11pt; }
.verdict.error { background: #fbeceb; border-color: #c0392b; }
.verdict.warning { background: #fdf4e3; border-color: #e08e0b; }
.verdict.ok { background: #e9f6ec; border-color: #2e8b57; }
.sev { display: inline-block; min-width: 4.2em; text-align: center;
  border-radius: 3px; padding: 0 4px; font-weight: 600; color: #fff; }
.sev.error { background: #c0392b; }
.sev.warning { background: #d4820a; }
.sev.note { background: #6c7a89; }
td code { white-space: nowrap; }
code { font-family: "DejaVu Sans Mono", Consolas, monospace; font-size: 8.5pt; }
figure { margin: 0 0 10px; break-inside: avoid; }
figcaption { font-size: 8.5pt; color: #555; margin-top: 3px; }
svg.chart { display: block; width: 100%; height: auto; }
svg text { font-family: inherit; fill: #333; }
svg .label { font-size: 10px; }
svg .small { font-size: 8.5px; fill: #555; }
svg .title { font-size: 11px; fill: #222; }
svg .legend { font-size: 10.5px; }
svg .value { font-size: 9.5px; fill: #222; paint-order: stroke;
  stroke: #fff; stroke-width: 3px; stroke-linejoin: round; }
svg .strong { font-weight: bold; fill: #c0392b; }
svg .grid { stroke: #d9d9d9; stroke-width: 0.6; fill: none; }
svg .grid.minor { stroke: #efefef; }
svg .axis { fill: none; stroke: #555; stroke-width: 0.8; }
svg .series { fill: none; stroke-linejoin: round; stroke-linecap: round; }
svg .dashed { stroke-dasharray: 5 2.5; }
span.swatch { display: inline-block; width: 16px; height: 0;
  border-top: 2.5px solid; vertical-align: middle; margin-right: 4px; }
span.swatch.dashed { border-top-style: dashed; }
p.none { color: #555; font-style: italic; }
p.note { font-size: 8.5pt; color: #555; margin-top: 3px; }
@media print {
  body { max-width: none; padding: 0; font-size: 9.5pt; }
  section.page { break-before: page; }
  tr, .verdict { break-inside: avoid; }
  h2 { break-after: avoid; }
}
)css";

void Add(std::string& page, std::string_view html) { page += html; }

void AddText(std::string& page, std::string_view text) {
  AppendEscaped(page, text);
}

// A cell; `cls` names its class (empty for none).
void Cell(std::string& page, std::string_view text, std::string_view cls = "",
          std::string_view tag = "td") {
  page += '<';
  page += tag;
  if (!cls.empty()) {
    page += " class=\"";
    page += cls;
    page += '"';
  }
  page += '>';
  AddText(page, text);
  page += "</";
  page += tag;
  page += '>';
}

// A cell of a path or folder name: it may break after each '/' or '\',
// never inside a name.
void PathCell(std::string& page, std::string_view path, std::string_view cls) {
  page += "<td class=\"";
  page += cls;
  page += "\">";
  std::size_t from = 0;
  for (std::size_t k = 0; k < path.size(); ++k) {
    if (path[k] != '/' && path[k] != '\\') continue;
    AppendEscaped(page, path.substr(from, k + 1 - from));
    if (k > 0 && k + 1 < path.size()) page += "<wbr>";
    from = k + 1;
  }
  AppendEscaped(page, path.substr(from));
  page += "</td>";
}

int SeverityOrder(Severity s) {
  switch (s) {
    case Severity::kError:
      return 0;
    case Severity::kWarning:
      return 1;
    case Severity::kNote:
      break;
  }
  return 2;
}

std::string_view SeverityName(Severity s) {
  switch (s) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kNote:
      break;
  }
  return "note";
}

std::string Counted(std::size_t n, std::string_view noun) {
  std::string text = std::to_string(n) + " " + std::string(noun);
  if (n != 1) text += 's';
  return text;
}

void AddVerdict(std::string& page, const CheckResult& result) {
  std::size_t counts[3] = {0, 0, 0};
  for (const Finding& f : result.findings) ++counts[SeverityOrder(f.severity)];
  const std::string tally = Counted(counts[0], "error") + ", " +
                            Counted(counts[1], "warning") + ", " +
                            Counted(counts[2], "note") + ": ";
  if (counts[0] > 0) {
    Add(page, "<div class=\"verdict error\">");
    AddText(page, tally + "lpgm would stop or fail on these inputs.");
  } else if (counts[1] > 0) {
    Add(page, "<div class=\"verdict warning\">");
    AddText(page, tally +
                      "lpgm runs, but check every warning before its files "
                      "are handed on.");
  } else {
    Add(page, "<div class=\"verdict ok\">");
    AddText(page,
            tally + "nothing to check before lpgm's files are handed on.");
  }
  Add(page, "</div>\n");
}

void AddFact(std::string& page, std::string_view name, std::string_view value) {
  Add(page, "<tr>");
  Cell(page, name, "", "th");
  PathCell(page, value, "path");
  Add(page, "</tr>\n");
}

std::string PhaseSentence(const CheckResult& result) {
  for (const CaseSummary& c : result.cases) {
    if (!c.phase) continue;
    return "case " + std::to_string(c.case_number) + ", " + c.folder +
           " (rank " + std::to_string(c.rank) + " of " +
           std::to_string(result.cases.size()) + ", PGV " + Fixed(c.pgv, 3) +
           " cm/s)";
  }
  return result.computed ? "none" : "not computed: not every input was read";
}

void AddHeader(std::string& page, const CheckResult& result) {
  Add(page, "<header>\n<h1>lpgm-check report</h1>\n<p>");
  AddText(page, "Input check of the long-period ground motion inputs, " +
                    result.checked_at);
  Add(page, "</p>\n");
  AddVerdict(page, result);
  Add(page, "<table class=\"facts\">\n");
  AddFact(page, "Definition file", result.definition);
  AddFact(page, "Working directory", result.working_directory);
  AddFact(page, "Checked at", result.checked_at);
  AddFact(page, "lpgm version", result.version);
  AddFact(page, "Faults, cases",
          std::to_string(result.faults.size()) + ", " +
              std::to_string(result.cases.size()));
  AddFact(page, "Phase case", PhaseSentence(result));
  Add(page, "</table>\n</header>\n");
}

void AddInputs(std::string& page, const CheckResult& result) {
  Add(page, "<h3>Input files</h3>\n");
  if (result.inputs.empty()) {
    Add(page, "<p class=\"none\">No input file could be named.</p>\n");
    return;
  }
  Add(page,
      "<table><tr><th>Role</th><th>Path</th><th class=\"num\">Size</th>"
      "<th>Modified</th></tr>\n");
  for (const InputFile& f : result.inputs) {
    Add(page, "<tr>");
    Cell(page, f.role);
    PathCell(page, f.path, "path");
    if (f.exists) {
      Cell(page, ByteSize(f.size), "num");
      Cell(page, f.modified);
    } else {
      Cell(page, "missing", "num missing");
      Cell(page, "");
    }
    Add(page, "</tr>\n");
  }
  Add(page, "</table>\n");
}

// "fault 2, case 3: path:line", each part only when the finding has it.
std::string Where(const Finding& f) {
  std::string where;
  auto separate = [&where](std::string_view separator) {
    if (!where.empty()) where.append(separator);
  };
  if (f.fault > 0) where.append("fault ").append(std::to_string(f.fault));
  if (f.case_number > 0) {
    separate(", ");
    where.append("case ").append(std::to_string(f.case_number));
  }
  if (!f.file.empty()) {
    separate(": ");
    where.append(f.file);
    if (f.line > 0) where.append(":").append(std::to_string(f.line));
  }
  return where;
}

void AddFindings(std::string& page, const CheckResult& result) {
  Add(page, "<section>\n<h2>Findings</h2>\n");
  if (result.findings.empty()) {
    Add(page, "<p class=\"none\">No findings.</p>\n</section>\n");
    return;
  }
  std::vector<const Finding*> order;
  for (const Finding& f : result.findings) order.push_back(&f);
  std::stable_sort(
      order.begin(), order.end(), [](const Finding* a, const Finding* b) {
        return SeverityOrder(a->severity) < SeverityOrder(b->severity);
      });
  Add(page,
      "<table><tr><th>Severity</th><th>Id</th><th>Where</th>"
      "<th>Message</th></tr>\n");
  for (const Finding* f : order) {
    const std::string_view severity = SeverityName(f->severity);
    Add(page, "<tr><td><span class=\"sev ");
    Add(page, severity);
    Add(page, "\">");
    Add(page, severity);
    Add(page, "</span></td><td><code>");
    AddText(page, f->id);
    Add(page, "</code></td>");
    PathCell(page, Where(*f), "path");
    Cell(page, f->message);
    Add(page, "</tr>\n");
  }
  Add(page, "</table>\n</section>\n");
}

// A chart under its heading, kept together on one printed page.
void AddFigure(std::string& page, std::string_view heading_tag,
               std::string_view heading, const std::string& svg,
               std::string_view caption, std::string_view absent) {
  Add(page, "<figure>\n<");
  Add(page, heading_tag);
  Add(page, ">");
  AddText(page, heading);
  Add(page, "</");
  Add(page, heading_tag);
  Add(page, ">\n");
  if (svg.empty()) {
    Add(page, "<p class=\"none\">");
    AddText(page, absent);
    Add(page, "</p>\n</figure>\n");
    return;
  }
  Add(page, svg);
  Add(page, "<figcaption>");
  AddText(page, caption);
  Add(page, "</figcaption>\n</figure>\n");
}

void AddCharts(std::string& page, const CheckResult& result) {
  Add(page, "<section class=\"page\">\n");
  AddFigure(page, "h2", "Velocity response spectra", SpectraChart(result),
            "Field 28 of every fault file against period, log-log, taken "
            "as " +
                SpectrumBasis(result.spectrum_kind, result.damping) +
                " (--spectrum, --damping); the SRSS of the faults and the "
                "target (SRSS / 1.1) that lpgm writes are bold.",
            "No spectrum file was read.");
  AddFigure(page, "h2", "Peak velocities", PeakVelocityChart(result),
            "PGV of every case in rank order (1 = largest); the phase case, "
            "the case of middle rank, is red.",
            "No acceleration file was read.");
  Add(page, "</section>\n<section class=\"page\">\n");
  AddFigure(page, "h2", "Velocity waveforms", VelocityWaveformsChart(result),
            "Velocity of every case (trapezoidal integration of the "
            "acceleration at 0.02 s), each to its own length; the dot marks "
            "the PGV; the phase case is red.",
            "No acceleration file was read.");
  AddFigure(page, "h3", "Acceleration of the phase case",
            PhaseAccelerationChart(result),
            "The record that lpgm hands on for its phase; the dot marks the "
            "PGA.",
            "No phase case: not every input was read.");
  Add(page, "</section>\n");
}

void AddFaultTable(std::string& page, const CheckResult& result) {
  Add(page, "<h3>Faults</h3>\n");
  if (result.faults.empty()) {
    Add(page, "<p class=\"none\">No fault was read.</p>\n");
    return;
  }
  Add(page,
      "<table><tr><th class=\"num\">No.</th><th>Folder</th><th "
      "class=\"num\">Rows</th><th class=\"num\">Period (s)</th><th>Grid as "
      "fault 1</th><th class=\"num\">Sv (cm/s)</th></tr>\n");
  for (const FaultSummary& f : result.faults) {
    Add(page, "<tr>");
    Cell(page, std::to_string(f.fault), "num");
    PathCell(page, f.folder, "folder");
    if (!f.read_ok) {
      Add(page, "<td class=\"missing\" colspan=\"4\">not read</td></tr>\n");
      continue;
    }
    Cell(page, std::to_string(f.rows), "num");
    Cell(page, Fixed(f.period_min, 4) + " \u2013 " + Fixed(f.period_max, 4),
         "num");
    Cell(page, f.grid_matches ? "yes" : "no", f.grid_matches ? "" : "missing");
    Cell(page, Fixed(f.sv_min, 3) + " \u2013 " + Fixed(f.sv_max, 3), "num");
    Add(page, "</tr>\n");
  }
  Add(page, "</table>\n");
}

// The class of a case's number cell: flagged when a warning or error with
// one of `ids` is about this case.
std::string_view CaseCell(const CheckResult& result, const CaseSummary& c,
                          std::initializer_list<std::string_view> ids) {
  for (const Finding& f : result.findings) {
    if (f.case_number != c.case_number || f.severity == Severity::kNote) {
      continue;
    }
    for (std::string_view id : ids) {
      if (f.id == id) return "num flag";
    }
  }
  return "num";
}

void AddCaseRow(std::string& page, const CheckResult& result,
                const CaseSummary& c) {
  Add(page, c.phase ? "<tr class=\"phase\">" : "<tr>");
  Cell(page, std::to_string(c.case_number), "num");
  PathCell(page, c.folder, "folder");
  if (!c.read_ok) {
    Add(page, "<td class=\"missing\" colspan=\"10\">not read</td></tr>\n");
    return;
  }
  Cell(page, std::to_string(c.npts),
       CaseCell(result, c,
                {"samples-ended-early", "extra-samples", "no-samples",
                 "sample-capacity"}));
  Cell(page, c.header_time_step ? Fixed(*c.header_time_step, 4) : "-",
       CaseCell(result, c, {"header-time-step"}));
  Cell(page, Fixed(c.duration, 2), "num");
  Cell(page, Fixed(c.pga, 2),
       CaseCell(result, c, {"acceleration-range", "non-finite"}));
  Cell(page, Fixed(c.pga_time, 2), "num");
  Cell(page, Fixed(c.pgv, 3), CaseCell(result, c, {"non-finite"}));
  Cell(page, Fixed(c.pgv_time, 2), "num");
  Cell(page, Fixed(c.end_velocity, 3), CaseCell(result, c, {"velocity-drift"}));
  Cell(page, c.rank > 0 ? std::to_string(c.rank) : "-", "num");
  Cell(page, c.phase ? "phase" : "");
  Add(page, "</tr>\n");
}

void AddCaseTable(std::string& page, const CheckResult& result) {
  Add(page, "<h3>Cases</h3>\n");
  if (result.cases.empty()) {
    Add(page, "<p class=\"none\">No case was read.</p>\n");
    return;
  }
  Add(page,
      "<table class=\"cases\"><tr><th class=\"num\">No.</th><th>Folder</th>"
      "<th class=\"num\">Samples</th><th class=\"num\">Header step (s)</th>"
      "<th class=\"num\">Duration (s)</th><th class=\"num\">PGA "
      "(cm/s\u00b2)</th><th class=\"num\">at (s)</th><th class=\"num\">PGV "
      "(cm/s)</th><th class=\"num\">at (s)</th><th class=\"num\">End "
      "velocity (cm/s)</th><th class=\"num\">Rank</th><th></th></tr>\n");
  for (const CaseSummary& c : result.cases) AddCaseRow(page, result, c);
  Add(page, "</table>\n");
}

// A ratio cell: "0.123 at 4.50 s".
std::string RatioAt(double ratio, double period) {
  return Fixed(ratio, 3) + " at " + Fixed(period, 2) + " s";
}

void AddRatioRow(std::string& page, const CheckResult& result,
                 const CaseSummary& c) {
  Add(page, c.phase ? "<tr class=\"phase\">" : "<tr>");
  Cell(page, std::to_string(c.case_number), "num");
  Add(page, "<td class=\"folder\"><span class=\"swatch");
  if (CaseLineDashed(c)) Add(page, " dashed");
  Add(page, "\" style=\"border-color:");
  Add(page, CaseLineColour(c));
  Add(page, "\"></span>");
  AddText(page, c.folder);
  Add(page, "</td>");
  if (c.ratio) {
    Cell(page, RatioAt(c.ratio->min, c.ratio->min_period), "num");
    Cell(page, Fixed(c.ratio->mean, 3), "num");
    Cell(page, RatioAt(c.ratio->max, c.ratio->max_period), "num");
  } else {
    Add(page, "<td class=\"num\" colspan=\"3\">no target</td>");
  }
  Cell(page, c.level_ratio ? Fixed(*c.level_ratio, 2) : "-",
       CaseCell(result, c, {"spectrum-level"}));
  Cell(page, c.phase ? "phase" : "");
  Add(page, "</tr>\n");
}

void AddRatioTable(std::string& page, const CheckResult& result) {
  Add(page,
      "<table class=\"cases\"><tr><th class=\"num\">No.</th><th>Folder</th>"
      "<th class=\"num\">Min case / target</th><th class=\"num\">Mean</th>"
      "<th class=\"num\">Max case / target</th><th class=\"num\">Level "
      "</th><th></th></tr>\n");
  for (const CaseSummary& c : result.cases)
    if (!c.spectrum.empty()) AddRatioRow(page, result, c);
  Add(page, "</table>\n<p class=\"note\">");
  AddText(page,
          std::string("Level: the spectrum's average (geometric mean over the "
                      "periods) as a multiple of ") +
              (result.levels_against_target
                   ? "the target's."
                   : "the cases' median spectrum's; the rule spectrum-level "
                     "warns beyond 1/16 or 16."));
  Add(page, "</p>\n");
}

// The cases' spectra against the target: the charts and the ratio table.
void AddCaseSpectra(std::string& page, const CheckResult& result) {
  const std::string chart = CaseSpectraChart(result);
  if (chart.empty()) return;
  const std::string basis = SpectrumBasis(result.spectrum_kind, result.damping);
  Add(page, "<section class=\"page\" id=\"spectra\">\n");
  AddFigure(page, "h2", "Cases against the target", chart,
            "Response spectrum (" + basis +
                ", peaks at the 0.02 s samples, from rest) of every case, "
                "labelled by its number; the phase case red, the target "
                "bold. The target's kind and damping are the ones given "
                "with --spectrum and --damping.",
            "");
  AddFigure(page, "h3", "Phase case against the target",
            PhaseRatioChart(result),
            "The phase case's spectrum divided by the target (" + basis +
                "); the band 0.85 to 1.15 is shaded.",
            "No phase case or no target: not every input was read.");
  AddRatioTable(page, result);
  Add(page, "</section>\n");
}

}  // namespace

void WriteHtmlReport(const CheckResult& result, std::ostream& out) {
  std::string page;
  page.reserve(1 << 20);
  Add(page,
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, "
      "initial-scale=1\">\n<title>");
  AddText(page, "lpgm-check: " + result.definition);
  Add(page, "</title>\n<style>");
  Add(page, kStyle);
  Add(page, "</style>\n</head>\n<body>\n");
  AddHeader(page, result);
  AddInputs(page, result);
  AddFindings(page, result);
  AddCharts(page, result);
  AddCaseSpectra(page, result);
  Add(page, "<section class=\"page\">\n<h2>Summary</h2>\n");
  AddFaultTable(page, result);
  AddCaseTable(page, result);
  Add(page, "</section>\n</body>\n</html>\n");
  out.write(page.data(), static_cast<std::streamsize>(page.size()));
}

}  // namespace lpgm::check
