#include "check/report_charts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "check/chart_axis.h"
#include "check/min_max_columns.h"
#include "check/report_format.h"
#include "check/svg_chart.h"

namespace lpgm::check {
namespace {

constexpr double kChartWidth = 760;
constexpr std::string_view kTargetColour = "#c0392b";
constexpr std::string_view kSrssColour = "#333333";
constexpr std::string_view kCaseColour = "#41607f";
constexpr std::string_view kPhaseColour = "#c0392b";
constexpr std::string_view kPhaseBackground = "#fbeceb";
constexpr std::array<std::string_view, 8> kFaultColours = {
    "#1f77b4", "#ff7f0e", "#2ca02c", "#9467bd",
    "#8c564b", "#e377c2", "#17becf", "#bcbd22"};

std::string_view FaultColour(std::size_t i) {
  return kFaultColours[i % kFaultColours.size()];
}

std::span<const double> PeriodsOf(const CheckResult& result,
                                  const FaultSummary& fault) {
  return fault.period.empty() ? std::span<const double>(result.period)
                              : std::span<const double>(fault.period);
}

bool Drawable(const CaseSummary& c) { return c.read_ok && !c.vel.empty(); }

// One legend entry: a short line in the series' colour and its name.
void LegendEntry(SvgChart& chart, double x, double y, std::string_view name,
                 std::string_view colour, double width) {
  chart.DrawRect({x, y - 4 - width / 2, 22, width}, colour);
  chart.DrawText(x + 28, y, Shortened(name, 24), "legend");
}

}  // namespace

std::string SpectraChart(const CheckResult& result) {
  std::vector<std::span<const double>> xs, ys;
  for (const FaultSummary& f : result.faults) {
    if (!f.read_ok) continue;
    xs.push_back(PeriodsOf(result, f));
    ys.push_back(f.sv);
  }
  if (xs.empty()) return "";
  const bool totals = result.computed && !result.target.empty();
  if (totals) {
    ys.push_back(result.srss);
    ys.push_back(result.target);
  }
  const Axis x = MakeLogAxis(xs, "Period (s)");
  const Axis y =
      MakeLogAxis(ys, "Field 28, taken as " + result.spectrum_kind + " (cm/s)");
  SvgChart chart(kChartWidth, 440, "Velocity response spectra");
  chart.SetFrame({72, 14, 480, 370}, x, y);
  chart.DrawAxes();
  double legend_y = 30;
  for (std::size_t i = 0; i < result.faults.size(); ++i) {
    const FaultSummary& f = result.faults[i];
    if (!f.read_ok) continue;
    chart.DrawLine(Zip(PeriodsOf(result, f), f.sv), FaultColour(i), 1.5);
    LegendEntry(chart, 572, legend_y,
                "Fault " + std::to_string(f.fault) + ": " + f.folder,
                FaultColour(i), 1.5);
    legend_y += 18;
  }
  if (totals) {
    chart.DrawLine(Zip(result.period, result.srss), kSrssColour, 3);
    chart.DrawLine(Zip(result.period, result.target), kTargetColour, 3.5);
    legend_y += 8;
    LegendEntry(chart, 572, legend_y, "SRSS", kSrssColour, 3);
    LegendEntry(chart, 572, legend_y + 18, "Target = SRSS / 1.1", kTargetColour,
                3.5);
  }
  return chart.Finish();
}

namespace {

// The cases to show as bars: ranked ones by rank, then the others by number.
std::vector<const CaseSummary*> BarOrder(const CheckResult& result) {
  std::vector<const CaseSummary*> order;
  for (const CaseSummary& c : result.cases) {
    if (c.read_ok) order.push_back(&c);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const CaseSummary* a, const CaseSummary* b) {
                     const int ra = a->rank > 0 ? a->rank : 1 << 30;
                     const int rb = b->rank > 0 ? b->rank : 1 << 30;
                     return ra != rb ? ra < rb
                                     : a->case_number < b->case_number;
                   });
  return order;
}

}  // namespace

