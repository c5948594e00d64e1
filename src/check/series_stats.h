// What the rules ask of a case's samples and velocities, worked out in one
// pass over each by the thread that read the case: their extremes, the
// values that are not finite, and how alike samples one, two and three
// apart are.
#ifndef LPGM_CHECK_SERIES_STATS_H_
#define LPGM_CHECK_SERIES_STATS_H_

#include <array>
#include <span>

#include "check/check_result.h"

namespace lpgm::check {

// The extremes of the finite values, how many are not finite and the
// first of those (from 1).
SeriesExtremes ExtremesOf(std::span<const double> values);

// The normalised autocorrelations at lags 1, 2 and 3; zeros when a value is
// not finite or all are 0.
std::array<double, 3> LagCorrelations(std::span<const double> values);

// Sets the case's acc_extremes, vel_extremes and lag_correlation from its
// acc and vel.
void SummarizeSeries(CaseSummary& c);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_SERIES_STATS_H_
