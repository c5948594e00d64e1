// The checker's report: one self-contained UTF-8 HTML page (inline CSS and
// SVG, no script, nothing fetched) that opens in any browser and prints on
// A4. It shows what was checked, the verdict, the findings (errors and
// warnings first), the spectra, the peak velocities, the velocity waveforms
// and the phase case's acceleration, and the summary tables.
#ifndef LPGM_CHECK_HTML_REPORT_H_
#define LPGM_CHECK_HTML_REPORT_H_

#include <ostream>

#include "check/check_result.h"

namespace lpgm::check {

// Writes the report of `result` to `out`. Every text from the result is
// escaped; numbers that are not finite appear as "NaN" or "Infinity" and
// are left out of the charts. Write failures show in `out`'s state.
void WriteHtmlReport(const CheckResult& result, std::ostream& out);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_HTML_REPORT_H_
