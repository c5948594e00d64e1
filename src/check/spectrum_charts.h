// The report's charts of the cases' response spectra against the target,
// each a finished inline <svg> element, or an empty string when the result
// holds nothing to draw.
#ifndef LPGM_CHECK_SPECTRUM_CHARTS_H_
#define LPGM_CHECK_SPECTRUM_CHARTS_H_

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_result.h"

namespace lpgm::check {

// The colour of a case's line, and whether it is drawn dashed (cases past
// the tenth share the first ten colours); the phase case is always red.
std::string_view CaseLineColour(const CaseSummary& c);
bool CaseLineDashed(const CaseSummary& c);

// Period against the spectrum, log-log: every case's spectrum thin, each
// labelled by its number at its right end, the phase case red and thicker,
// the target bold; the kind and damping in the chart's title.
std::string CaseSpectraChart(const CheckResult& result);

// The phase case's spectrum divided by the target against period (log),
// the band 0.85 to 1.15 shaded, its minimum and maximum marked; empty
// without a phase case or a target.
std::string PhaseRatioChart(const CheckResult& result);

// Label positions: `wanted` (sorted increasing) moved apart to at least
// `gap` between neighbours, kept within [lo, hi] when they fit, each moved
// as little as it can be. Exposed for its test.
std::vector<double> SpreadLabels(std::span<const double> wanted, double gap,
                                 double lo, double hi);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_SPECTRUM_CHARTS_H_
