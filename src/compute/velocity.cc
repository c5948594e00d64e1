#include "compute/velocity.h"

#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace lpgm {

namespace {

// The integration of acc[0..n-1] with its peak; the velocities go to out
// when kStore is set. Each acceleration is read before the velocity of its
// sample is stored, so out may be acc itself.
template <bool kStore>
double Integrate(const double* acc, std::size_t n, double dt, double* out) {
  // vmax takes |v| when it is larger: an equal |v| is the same number, and
  // a NaN compares false and is never taken. Written as `vmax < |v|` so
  // that it compiles to one maximum instruction off the velocity's chain.
  double vmax = 0.0;
  if (n == 0) return vmax;
  const double half_step = dt * 0.5;
  double earlier = acc[0];
  double previous = half_step * earlier;
  if constexpr (kStore) out[0] = previous;
  if (vmax < std::fabs(previous)) vmax = std::fabs(previous);
  for (std::size_t j = 1; j < n; ++j) {
    const double a = acc[j];
    double v = (a + earlier) * half_step + previous;
    if constexpr (kStore) out[j] = v;
    const double magnitude = std::fabs(v);
    vmax = vmax < magnitude ? magnitude : vmax;
    previous = v;
    earlier = a;
  }
  return vmax;
}

// Case i's sample count, checked against the table, or 0 for none.
std::size_t SampleCount(const RunState& state, int case_number) {
  const int n = state.NPTS(case_number);
  if (n <= 0) return 0;
  CheckIndex(n, kSampleCapacity);
  return static_cast<std::size_t>(n);
}

}  // namespace

double IntegrateRecord(std::span<const double> acc, double dt,
                       std::span<double> vel) {
  if (vel.size() < acc.size())
    throw std::out_of_range("velocity column shorter than the record");
  return Integrate<true>(acc.data(), acc.size(), dt, vel.data());
}

void ComputeVelocity(RunState& state, int case_number) {
  // Bounds checked once here; the integration walks the case's column.
  const std::size_t count = SampleCount(state, case_number);
  const RunState& in = state;
  state.VMAX(case_number) = Integrate<true>(
      in.AccColumn(case_number), count, state.DT, state.VelColumn(case_number));
}

void ComputePeakVelocity(RunState& state, int case_number) {
  const std::size_t count = SampleCount(state, case_number);
  const RunState& in = state;
  state.VMAX(case_number) =
      Integrate<false>(in.AccColumn(case_number), count, state.DT, nullptr);
}

void TurnAccelerationsIntoVelocities(RunState& state) {
  CheckIndex(state.NCASE, kCaseSlots);
  for (int i = 1; i <= state.NCASE; ++i) {
    double* column = state.AccColumn(i);
    Integrate<true>(column, SampleCount(state, i), state.DT, column);
  }
}

void ComputeVelocities(RunState& state) {
  for (int i = 1; i <= state.NCASE; ++i) ComputeVelocity(state, i);
}

}  // namespace lpgm
