// The axes of a chart: the range a data series is drawn over, the ticks at
// round values, their labels, and the mapping from a value to a position.
#ifndef LPGM_CHECK_CHART_AXIS_H_
#define LPGM_CHECK_CHART_AXIS_H_

#include <span>
#include <string>
#include <vector>

namespace lpgm::check {

enum class Scale { kLinear, kLog };

struct Tick {
  double value = 0;
  bool major = true;  // a labelled tick with a grid line; minor: grid only
  std::string label;  // empty for minor ticks
};

struct Axis {
  Scale scale = Scale::kLinear;
  double lo = 0, hi = 1;  // finite; lo < hi; both > 0 on a log axis
  std::string title;      // with the unit, e.g. "Period (s)"
  std::vector<Tick> ticks;

  // Where `value` lies between lo (0) and hi (1); values outside the range
  // give fractions outside [0, 1]. NaN for a value that the axis cannot
  // show: not finite, or not positive on a log axis.
  double Fraction(double value) const;
};

// The round step (1, 2 or 5 times a power of ten) nearest above
// `raw_step`; 1 for a step that is not finite and positive.
double NiceStep(double raw_step);

// A linear axis over every finite value of the given series: the range
// widened to whole steps of 1, 2 or 5 times a power of ten, the smallest
// such step that gives at most `max_ticks` ticks. `include_zero` keeps 0
// inside the range. No finite value gives the range 0 to 1; equal values a
// range around them.
Axis MakeLinearAxis(std::span<const std::span<const double>> series,
                    std::string title, int max_ticks = 7,
                    bool include_zero = false);

// A symmetric linear axis around 0 over the largest magnitude m of the
// finite values (1 when there is none or it is 0): the smallest 1-2-5 step
// that gives at most `max_ticks` ticks, and the range from -m to m rounded
// up to a half step, so that the largest value nearly fills it.
Axis MakeSymmetricAxis(std::span<const std::span<const double>> series,
                       std::string title, int max_ticks = 5);

// A log axis over every finite positive value of the given series, widened
// to whole decades; ticks at each decade, minor ticks at 2 to 9 times it,
// and labels at 2 and 5 too when the axis spans at most two decades. No
// positive value gives the range 1 to 10.
Axis MakeLogAxis(std::span<const std::span<const double>> series,
                 std::string title);

// A tick's label: the value with as many decimals as `step` needs, at most
// 6, without a sign on zero; exponent form for magnitudes of 1e7 and more
// or under 1e-4.
std::string TickLabel(double value, double step);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_CHART_AXIS_H_
