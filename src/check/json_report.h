// The checker's --json output: one JSON object (UTF-8) with the definition
// file, every fault and case, the phase case and the findings.
#ifndef LPGM_CHECK_JSON_REPORT_H_
#define LPGM_CHECK_JSON_REPORT_H_

#include <string>

#include "check/check_result.h"

namespace lpgm::check {

// The object followed by a line feed.
std::string JsonReport(const CheckResult& result);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_JSON_REPORT_H_
