// The checker's --html report: one self-contained page (UTF-8, inline SVG
// and CSS) of what was checked, the findings, the spectra, the peak
// velocities and the waveforms.
#ifndef LPGM_CHECK_HTML_REPORT_H_
#define LPGM_CHECK_HTML_REPORT_H_

#include <ostream>

#include "check/check_result.h"

namespace lpgm::check {

// Writes the whole page to `out`.
void WriteHtmlReport(const CheckResult& result, std::ostream& out);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_HTML_REPORT_H_
