// The target velocity spectrum: at each period point, the square root of the
// sum of the squares of the faults' spectra, divided by 1.1.
#ifndef LPGM_COMPUTE_TARGET_SPECTRUM_H_
#define LPGM_COMPUTE_TARGET_SPECTRUM_H_

#include "state/run_state.h"

namespace lpgm {

// SVTGT(j) = sqrt(SVF(1,j)^2 + ... + SVF(NFAULT,j)^2) / 1.1 for j = 1..NPER,
// each square added to the running sum in fault order, a true division last.
void ComputeTargetSpectrum(RunState& state);

// The square root of the sum of the squares of SVF(1..NFAULT, j), each
// square added to the running sum in fault order.
double SrssAt(const RunState& state, int j);

// The value that ComputeTargetSpectrum stores in SVTGT(j): SrssAt(state, j)
// divided by 1.1.
double TargetSpectrumAt(const RunState& state, int j);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_TARGET_SPECTRUM_H_
