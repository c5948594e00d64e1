// lpgm-match's report: one self-contained HTML page (inline SVG and CSS, no
// network) with the spectra, the ratios, the waveforms, the Fourier
// amplitudes, the phase kept, the convergence and the criteria.
#ifndef LPGM_MATCH_HTML_REPORT_H_
#define LPGM_MATCH_HTML_REPORT_H_

#include <string>

#include "match/match_output.h"

namespace lpgm::match {

// The page, UTF-8.
std::string HtmlReport(const MatchReport& report);

}  // namespace lpgm::match

#endif  // LPGM_MATCH_HTML_REPORT_H_
