// The findings that depend only on values already in the result: the ranges
// of accelerations and velocities, fields too wide for the output files,
// non-finite values, near ties and the phase case of an even count.
#ifndef LPGM_CHECK_FINDINGS_H_
#define LPGM_CHECK_FINDINGS_H_

#include <string>

#include "check/check_result.h"

namespace lpgm::check {

// Appends a finding to the result.
void AddFinding(CheckResult& result, std::string id, Severity severity,
                int fault, int case_number, std::string file, long line,
                std::string message);

// The findings on the cases' records and waveforms (acceleration-range,
// velocity-drift, non-finite, field-overflow, record-duration).
void AddCaseValueFindings(CheckResult& result);
// The findings on the faults' spectra and the target (non-finite,
// field-overflow).
void AddSpectrumValueFindings(CheckResult& result);
// The findings on the ranking (near-tie, even-cases); needs the ranks.
void AddRankingFindings(CheckResult& result);

// A number for a message: up to `decimals` decimals, or "NaN"/"Infinity".
std::string Number(double value, int decimals);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_FINDINGS_H_
