#include "compute/velocity.h"

#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace lpgm {

double IntegrateRecord(std::span<const double> acc, double dt,
                       std::span<double> vel) {
  if (vel.size() < acc.size())
    throw std::out_of_range("velocity column shorter than the record");
  double vmax = 0.0;
  if (acc.empty()) return vmax;
  const double half_step = dt * 0.5;
  double previous = half_step * acc[0];
  vel[0] = previous;
  if (std::fabs(previous) >= vmax) vmax = std::fabs(previous);
  for (std::size_t j = 1; j < acc.size(); ++j) {
    double v = (acc[j] + acc[j - 1]) * half_step + previous;
    vel[j] = v;
    double magnitude = std::fabs(v);
    if (magnitude >= vmax) vmax = magnitude;
    previous = v;
  }
  return vmax;
}

void ComputeVelocity(RunState& state, int case_number) {
  const int n = state.NPTS(case_number);
  if (n <= 0) {
    state.VMAX(case_number) = 0.0;
    return;
  }
  CheckIndex(n, kSampleCapacity);
  // Bounds checked once above; the integration walks the case's column.
  const std::size_t count = static_cast<std::size_t>(n);
  const RunState& in = state;
  state.VMAX(case_number) =
      IntegrateRecord({in.AccColumn(case_number), count}, state.DT,
                      {state.VelColumn(case_number), count});
}

void ComputeVelocities(RunState& state) {
  for (int i = 1; i <= state.NCASE; ++i) ComputeVelocity(state, i);
}

}  // namespace lpgm
