// The length of the longest acceleration record, which sets how many time
// lines the waveform files have.
#ifndef LPGM_COMPUTE_LONGEST_RECORD_H_
#define LPGM_COMPUTE_LONGEST_RECORD_H_

#include "state/run_state.h"

namespace lpgm {

// The largest of 0 and NPTS(1..NCASE).
int LongestRecord(const RunState& state);

// NPMAX = LongestRecord(state).
void ComputeLongestRecord(RunState& state);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_LONGEST_RECORD_H_
