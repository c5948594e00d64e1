// Velocity waveforms by trapezoidal integration from rest, and their peaks.
#ifndef LPGM_COMPUTE_VELOCITY_H_
#define LPGM_COMPUTE_VELOCITY_H_

#include <span>

#include "state/run_state.h"

namespace lpgm {

// For cases 1 to NCASE:
//   VEL(i,1) = (DT * 0.5) * ACC(i,1)
//   VEL(i,j) = (ACC(i,j) + ACC(i,j-1)) * (DT * 0.5) + VEL(i,j-1)
// and VMAX(i) the largest |VEL(i,j)|, taken with >= so that a NaN is never
// taken (VMAX is never NaN nor negative). Nothing for NPTS(i) <= 0.
void ComputeVelocities(RunState& state);

// The same for case `case_number` alone; it touches only that case's
// column of VEL and its VMAX, so two cases can be done at once.
void ComputeVelocity(RunState& state, int case_number);

// VMAX(case_number) alone, as ComputeVelocity gives it; VEL is not touched.
void ComputePeakVelocity(RunState& state, int case_number);

// For cases 1 to NCASE, the ACC column becomes what ComputeVelocity would
// have put into the VEL column (the same arithmetic, bit for bit). For a run
// that needs the accelerations no more: the velocities then take no memory
// of their own.
void TurnAccelerationsIntoVelocities(RunState& state);

// One case's integration as above: vel[0..n-1] from acc[0..n-1] and the time
// step `dt`; returns the peak |vel| (0.0 when n is 0). `vel` may be `acc`
// itself.
double IntegrateRecord(std::span<const double> acc, double dt,
                       std::span<double> vel);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_VELOCITY_H_
