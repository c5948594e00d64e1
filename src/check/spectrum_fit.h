// How a case's response spectrum compares with the target and with the
// other cases: the ratios point by point and the spectrum's level. Pure
// functions over the spectra; the checker stores what they give in the
// result, the rules and the reports read it there.
#ifndef LPGM_CHECK_SPECTRUM_FIT_H_
#define LPGM_CHECK_SPECTRUM_FIT_H_

#include <optional>
#include <span>
#include <vector>

#include "check/check_result.h"

namespace lpgm::check {

// The ratio spectrum / target over the periods where both are finite and
// the target is above 0; unset when there is no such period.
std::optional<SpectrumRatio> RatioToTarget(std::span<const double> period,
                                           std::span<const double> spectrum,
                                           std::span<const double> target);

// log10 of each value; unset when there is none or a value is not finite
// or not above 0 (a level is only taken of a whole spectrum, so that all
// levels are over the same periods).
std::optional<std::vector<double>> LogSpectrum(
    std::span<const double> spectrum);

// Period by period, the median of the log spectra (the mean of the two
// middle ones for an even count). All have the same length; none is empty.
std::vector<double> MedianLogSpectrum(
    std::span<const std::vector<double>> logs);

// The mean over the periods of log10(spectrum / reference), both given as
// log10 of the same length.
double MeanLogRatio(std::span<const double> log_spectrum,
                    std::span<const double> log_reference);

// Sets each case's level_ratio, the result's set_level_ratio and
// levels_against_target: with at least three whole spectra, each case
// against the cases' median spectrum (itself included, so that one wrong
// case cannot move the yardstick of the others) and that median against
// the target; otherwise each case against the target.
void CompareLevels(CheckResult& result);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_SPECTRUM_FIT_H_
