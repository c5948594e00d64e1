#include "check/series_stats.h"

#include <cmath>
#include <cstddef>

namespace lpgm::check {

SeriesExtremes ExtremesOf(std::span<const double> values) {
  SeriesExtremes e;
  for (std::size_t j = 0; j < values.size(); ++j) {
    const double v = values[j];
    if (!std::isfinite(v)) {
      if (e.non_finite++ == 0) e.first_non_finite = static_cast<long>(j) + 1;
      continue;
    }
    if (v < e.min) e.min = v;
    if (v > e.max) e.max = v;
  }
  return e;
}

std::array<double, 3> LagCorrelations(std::span<const double> values) {
  double energy = 0, r1 = 0, r2 = 0, r3 = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double a = values[i];
    if (!std::isfinite(a)) return {0, 0, 0};
    energy += a * a;
    if (i >= 1) r1 += a * values[i - 1];
    if (i >= 2) r2 += a * values[i - 2];
    if (i >= 3) r3 += a * values[i - 3];
  }
  if (!(energy > 0)) return {0, 0, 0};
  return {r1 / energy, r2 / energy, r3 / energy};
}

void SummarizeSeries(CaseSummary& c) {
  c.acc_extremes = ExtremesOf(c.acc);
  c.vel_extremes = ExtremesOf(c.vel);
  c.lag_correlation = c.acc_extremes.non_finite == 0
                          ? LagCorrelations(c.acc)
                          : std::array<double, 3>{0, 0, 0};
}

}  // namespace lpgm::check
