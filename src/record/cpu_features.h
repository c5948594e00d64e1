// What the processor offers beyond the baseline the program is built for,
// asked once, for the code paths that are chosen when the program runs.
#ifndef LPGM_RECORD_CPU_FEATURES_H_
#define LPGM_RECORD_CPU_FEATURES_H_

namespace lpgm {

// Whether code built for AVX2, BMI1 and BMI2 may run on this processor
// (and the system saves the AVX registers). False off x86-64.
inline bool HaveAvx2() {
#if defined(__GNUC__) && defined(__x86_64__)
  static const bool have = __builtin_cpu_supports("avx2") &&
                           __builtin_cpu_supports("bmi") &&
                           __builtin_cpu_supports("bmi2");
  return have;
#else
  return false;
#endif
}

}  // namespace lpgm

#endif  // LPGM_RECORD_CPU_FEATURES_H_
