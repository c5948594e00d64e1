// The bank kernel four oscillators to a vector. This file alone is compiled
// for AVX2 (without FMA: the products and sums stay separate roundings); it
// runs only when the processor has it (platform::BestKernel).
#include <cstddef>

#include "compute/oscillator_bank.h"
#include "compute/oscillator_bank_body.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace lpgm {

#if defined(__AVX2__)

namespace {

struct Avx2Ops {
  using V = __m256d;
  static constexpr std::size_t kWidth = kAvx2Width;
  static V Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, V x) { _mm256_storeu_pd(p, x); }
  static V Splat(double x) { return _mm256_set1_pd(x); }
  static V Abs(V x) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), x); }
  static V Max(V x, V peak) { return _mm256_max_pd(x, peak); }
};

}  // namespace

void RunBankAvx2(const BankInput& input, const OscillatorBank& bank) {
  RunBankWith<Avx2Ops, kVectorsPerPass>(input, bank);
}

#else

// Not built for AVX2 (another processor): never chosen, as BestKernel()
// never answers kAvx2 there; the SSE2 body stands in.
void RunBankAvx2(const BankInput& input, const OscillatorBank& bank) {
  RunBankSse2(input, bank);
}

#endif

}  // namespace lpgm
