#include "prepare/resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lpgm::prepare {

std::optional<Ratio> RatioOfSteps(double dt_in, double dt_out) {
  constexpr std::int64_t kLargest = 1000;
  const double target = dt_in / dt_out;
  // Convergents p/q of the continued fraction of target.
  std::int64_t p_before = 0, q_before = 1, p = 1, q = 0;
  double rest = target;
  for (int step = 0; step < 40; ++step) {
    double whole = std::floor(rest);
    if (whole > static_cast<double>(kLargest)) return std::nullopt;
    std::int64_t a = static_cast<std::int64_t>(whole);
    std::int64_t p_next = a * p + p_before;
    std::int64_t q_next = a * q + q_before;
    if (p_next > kLargest || q_next > kLargest) return std::nullopt;
    p_before = p, q_before = q, p = p_next, q = q_next;
    double value = static_cast<double>(p) / static_cast<double>(q);
    if (p > 0 && std::fabs(value - target) <= 1e-9 * target)
      return Ratio{static_cast<int>(p), static_cast<int>(q)};
    if (rest == whole) break;
    rest = 1.0 / (rest - whole);
  }
  return std::nullopt;
}

std::vector<double> UpFilterDown(std::span<const double> x,
                                 std::span<const double> taps, Ratio ratio) {
  const std::int64_t n_in = static_cast<std::int64_t>(x.size());
  const std::int64_t up = ratio.up;
  const std::int64_t down = ratio.down;
  const std::int64_t n_taps = static_cast<std::int64_t>(taps.size());
  const std::int64_t centre = (n_taps - 1) / 2;
  const std::int64_t n_out = (n_in * up + down - 1) / down;
  std::vector<double> y(static_cast<std::size_t>(n_out));
  for (std::int64_t k = 0; k < n_out; ++k) {
    // Up-sampled index t takes input i at tap t - i * up, 0 <= tap < n_taps.
    const std::int64_t t = k * down + centre;
    std::int64_t first = t - n_taps + 1 <= 0 ? 0 : (t - n_taps + up) / up;
    std::int64_t last = std::min(t / up, n_in - 1);
    double sum = 0.0;
    for (std::int64_t i = first; i <= last; ++i)
      sum += x[static_cast<std::size_t>(i)] *
             taps[static_cast<std::size_t>(t - i * up)];
    y[static_cast<std::size_t>(k)] = sum;
  }
  return y;
}

}  // namespace lpgm::prepare
