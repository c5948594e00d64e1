#include "check/spectrum_charts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "check/chart_axis.h"
#include "check/report_format.h"
#include "check/svg_chart.h"

namespace lpgm::check {
namespace {

constexpr double kWidth = 760;
constexpr PlotArea kArea{72, 30, 560, 380};
constexpr std::string_view kTargetColour = "#111111";
constexpr std::string_view kPhaseColour = "#c0392b";
constexpr std::array<std::string_view, 10> kColours = {
    "#1f77b4", "#ff7f0e", "#2ca02c", "#9467bd", "#8c564b",
    "#e377c2", "#17becf", "#bcbd22", "#7f7f7f", "#393b79"};

// The last point of a series the chart can show; NaN coordinates if none.
Point LastShown(const SvgChart& chart, std::span<const double> period,
                std::span<const double> values) {
  for (std::size_t j = std::min(period.size(), values.size()); j-- > 0;) {
    const double x = chart.X(period[j]), y = chart.Y(values[j]);
    if (std::isfinite(x) && std::isfinite(y)) return {x, y};
  }
  return {std::nan(""), std::nan("")};
}

struct EndLabel {
  Point end;  // the line's last point, user units
  std::string text;
  std::string_view colour;
  bool strong = false;
};

// Each label at the right of the plot area, as near its line's end as the
// others allow, joined to it by a thin leader.
void DrawEndLabels(SvgChart& chart, std::vector<EndLabel> labels) {
  std::sort(
      labels.begin(), labels.end(),
      [](const EndLabel& a, const EndLabel& b) { return a.end.y < b.end.y; });
  std::vector<double> wanted;
  for (const EndLabel& l : labels) wanted.push_back(l.end.y);
  const std::vector<double> at =
      SpreadLabels(wanted, 11, kArea.top + 4, kArea.top + kArea.height + 4);
  const double x = kArea.left + kArea.width + 14;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    chart.DrawSegment(labels[i].end, {x - 2, at[i] - 3}, labels[i].colour, 0.5);
    chart.DrawText(x, at[i], labels[i].text,
                   labels[i].strong ? "label strong" : "label");
  }
}

}  // namespace

std::string_view CaseLineColour(const CaseSummary& c) {
  if (c.phase) return kPhaseColour;
  const std::size_t k = static_cast<std::size_t>(std::max(c.case_number, 1));
  return kColours[(k - 1) % kColours.size()];
}

bool CaseLineDashed(const CaseSummary& c) {
  return !c.phase && c.case_number > static_cast<int>(kColours.size());
}

std::vector<double> SpreadLabels(std::span<const double> wanted, double gap,
                                 double lo, double hi) {
  std::vector<double> at(wanted.begin(), wanted.end());
  if (at.empty()) return at;
  if (at.size() > 1)
    gap = std::min(gap, (hi - lo) / static_cast<double>(at.size() - 1));
  for (double& y : at) y = std::clamp(y, lo, hi);
  for (std::size_t i = 1; i < at.size(); ++i)
    at[i] = std::max(at[i], at[i - 1] + gap);
  at.back() = std::min(at.back(), hi);
  for (std::size_t i = at.size() - 1; i-- > 0;)
    at[i] = std::min(at[i], at[i + 1] - gap);
  return at;
}

