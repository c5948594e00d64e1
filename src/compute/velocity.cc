#include "compute/velocity.h"

#include <cmath>
#include <cstddef>

namespace lpgm {

void ComputeVelocities(RunState& state) {
  const double half_step = state.DT * 0.5;
  for (int i = 1; i <= state.NCASE; ++i) {
    double& vmax = state.VMAX(i);
    vmax = 0.0;
    const int n = state.NPTS(i);
    if (n <= 0) continue;
    CheckIndex(n, kSampleCapacity);
    // Bounds checked once above; the loop walks case i's column directly.
    const double* acc = state.AccColumn(i);
    double* vel = state.VelColumn(i);
    double previous = half_step * acc[0];
    vel[0] = previous;
    if (std::fabs(previous) >= vmax) vmax = std::fabs(previous);
    for (std::size_t j = 1; j < static_cast<std::size_t>(n); ++j) {
      double a = acc[j];
      double a_before = acc[j - 1];
      double v = (a + a_before) * half_step + previous;
      vel[j] = v;
      double magnitude = std::fabs(v);
      if (magnitude >= vmax) vmax = magnitude;
      previous = v;
    }
  }
}

}  // namespace lpgm
