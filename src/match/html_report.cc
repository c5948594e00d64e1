#include "match/html_report.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <span>
#include <string_view>
#include <vector>

#include "check/chart_axis.h"
#include "check/html_escape.h"
#include "check/min_max_columns.h"
#include "check/svg_chart.h"
#include "compute/fft.h"
#include "compute/motion_baseline.h"

namespace lpgm::match {

namespace {

using check::Axis;
using check::Point;
using check::SvgChart;
using check::Zip;

constexpr double kWidth = 760;
constexpr const char* kTargetColour = "#c0392b";
constexpr const char* kMotionColour = "#1f4e9c";
constexpr const char* kPhaseColour = "#9a9a9a";
constexpr const char* kLimitColour = "#e08e0b";

constexpr const char* kStyle = R"css(
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 10pt;
  color: #222; max-width: 780px; margin: 0 auto; padding: 12px; }
h1 { font-size: 16pt; margin: 4px 0; }
h2 { font-size: 12pt; margin: 18px 0 6px; border-bottom: 1px solid #ccc; }
table { border-collapse: collapse; margin: 6px 0; }
th, td { border: 1px solid #ccc; padding: 2px 8px; text-align: left; }
td.num { text-align: right; font-variant-numeric: tabular-nums; }
.pass { color: #2e7d32; font-weight: 600; }
.fail { color: #c0392b; font-weight: 600; }
.verdict { margin: 10px 0; padding: 8px 12px; border-left: 6px solid;
  font-weight: 600; }
.verdict.pass { background: #e9f6ec; border-color: #2e8b57; }
.verdict.fail { background: #fbeceb; border-color: #c0392b; }
figure { margin: 0 0 10px; break-inside: avoid; }
figcaption { font-size: 8.5pt; color: #555; margin-top: 3px; }
svg.chart { display: block; width: 100%; height: auto; }
svg text { font-family: inherit; fill: #333; }
svg .label { font-size: 10px; }
svg .title { font-size: 11px; fill: #222; }
svg .legend { font-size: 10.5px; }
svg .grid { stroke: #d9d9d9; stroke-width: 0.6; fill: none; }
svg .grid.minor { stroke: #efefef; }
svg .axis { fill: none; stroke: #555; stroke-width: 0.8; }
svg .series { fill: none; stroke-linejoin: round; stroke-linecap: round; }
svg .dashed { stroke-dasharray: 5 3; }
@media print { body { max-width: none; padding: 0; font-size: 9pt; }
  h2 { break-after: avoid; } }
)css";

std::string Fixed(double v, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::vector<double> Scaled(std::span<const double> x, double factor) {
  std::vector<double> out(x.begin(), x.end());
  for (double& v : out) v *= factor;
  return out;
}

void Legend(SvgChart& chart, double x, double y, std::string_view text,
            std::string_view colour, double width) {
  chart.DrawRect({x, y - 4.0 - width / 2, 22, width}, colour);
  chart.DrawText(x + 28, y, text, "legend");
}

std::string SpectraChart(const MatchReport& r) {
  const std::vector<double> low =
      Scaled(r.target.values, r.options.criteria.min_ratio);
  const std::span<const double> all[] = {r.target.values, r.result.achieved,
                                         r.result.initial, low};
  const std::span<const double> periods[] = {r.target.periods};
  const Axis x = check::MakeLogAxis(periods, "Period (s)");
  const std::string kind(SpectrumKindName(r.target.kind));
  const Axis y = check::MakeLogAxis(all, kind + " (cm/s)");
  SvgChart chart(kWidth, 400, "Target and achieved spectra");
  chart.SetFrame({72, 14, 500, 340}, x, y);
  chart.DrawAxes();
  chart.DrawLine(Zip(r.target.periods, r.result.initial), kPhaseColour, 1.2);
  chart.DrawLine(Zip(r.target.periods, low), kLimitColour, 1.2, "dashed");
  chart.DrawLine(Zip(r.target.periods, r.target.values), kTargetColour, 2.5);
  chart.DrawLine(Zip(r.target.periods, r.result.achieved), kMotionColour, 2);
  Legend(chart, 590, 30, "target", kTargetColour, 2.5);
  Legend(chart, 590, 48, "design motion", kMotionColour, 2);
  Legend(chart, 590, 66, Fixed(r.options.criteria.min_ratio, 2) + " x target",
         kLimitColour, 1.2);
  Legend(chart, 590, 84, "phase record", kPhaseColour, 1.2);
  return chart.Finish();
}

std::string RatioChart(const MatchReport& r) {
  std::vector<double> ratio(r.result.achieved.size());
  for (std::size_t k = 0; k < ratio.size(); ++k)
    ratio[k] = r.result.achieved[k] / r.target.values[k];
  const MatchCriteria& c = r.options.criteria;
  std::vector<double> bounds = {c.min_ratio, c.mean_ratio, 1.0};
  const std::span<const double> series[] = {ratio, bounds};
  const std::span<const double> periods[] = {r.target.periods};
  const Axis x = check::MakeLogAxis(periods, "Period (s)");
  const Axis y = check::MakeLinearAxis(series, "Ratio achieved / target", 6);
  SvgChart chart(kWidth, 260, "Ratio of the achieved spectrum to the target");
  chart.SetFrame({72, 14, 500, 200}, x, y);
  chart.DrawAxes();
  const double ends[] = {x.lo, x.hi};
  const double lo[] = {c.min_ratio, c.min_ratio};
  const double mean[] = {c.mean_ratio, c.mean_ratio};
  chart.DrawLine(Zip(ends, lo), kLimitColour, 1.2, "dashed");
  chart.DrawLine(Zip(ends, mean), kTargetColour, 1.2, "dashed");
  chart.DrawLine(Zip(r.target.periods, ratio), kMotionColour, 2);
  for (const Point& p : Zip(r.target.periods, ratio))
    chart.DrawDot(p, 2, kMotionColour);
  Legend(chart, 590, 30, "ratio", kMotionColour, 2);
  Legend(chart, 590, 48, "minimum " + Fixed(c.min_ratio, 2), kLimitColour, 1.2);
  Legend(chart, 590, 66, "mean " + Fixed(c.mean_ratio, 2), kTargetColour, 1.2);
  return chart.Finish();
}

// One strip per quantity, the phase record under the design motion.
std::string WaveformChart(const MatchReport& r) {
  const std::vector<double>& phase = r.result.phase;
  const std::vector<double> pv = IntegrateTrapezoid(phase, r.dt);
  const std::vector<double> pd = IntegrateTrapezoid(pv, r.dt);
  const std::vector<double>* pairs[3][2] = {
      {&phase, &r.result.acc}, {&pv, &r.velocity}, {&pd, &r.displacement}};
  const char* titles[3] = {"Acc. (cm/s2)", "Vel. (cm/s)", "Disp. (cm)"};
  const double duration = static_cast<double>(phase.size()) * r.dt;
  const double span_t[] = {0.0, duration};
  const std::span<const double> ts[] = {span_t};
  Axis t = check::MakeLinearAxis(ts, "Time (s)", 10);
  SvgChart chart(kWidth, 3 * 150 + 60, "Phase record and design motion");
  for (int s = 0; s < 3; ++s) {
    const std::span<const double> both[] = {*pairs[s][0], *pairs[s][1]};
    const Axis y = check::MakeSymmetricAxis(both, titles[s]);
    chart.SetFrame({72, 14.0 + 150.0 * s, 580, 130}, t, y);
    chart.DrawAxes(s == 2);
    chart.DrawLine(
        check::MinMaxPerColumn(*pairs[s][0], 0, r.dt, t.lo, t.hi, 580),
        kPhaseColour, 0.8);
    chart.DrawLine(
        check::MinMaxPerColumn(*pairs[s][1], 0, r.dt, t.lo, t.hi, 580),
        kMotionColour, 0.9);
  }
  Legend(chart, 664, 30, "phase", kPhaseColour, 1);
  Legend(chart, 664, 48, "design", kMotionColour, 1);
  return chart.Finish();
}

struct Spectra {
  std::vector<double> frequency;
  std::vector<std::complex<double>> phase;
  std::vector<std::complex<double>> motion;
};

Spectra Transform(const MatchReport& r) {
  const RealFft fft(r.result.fft_length);
  Spectra s;
  fft.Forward(r.result.phase, s.phase);
  fft.Forward(r.result.acc, s.motion);
  const double df = 1.0 / (static_cast<double>(fft.size()) * r.dt);
  for (std::size_t k = 0; k < s.phase.size(); ++k)
    s.frequency.push_back(static_cast<double>(k) * df);
  return s;
}

// Amplitudes at the periods of the chart only (0.02 s to four times the
// band's end), thinned to about 600 points evenly in log period.
std::string FourierChart(const MatchReport& r, const Spectra& s) {
  std::vector<double> period, amp_phase, amp_motion, gain;
  const double t_max = 4.0 * r.target.periods.back();
  const double step = std::pow(t_max / 0.04, 1.0 / 600.0);
  double next = 0.04;
  for (std::size_t k = s.frequency.size() - 1; k >= 1; --k) {
    const double t = 1.0 / s.frequency[k];
    if (t > t_max) break;
    if (t < next) continue;
    next = t * step;
    period.push_back(t);
    amp_phase.push_back(std::abs(s.phase[k]) * r.dt);
    amp_motion.push_back(std::abs(s.motion[k]) * r.dt);
    gain.push_back(std::abs(s.phase[k]) > 0
                       ? std::abs(s.motion[k]) / std::abs(s.phase[k])
                       : 1.0);
  }
  const std::span<const double> xs[] = {period};
  const std::span<const double> amps[] = {amp_phase, amp_motion};
  const Axis x = check::MakeLogAxis(xs, "Period (s)");
  SvgChart chart(kWidth, 2 * 200 + 50, "Fourier amplitudes and the gain");
  chart.SetFrame({72, 14, 500, 180}, x,
                 check::MakeLogAxis(amps, "Fourier amp. (cm/s)"));
  chart.DrawAxes(false);
  chart.DrawLine(Zip(period, amp_phase), kPhaseColour, 1);
  chart.DrawLine(Zip(period, amp_motion), kMotionColour, 1.2);
  const std::span<const double> gs[] = {gain};
  chart.SetFrame({72, 224, 500, 180}, x, check::MakeLogAxis(gs, "Gain"));
  chart.DrawAxes(true);
  chart.DrawLine(Zip(period, gain), kTargetColour, 1.2);
  Legend(chart, 590, 30, "phase record", kPhaseColour, 1);
  Legend(chart, 590, 48, "design motion", kMotionColour, 1.2);
  Legend(chart, 590, 240, "design / phase", kTargetColour, 1.2);
  return chart.Finish();
}

// The phase difference at each frequency of the band (degrees, wrapped to
// -180..180): 0 where the phase is kept.
std::string PhaseChart(const MatchReport& r, const Spectra& s) {
  std::vector<Point> dots;
  const double f_lo = 1.0 / r.target.periods.back();
  const double f_hi = 1.0 / r.target.periods.front();
  const std::size_t stride =
      std::max<std::size_t>(1, s.frequency.size() / 1500);
  for (std::size_t k = 1; k < s.frequency.size(); k += stride) {
    if (s.frequency[k] < f_lo || s.frequency[k] > f_hi) continue;
    const double d = std::arg(s.motion[k] * std::conj(s.phase[k]));
    dots.push_back({1.0 / s.frequency[k], d * 180.0 / std::numbers::pi});
  }
  const std::span<const double> xs[] = {r.target.periods};
  Axis y;
  y.lo = -180;
  y.hi = 180;
  y.title = "Phase difference (deg)";
  for (int v = -180; v <= 180; v += 90)
    y.ticks.push_back({static_cast<double>(v), true, std::to_string(v)});
  SvgChart chart(kWidth, 230, "Phase difference over the band");
  chart.SetFrame({72, 14, 500, 170}, check::MakeLogAxis(xs, "Period (s)"), y);
  chart.DrawAxes();
  for (const Point& p : dots) chart.DrawDot(p, 1.2, kMotionColour);
  return chart.Finish();
}

std::string ConvergenceChart(const MatchReport& r) {
  std::vector<double> n, dev, cv, lo;
  for (std::size_t i = 0; i < r.result.iterations.size(); ++i) {
    n.push_back(static_cast<double>(i));
    dev.push_back(r.result.iterations[i].deviation);
    cv.push_back(r.result.iterations[i].cv);
    lo.push_back(r.result.iterations[i].min_ratio);
  }
  const std::span<const double> xs[] = {n};
  const std::span<const double> ys[] = {dev, cv, lo};
  SvgChart chart(kWidth, 250, "Convergence per iteration");
  chart.SetFrame({72, 14, 500, 190}, check::MakeLinearAxis(xs, "Iteration", 10),
                 check::MakeLinearAxis(ys, "Figure", 6, true));
  chart.DrawAxes();
  chart.DrawLine(Zip(n, dev), kTargetColour, 1.5);
  chart.DrawLine(Zip(n, cv), kMotionColour, 1.5);
  chart.DrawLine(Zip(n, lo), kLimitColour, 1.5);
  const double best = static_cast<double>(r.result.best_iteration);
  chart.DrawDot(
      {best, dev[r.result.iterations.size() > 0 ? static_cast<std::size_t>(best)
                                                : 0]},
      4, kTargetColour);
  Legend(chart, 590, 30, "max |ln ratio|", kTargetColour, 1.5);
  Legend(chart, 590, 48, "CV", kMotionColour, 1.5);
  Legend(chart, 590, 66, "min ratio", kLimitColour, 1.5);
  Legend(chart, 590, 84, "best: " + std::to_string(r.result.best_iteration),
         kTargetColour, 1.5);
  return chart.Finish();
}

void Row(std::string& page, std::string_view name, double value,
         std::string_view limit, bool pass) {
  page += "<tr><td>";
  check::AppendEscaped(page, name);
  page += "</td><td class=\"num\">" + Fixed(value, 4) + "</td><td>";
  check::AppendEscaped(page, limit);
  page += std::string("</td><td class=\"") +
          (pass ? "pass\">pass" : "fail\">fail") + "</td></tr>\n";
}

void CriteriaTable(std::string& page, const MatchReport& r) {
  const FitFigures& f = r.result.fit;
  const MatchCriteria& c = r.options.criteria;
  const std::vector<std::string> failed = FailedCriteria(f, c);
  auto has = [&](std::string_view prefix) {
    for (const std::string& s : failed)
      if (s.rfind(prefix, 0) == 0) return true;
    return false;
  };
  page +=
      "<table><tr><th>figure</th><th>value</th><th>criterion</th>"
      "<th></th></tr>\n";
  Row(page, "min ratio", f.min_ratio, ">= " + Fixed(c.min_ratio, 3),
      !has("min"));
  Row(page, "mean ratio", f.mean_ratio, ">= " + Fixed(c.mean_ratio, 3),
      !has("mean"));
  Row(page, "coefficient of variation", f.cv, "<= " + Fixed(c.max_cv, 3),
      !has("CV"));
  page += "<tr><td>max ratio</td><td class=\"num\">" + Fixed(f.max_ratio, 4) +
          "</td><td>reported</td><td></td></tr>\n";
  page += "<tr><td>spectrum intensity ratio</td><td class=\"num\">" +
          Fixed(f.si_ratio, 4) + "</td><td>reported</td><td></td></tr>\n";
  page += "<tr><td>phase kept (weighted mean cosine)</td><td class=\"num\">" +
          Fixed(r.result.phase_kept, 4) +
          "</td><td>reported</td><td></td></tr>\n</table>\n";
}

void Figure(std::string& page, const std::string& svg,
            std::string_view caption) {
  page += "<figure>" + svg + "<figcaption>";
  check::AppendEscaped(page, caption);
  page += "</figcaption></figure>\n";
}

void Head(std::string& page, const MatchReport& r) {
  page +=
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta "
      "charset=\"utf-8\">\n<meta name=\"viewport\" "
      "content=\"width=device-width, initial-scale=1\">\n<title>"
      "lpgm-match report</title>\n<style>";
  page += kStyle;
  page += "</style>\n</head>\n<body>\n<h1>lpgm-match report</h1>\n<p>Target ";
  check::AppendEscaped(page, r.target_file + " (" + r.target_source + ")");
  page += ", phase record ";
  check::AppendEscaped(page, r.phase_file + " (" + r.phase_source + ")");
  page += ". Fitted in " + KindText(r.target) + ", peaks at sample times, " +
          std::to_string(r.result.acc.size()) + " samples at " +
          Fixed(r.dt, 4) + " s, baseline " +
          std::string(MotionBaselineName(r.options.baseline)) + ".</p>\n";
  const bool met = r.result.failed.empty();
  page += std::string("<div class=\"verdict ") + (met ? "pass" : "fail") +
          "\">" + (met ? "Criteria met" : "Criteria not met") + "</div>\n<p>";
  check::AppendEscaped(page, SummaryLine(r));
  page += "</p>\n";
}

}  // namespace

std::string HtmlReport(const MatchReport& report) {
  std::string page;
  Head(page, report);
  page += "<h2>Criteria</h2>\n";
  CriteriaTable(page, report);
  page += "<h2>Spectra</h2>\n";
  Figure(page, SpectraChart(report),
         "Target and achieved " + KindText(report.target) +
             " spectra, with the phase record's spectrum and the lowest "
             "ratio allowed.");
  Figure(page, RatioChart(report), "Ratio at each period of the target.");
  page += "<h2>Waveforms</h2>\n";
  Figure(page, WaveformChart(report),
         "Phase record (grey) and design motion (blue): acceleration, "
         "velocity, displacement.");
  const Spectra spectra = Transform(report);
  page += "<h2>Fourier amplitudes and phase</h2>\n";
  Figure(page, FourierChart(report, spectra),
         "Fourier amplitudes of both motions and their ratio (the gain).");
  Figure(page, PhaseChart(report, spectra),
         "Difference of the Fourier phases over the target's band; 0 where "
         "the phase is kept. Weighted mean cosine " +
             Fixed(report.result.phase_kept, 4) + ".");
  page += "<h2>Convergence</h2>\n";
  Figure(page, ConvergenceChart(report),
         "Figures of each iteration's motion before its correction; the best "
         "is kept.");
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace lpgm::match
