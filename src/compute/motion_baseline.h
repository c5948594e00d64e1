// Baseline corrections of a ground acceleration record, so that its velocity
// and displacement end near zero, and the velocity and displacement
// waveforms they are judged on. No I/O.
//
// Velocity and displacement are integrated by the trapezoid from rest, the
// acceleration taken as 0 one step before the first sample (as lpgm's
// velocity waveforms are): v[0] = dt/2 a[0].
#ifndef LPGM_COMPUTE_MOTION_BASELINE_H_
#define LPGM_COMPUTE_MOTION_BASELINE_H_

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace lpgm {

enum class MotionBaseline {
  kNone,  // the record as it is
  // The smallest correction, in the least-squares sense over the samples,
  // that brings the end velocity and the end displacement to zero: an
  // acceleration c0 + c1 t subtracted from the record (the functionals
  // "end velocity" and "end displacement" are sums of the samples with
  // weights constant and linear in time, so the least correction lies in
  // their span). A period as long as the record, far beyond a target band.
  kEnds,
  // A polynomial of degree 3 fitted by least squares to the displacement
  // waveform, its second derivative taken off the acceleration; then kEnds
  // for what remains at the end. Removes a slow drift spread over the whole
  // record, not only its end.
  kPolynomial,
};

// "none", "ends", "poly"; nullopt for anything else.
std::optional<MotionBaseline> ParseMotionBaseline(std::string_view name);
std::string_view MotionBaselineName(MotionBaseline baseline);

// The trapezoid integral of `x` as described above.
std::vector<double> IntegrateTrapezoid(std::span<const double> x, double dt);

// `acc` with `baseline` applied (sample step dt > 0).
std::vector<double> CorrectBaseline(std::span<const double> acc, double dt,
                                    MotionBaseline baseline);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_MOTION_BASELINE_H_
