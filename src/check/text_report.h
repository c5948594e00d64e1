// The checker's default output: a summary of the faults, the cases and the
// phase case, then the findings one a line. UTF-8; the driver converts it
// for the console.
#ifndef LPGM_CHECK_TEXT_REPORT_H_
#define LPGM_CHECK_TEXT_REPORT_H_

#include <string>

#include "check/check_result.h"

namespace lpgm::check {

std::string TextReport(const CheckResult& result);

// "error", "warning" or "note".
const char* SeverityName(Severity severity);

// Where a finding is, e.g. "case 3, cases\C3\加速度波形.acc:2"; empty when
// it is about no fault, case or file.
std::string FindingPlace(const Finding& finding);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_TEXT_REPORT_H_
