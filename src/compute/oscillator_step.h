// The exact step of one damped oscillator over one time step, for ground
// acceleration linear within the step. Shared by the one-at-a-time reference
// and the banks of oscillators run side by side (oscillator_bank.h).
#ifndef LPGM_COMPUTE_OSCILLATOR_STEP_H_
#define LPGM_COMPUTE_OSCILLATOR_STEP_H_

namespace lpgm {

// With ground acceleration linear from a0 to a1 over the step:
//   u1 = a11 u0 + a12 v0 + b11 a0 + b12 a1
//   v1 = a21 u0 + a22 v0 + b21 a0 + b22 a1
// Every implementation evaluates these sums left to right, so that one
// oscillator gives the same bits on every kernel.
struct StepMatrix {
  double a11, a12, a21, a22;
  double b11, b12, b21, b22;
};

// The step of an oscillator of circular frequency `omega` and damping `h`
// (0 <= h < 1) over `dt`.
StepMatrix ExactStep(double omega, double h, double dt);

// The ground acceleration at sub-step point k of m (0 <= k <= m) between
// two samples: the samples themselves at both ends, exactly. Static: the
// AVX2 source compiles its own copy, which must never stand in for the
// others' (one shared inline copy could be the AVX2 one).
static inline double SubStepValue(double previous, double current, int k,
                                  int m) {
  if (k == 0) return previous;
  if (k == m) return current;
  return previous + (current - previous) * k / m;
}

// 2 pi / period.
double AngularFrequency(double period);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_OSCILLATOR_STEP_H_