std::string PeakVelocityChart(const CheckResult& result) {
  const std::vector<const CaseSummary*> order = BarOrder(result);
  if (order.empty()) return "";
  std::vector<double> values;
  for (const CaseSummary* c : order) values.push_back(c->pgv);
  const std::array<std::span<const double>, 1> series = {values};
  const Axis x = MakeLinearAxis(series, "Peak velocity PGV (cm/s)", 8, true);
  const Axis y{Scale::kLinear, 0, 1, "", {}};
  constexpr double kTop = 8;
  // Rows narrow for many cases, so that spectra and bars share a page.
  const double row_height =
      std::clamp(380 / static_cast<double>(order.size()), 17.0, 22.0);
  const double height = kTop + row_height * static_cast<double>(order.size());
  SvgChart chart(kChartWidth, height + 48, "Peak velocity of every case");
  chart.SetFrame({220, kTop, 440, height - kTop}, x, y);
  chart.DrawAxes();
  double row = kTop + row_height / 2;
  for (const CaseSummary* c : order) {
    const std::string_view colour = c->phase ? kPhaseColour : kCaseColour;
    chart.DrawHorizontalBar(c->pgv, row, row_height * 0.62, colour);
    const std::string rank = c->rank > 0 ? std::to_string(c->rank) : "-";
    chart.DrawText(20, row + 4, rank, "label", Anchor::kEnd);
    chart.DrawText(28, row + 4,
                   "Case " + std::to_string(c->case_number) + "  " +
                       FolderLabel(c->folder, 24),
                   c->phase ? "label strong" : "label");
    const double end = std::clamp(chart.X(c->pgv), 220.0, 660.0);
    chart.DrawText(std::isfinite(end) ? end + 5 : 665, row + 4,
                   Fixed(c->pgv, 2) + (c->phase ? "  phase case" : ""),
                   c->phase ? "value strong" : "value");
    row += row_height;
  }
  return chart.Finish();
}

namespace {

constexpr double kWaveLeft = 190, kWaveWidth = 550;

// In a strip too low for three labels, only the top tick keeps its label,
// so that no label runs into the next strip's.
Axis LabelledForStrip(Axis v, double height) {
  if (height >= 50) return v;
  for (std::size_t i = 0; i + 1 < v.ticks.size(); ++i) v.ticks[i].label.clear();
  return v;
}

// A strip whose peak fills less than this share of the shared scale is
// drawn on a scale of its own: on the shared one it would be a flat line.
constexpr double kOwnScaleBelow = 0.2;

// What a symmetric axis needs of a case's velocities: their extremes, as
// the checker found them while reading, or all of them when not known.
std::span<const double> VelocityRange(const CaseSummary& c,
                                      std::array<double, 2>& store) {
  if (!(c.vel_extremes.min <= c.vel_extremes.max)) return c.vel;
  store = {c.vel_extremes.min, c.vel_extremes.max};
  return store;
}

// The scale of one strip: the shared one, or the strip's own when the
// shared one would flatten it (then `magnified` > 1 says by how much).
Axis StripScale(const CaseSummary& c, const Axis& shared, double* magnified) {
  *magnified = 1;
  if (!(c.pgv > 0) || c.pgv >= kOwnScaleBelow * shared.hi) return shared;
  std::array<double, 2> store;
  const std::array<std::span<const double>, 1> own_values = {
      VelocityRange(c, store)};
  Axis own = MakeSymmetricAxis(own_values, "", 3);
  *magnified = shared.hi / own.hi;
  return own;
}

// One strip of the stacked velocity chart.
void DrawVelocityStrip(SvgChart& chart, const CaseSummary& c,
                       const PlotArea& area, const Axis& t, const Axis& shared,
                       bool last) {
  if (c.phase) chart.DrawRect(area, kPhaseBackground);
  double magnified = 1;
  const Axis v = StripScale(c, shared, &magnified);
  chart.SetFrame(area, t, LabelledForStrip(v, area.height));
  chart.DrawAxes(last);
  const std::string_view colour = c.phase ? kPhaseColour : kCaseColour;
  const auto points = MinMaxPerColumn(c.vel, 0, kTimeStep, t.lo, t.hi,
                                      static_cast<int>(kWaveWidth));
  chart.DrawLine(points, colour, c.phase ? 1.1 : 0.8);
  const double mid = area.top + area.height / 2;
  const std::string name =
      "Case " + std::to_string(c.case_number) + (c.phase ? "  phase case" : "");
  chart.DrawText(8, mid - 2, name, c.phase ? "label strong" : "label");
  chart.DrawText(8, mid + 10, FolderLabel(c.folder, 24), "label small");
  if (magnified > 1) {
    // Its own scale, and how it stands to the shared one.
    chart.DrawText(area.left + area.width - 4, area.top + area.height - 3,
                   "own scale \u00b1" + TickLabel(v.hi, v.hi / 2) +
                       " cm/s (shared \u00b1" +
                       TickLabel(shared.hi, shared.hi / 2) + ", x" +
                       Fixed(magnified, 1) + ")",
                   "value small", Anchor::kEnd);
  }
  // The PGV at its sample: the sign comes from the waveform itself.
  const double index = std::round(c.pgv_time / kTimeStep);
  double at = c.pgv;
  if (index >= 0 && index < static_cast<double>(c.vel.size())) {
    at = std::copysign(c.pgv, c.vel[static_cast<std::size_t>(index)]);
  }
  chart.DrawDot({c.pgv_time, at}, 2.6, colour);
  const double px = chart.X(c.pgv_time);
  const bool right = !(px > kWaveLeft + kWaveWidth * 0.62);
  chart.DrawText(
      right ? px + 6 : px - 6, area.top + 9,
      "PGV " + Fixed(c.pgv, 2) + " cm/s at " + Fixed(c.pgv_time, 2) + " s",
      "value small", right ? Anchor::kStart : Anchor::kEnd);
}

}  // namespace

