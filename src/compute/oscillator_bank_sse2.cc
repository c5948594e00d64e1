// The bank kernel two oscillators to a vector (SSE2, the x86-64 baseline;
// elsewhere the compiler's own lowering of the same vectors).
#include <cstddef>

#include "compute/oscillator_bank.h"
#include "compute/oscillator_bank_body.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lpgm {

namespace {

struct Sse2Ops {
  using V = double __attribute__((vector_size(16)));
  static constexpr std::size_t kWidth = kSse2Width;
  static V Load(const double* p) {
    V x;
    __builtin_memcpy(&x, p, sizeof x);
    return x;
  }
  static void Store(double* p, V x) { __builtin_memcpy(p, &x, sizeof x); }
  static V Splat(double x) { return V{x, x}; }
#if defined(__SSE2__)
  static V Abs(V x) { return _mm_andnot_pd(_mm_set1_pd(-0.0), x); }
  static V Max(V x, V peak) { return _mm_max_pd(x, peak); }
#else
  static V Abs(V x) { return V{__builtin_fabs(x[0]), __builtin_fabs(x[1])}; }
  static V Max(V x, V peak) {
    return V{peak[0] < x[0] ? x[0] : peak[0], peak[1] < x[1] ? x[1] : peak[1]};
  }
#endif
};

}  // namespace

void RunBankSse2(const BankInput& input, const OscillatorBank& bank) {
  RunBankWith<Sse2Ops, kVectorsPerPass>(input, bank);
}

}  // namespace lpgm