std::string CaseSpectraChart(const CheckResult& result) {
  std::vector<std::span<const double>> ys;
  for (const CaseSummary& c : result.cases)
    if (!c.spectrum.empty()) ys.push_back(c.spectrum);
  if (ys.empty() || result.period.empty()) return "";
  if (!result.target.empty()) ys.push_back(result.target);
  const std::array<std::span<const double>, 1> xs = {result.period};
  const std::string basis = SpectrumBasis(result.spectrum_kind, result.damping);
  const Axis x = MakeLogAxis(xs, "Period (s)");
  const Axis y = MakeLogAxis(ys, result.spectrum_kind + " (cm/s)");
  SvgChart chart(kWidth, 460, "Response spectra of the cases, " + basis);
  chart.DrawText(kArea.left, 16,
                 "Response spectra of the cases and the target: " + basis,
                 "title");
  chart.SetFrame(kArea, x, y);
  chart.DrawAxes();
  std::vector<EndLabel> labels;
  const CaseSummary* phase = nullptr;
  for (const CaseSummary& c : result.cases) {
    if (c.spectrum.empty()) continue;
    if (c.phase) {
      phase = &c;  // drawn last, over the others
      continue;
    }
    chart.DrawLine(Zip(result.period, c.spectrum), CaseLineColour(c), 1.1,
                   CaseLineDashed(c) ? "dashed" : "");
    labels.push_back({LastShown(chart, result.period, c.spectrum),
                      std::to_string(c.case_number), CaseLineColour(c)});
  }
  if (!result.target.empty()) {
    chart.DrawLine(Zip(result.period, result.target), kTargetColour, 3.2);
    labels.push_back({LastShown(chart, result.period, result.target), "Target",
                      kTargetColour, true});
  }
  if (phase != nullptr) {
    chart.DrawLine(Zip(result.period, phase->spectrum), kPhaseColour, 2.4);
    labels.push_back({LastShown(chart, result.period, phase->spectrum),
                      std::to_string(phase->case_number) + " phase",
                      kPhaseColour, true});
  }
  std::erase_if(labels, [](const EndLabel& l) {
    return !std::isfinite(l.end.x) || !std::isfinite(l.end.y);
  });
  DrawEndLabels(chart, std::move(labels));
  return chart.Finish();
}

std::string PhaseRatioChart(const CheckResult& result) {
  const CaseSummary* phase = nullptr;
  for (const CaseSummary& c : result.cases)
    if (c.phase && c.ratio && !c.spectrum.empty()) phase = &c;
  if (phase == nullptr || result.target.empty()) return "";
  std::vector<double> ratio(result.period.size(), std::nan(""));
  for (std::size_t j = 0; j < ratio.size() && j < result.target.size(); ++j)
    if (result.target[j] > 0) ratio[j] = phase->spectrum[j] / result.target[j];
  const std::array<double, 3> band = {0, 0.85, 1.15};
  const std::array<std::span<const double>, 2> ys = {ratio, band};
  const std::array<std::span<const double>, 1> xs = {result.period};
  const Axis x = MakeLogAxis(xs, "Period (s)");
  const Axis y = MakeLinearAxis(ys, "Case / target", 7, true);
  const std::string basis = SpectrumBasis(result.spectrum_kind, result.damping);
  SvgChart chart(kWidth, 300, "Phase case against the target, " + basis);
  const PlotArea area{72, 30, 620, 220};
  chart.DrawText(area.left, 16,
                 "Case " + std::to_string(phase->case_number) +
                     " (phase case) / target: " + basis,
                 "title");
  chart.SetFrame(area, x, y);
  const double top = chart.Y(1.15), bottom = chart.Y(0.85);
  chart.DrawRect({area.left, top, area.width, bottom - top}, "#e3f1e6");
  chart.DrawAxes();
  const std::array<Point, 2> one = {Point{x.lo, 1.0}, Point{x.hi, 1.0}};
  chart.DrawLine(one, "#2e8b57", 1);
  chart.DrawLine(Zip(result.period, ratio), kPhaseColour, 2);
  const SpectrumRatio& q = *phase->ratio;
  chart.DrawDot({q.min_period, q.min}, 3, "#000000");
  chart.DrawDot({q.max_period, q.max}, 3, "#000000");
  auto mark = [&](double period, double value, double dy, const char* what) {
    const double px = chart.X(period);
    const bool left = px > area.left + area.width * 0.7;
    chart.DrawText(left ? px - 5 : px + 5, chart.Y(value) + dy,
                   std::string(what) + " " + Fixed(value, 3) + " at " +
                       Fixed(period, 2) + " s",
                   "value", left ? Anchor::kEnd : Anchor::kStart);
  };
  mark(q.min_period, q.min, 12, "min");
  mark(q.max_period, q.max, -6, "max");
  chart.DrawText(area.left + area.width - 4, bottom - 4,
                 "0.85 to 1.15, mean " + Fixed(q.mean, 3), "small",
                 Anchor::kEnd);
  return chart.Finish();
}

}  // namespace lpgm::check
