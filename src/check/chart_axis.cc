#include "check/chart_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace lpgm::check {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Extent {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  bool empty() const { return lo > hi; }
};

Extent FiniteExtent(std::span<const std::span<const double>> series,
                    bool positive_only) {
  Extent extent;
  for (std::span<const double> values : series) {
    for (double v : values) {
      if (!std::isfinite(v) || (positive_only && v <= 0)) continue;
      extent.lo = std::min(extent.lo, v);
      extent.hi = std::max(extent.hi, v);
    }
  }
  return extent;
}

// The next larger step of the 1-2-5 series.
double NextNiceStep(double step) {
  const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  const double mantissa = step / power;
  if (mantissa < 1.5) return 2 * power;
  if (mantissa < 3.5) return 5 * power;
  return 10 * power;
}

// The smallest 1-2-5 step that cuts [lo, hi] into at most `max_ticks`
// ticks. Halving before subtracting keeps the span finite near the largest
// doubles.
double StepFor(double lo, double hi, int max_ticks) {
  double step = NiceStep((hi / 2 - lo / 2) / (2.0 * max_ticks));
  for (int i = 0; i < 40; ++i) {
    const double ticks = std::ceil(hi / step) - std::floor(lo / step) + 1;
    if (ticks <= max_ticks) break;
    step = NextNiceStep(step);
  }
  return step;
}

// Widens [lo, hi] to whole steps and lists the ticks.
Axis LinearAxisOver(double lo, double hi, std::string title, int max_ticks) {
  max_ticks = std::max(2, max_ticks);
  const double step = StepFor(lo, hi, max_ticks);
  Axis axis;
  axis.title = std::move(title);
  axis.lo = std::floor(lo / step) * step;
  axis.hi = std::ceil(hi / step) * step;
  if (!std::isfinite(axis.lo)) axis.lo = lo;
  if (!std::isfinite(axis.hi)) axis.hi = hi;
  if (!(axis.lo < axis.hi)) {
    axis.lo = lo;
    axis.hi = hi;
  }
  const double first = std::ceil(axis.lo / step - 1e-9);
  for (int k = 0; k <= max_ticks; ++k) {
    double value = (first + k) * step;
    if (value > axis.hi + step * 1e-9 || !std::isfinite(value)) break;
    if (std::fabs(value) < step * 1e-9) value = 0;
    axis.ticks.push_back({value, true, TickLabel(value, step)});
  }
  return axis;
}

void WidenDegenerate(double& lo, double& hi) {
  if (lo < hi) return;
  const double d = lo == 0 ? 1 : std::fabs(lo) / 10;
  lo -= d;
  hi += d;
}

}  // namespace

double Axis::Fraction(double value) const {
  if (!std::isfinite(value)) return kNaN;
  if (scale == Scale::kLog) {
    if (value <= 0) return kNaN;
    const double l = std::log10(lo);
    return (std::log10(value) - l) / (std::log10(hi) - l);
  }
  return (value / 2 - lo / 2) / (hi / 2 - lo / 2);
}

double NiceStep(double raw_step) {
  if (!std::isfinite(raw_step) || raw_step <= 0) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw_step)));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    // A small tolerance keeps 0.2 from turning into 0.5 through rounding.
    if (m * power >= raw_step * (1 - 1e-12)) return m * power;
  }
  return 10 * power;
}

Axis MakeLinearAxis(std::span<const std::span<const double>> series,
                    std::string title, int max_ticks, bool include_zero) {
  Extent e = FiniteExtent(series, false);
  if (e.empty()) e = {0, 1};
  if (include_zero) {
    e.lo = std::min(e.lo, 0.0);
    e.hi = std::max(e.hi, 0.0);
  }
  WidenDegenerate(e.lo, e.hi);
  return LinearAxisOver(e.lo, e.hi, std::move(title), max_ticks);
}

Axis MakeSymmetricAxis(std::span<const std::span<const double>> series,
                       std::string title, int max_ticks) {
  const Extent e = FiniteExtent(series, false);
  double m = e.empty() ? 1 : std::max(std::fabs(e.lo), std::fabs(e.hi));
  if (m == 0) m = 1;
  // The range ends at the next half step, the ticks sit on whole steps.
  const int max_side = std::max(0, (max_ticks - 1) / 2);
  double step = NiceStep(m / (max_side + 1));
  double top = m;
  for (int i = 0; i < 40; ++i) {
    top = std::ceil(m / (step / 2)) * (step / 2);
    if (!std::isfinite(top)) top = m;
    if (std::floor(top / step) <= max_side) break;
    step = NextNiceStep(step);
  }
  Axis axis;
  axis.title = std::move(title);
  axis.lo = -top;
  axis.hi = top;
  const double side = std::floor(top / step);
  for (double k = -side; k <= side; ++k) {
    axis.ticks.push_back({k * step, true, TickLabel(k * step, step)});
  }
  return axis;
}

Axis MakeLogAxis(std::span<const std::span<const double>> series,
                 std::string title) {
  Extent e = FiniteExtent(series, true);
  if (e.empty()) e = {1, 10};
  int first = static_cast<int>(std::floor(std::log10(e.lo)));
  int last = static_cast<int>(std::ceil(std::log10(e.hi)));
  // Keep both ends representable (10^308 is the largest decade).
  first = std::clamp(first, -307, 307);
  last = std::clamp(last, first + 1, 308);
  Axis axis;
  axis.scale = Scale::kLog;
  axis.title = std::move(title);
  axis.lo = std::pow(10.0, first);
  axis.hi = std::pow(10.0, last);
  const bool label_2_5 = last - first <= 2;
  const int decade_step = std::max(1, (last - first + 7) / 8);
  for (int d = first; d <= last; ++d) {
    const double decade = std::pow(10.0, d);
    const bool labelled = (d - first) % decade_step == 0;
    axis.ticks.push_back(
        {decade, labelled, labelled ? TickLabel(decade, decade) : ""});
    if (d == last || decade_step > 1) continue;
    for (int m = 2; m <= 9; ++m) {
      const bool major = label_2_5 && (m == 2 || m == 5);
      axis.ticks.push_back(
          {m * decade, major, major ? TickLabel(m * decade, decade) : ""});
    }
  }
  return axis;
}

std::string TickLabel(double value, double step) {
  if (value == 0) return "0";
  char buffer[64];
  const double magnitude = std::fabs(value);
  if (magnitude >= 1e7 || magnitude < 1e-4) {
    std::snprintf(buffer, sizeof buffer, "%.3g", value);
    return buffer;
  }
  int decimals = 0;
  if (step > 0 && step < 1) {
    decimals = static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  }
  decimals = std::clamp(decimals, 0, 6);
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

}  // namespace lpgm::check