std::string VelocityWaveformsChart(const CheckResult& result) {
  std::vector<const CaseSummary*> shown;
  std::vector<std::span<const double>> velocities;
  std::vector<std::array<double, 2>> ranges(result.cases.size());
  double duration = 0;
  for (const CaseSummary& c : result.cases) {
    if (!Drawable(c)) continue;
    shown.push_back(&c);
    velocities.push_back(VelocityRange(c, ranges[shown.size() - 1]));
    duration =
        std::max(duration, static_cast<double>(c.vel.size()) * kTimeStep);
  }
  if (shown.empty()) return "";
  const std::array<double, 2> time_range = {0, duration};
  const std::array<std::span<const double>, 1> times = {time_range};
  const Axis t = MakeLinearAxis(times, "Time (s)", 11);
  Axis v = MakeSymmetricAxis(velocities, "", 3);
  const double strip =
      std::clamp(820 / static_cast<double>(shown.size()), 34.0, 90.0);
  const double height = 22 + strip * static_cast<double>(shown.size()) + 44;
  SvgChart chart(kChartWidth, height, "Velocity waveforms of every case");
  chart.DrawText(kWaveLeft, 12,
                 "Velocity (cm/s), one scale for every case but those marked "
                 "\u201cown scale\u201d",
                 "title");
  double top = 22;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const PlotArea area{kWaveLeft, top, kWaveWidth, strip - 4};
    DrawVelocityStrip(chart, *shown[i], area, t, v, i + 1 == shown.size());
    top += strip;
  }
  return chart.Finish();
}

std::string PhaseAccelerationChart(const CheckResult& result) {
  const CaseSummary* phase = nullptr;
  for (const CaseSummary& c : result.cases) {
    if (c.phase && c.read_ok && !c.acc.empty()) phase = &c;
  }
  if (phase == nullptr) return "";
  const std::array<double, 2> time_range = {
      0, static_cast<double>(phase->acc.size()) * kTimeStep};
  const std::array<std::span<const double>, 1> times = {time_range};
  const std::array<std::span<const double>, 1> values = {phase->acc};
  const Axis t = MakeLinearAxis(times, "Time (s)", 11);
  const Axis a = MakeSymmetricAxis(values, "Acceleration (cm/s\u00b2)", 5);
  SvgChart chart(kChartWidth, 250, "Acceleration of the phase case");
  chart.SetFrame({72, 14, 668, 190}, t, a);
  chart.DrawAxes();
  chart.DrawLine(MinMaxPerColumn(phase->acc, 0, kTimeStep, t.lo, t.hi, 668),
                 kPhaseColour, 0.8);
  const double index = std::round(phase->pga_time / kTimeStep);
  double at = phase->pga;
  if (index >= 0 && index < static_cast<double>(phase->acc.size())) {
    at = std::copysign(phase->pga, phase->acc[static_cast<std::size_t>(index)]);
  }
  chart.DrawDot({phase->pga_time, at}, 3, "#000000");
  const double px = chart.X(phase->pga_time);
  const bool right = !(px > 72 + 668 * 0.62);
  chart.DrawText(right ? px + 6 : px - 6, 26,
                 "PGA " + Fixed(phase->pga, 1) + " cm/s\u00b2 at " +
                     Fixed(phase->pga_time, 2) + " s",
                 "value", right ? Anchor::kStart : Anchor::kEnd);
  return chart.Finish();
}

}  // namespace lpgm::check
