// Trapezoidal integration of an acceleration record from rest at a fixed
// step, in the operation order of the velocity waveforms of a run.
#ifndef LPGM_COMPUTE_TRAPEZOID_H_
#define LPGM_COMPUTE_TRAPEZOID_H_

#include <cmath>
#include <cstddef>
#include <span>

namespace lpgm {

struct VelocityPeak {
  double peak = 0.0;  // largest |v|, never NaN nor negative
  double last = 0.0;  // the velocity at the last sample (0 for no sample)
};

// v(1) = (dt * 0.5) * a(1); v(j) = (a(j) + a(j-1)) * (dt * 0.5) + v(j-1);
// the peak taken with >= so that a NaN velocity is never taken. With
// dt = 0.02 this is VMAX of the record, bit for bit.
inline VelocityPeak IntegrateFromRest(std::span<const double> acc, double dt) {
  VelocityPeak result;
  if (acc.empty()) return result;
  const double half_step = dt * 0.5;
  double previous = half_step * acc[0];
  if (std::fabs(previous) >= result.peak) result.peak = std::fabs(previous);
  for (std::size_t j = 1; j < acc.size(); ++j) {
    double v = (acc[j] + acc[j - 1]) * half_step + previous;
    double magnitude = std::fabs(v);
    if (magnitude >= result.peak) result.peak = magnitude;
    previous = v;
  }
  result.last = previous;
  return result;
}

}  // namespace lpgm

#endif  // LPGM_COMPUTE_TRAPEZOID_H_
