// The charts of the report, each a finished inline <svg> element, or an
// empty string when the result holds nothing to draw.
#ifndef LPGM_CHECK_REPORT_CHARTS_H_
#define LPGM_CHECK_REPORT_CHARTS_H_

#include <string>

#include "base/case_record.h"
#include "check/check_result.h"

namespace lpgm::check {

// Period against Sv, log-log: every fault that was read, labelled by its
// folder in a legend, and, once computed, the SRSS and the target bold.
std::string SpectraChart(const CheckResult& result);

// One bar per case that was read, in rank order (unranked cases after the
// ranked ones, by number), labelled with rank and folder, value at its end;
// the phase case's bar highlighted and marked.
std::string PeakVelocityChart(const CheckResult& result);

// The velocity waveform of every case that was read, one strip each on a
// common time axis and a common scale, each drawn to its own length; a
// strip whose PGV is under a fifth of the common scale, which that scale
// would flatten, on a scale of its own, marked with it and the common one.
// PGV marked with its value and time; the phase case's strip highlighted.
// Each line is reduced to the min and max of each column first.
std::string VelocityWaveformsChart(const CheckResult& result);

// The phase case's acceleration record with its PGA marked; empty without
// a phase case.
std::string PhaseAccelerationChart(const CheckResult& result);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_REPORT_CHARTS_H_
