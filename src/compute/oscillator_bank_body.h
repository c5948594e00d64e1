// The body of the bank kernels, written once over the vector width and
// included by one source file per instruction set (oscillator_bank_sse2.cc,
// oscillator_bank_avx2.cc), each compiled for its own processor. Everything
// here has internal linkage, so the two compilations never mix.
#ifndef LPGM_COMPUTE_OSCILLATOR_BANK_BODY_H_
#define LPGM_COMPUTE_OSCILLATOR_BANK_BODY_H_

#include <cstddef>

#include "compute/oscillator_bank.h"
#include "compute/oscillator_step.h"

namespace lpgm {
namespace {  // NOLINT: one private copy per instruction set

// Ops is a vector type V with Load, Store, Splat, Abs and Max, where
// Max(x, peak) is std::max(peak, x) lane by lane (the second operand wins
// ties and NaN, as maxpd does).
template <typename Ops, std::size_t kVectors>
struct Coefficients {
  using V = typename Ops::V;
  V a11[kVectors], a12[kVectors], a21[kVectors], a22[kVectors];
  V b11[kVectors], b12[kVectors], b21[kVectors], b22[kVectors];
  V k_v[kVectors], k_u[kVectors];
};

// The state and peaks of kVectors vectors of oscillators. Every loop over
// the vectors is unrolled, so that all of it can live in registers.
template <typename Ops, std::size_t kVectors>
struct Lanes {
  using V = typename Ops::V;
  V u[kVectors], v[kVectors], sd[kVectors], sv[kVectors], sa[kVectors];
};

// One step with ground acceleration from g0 to g1, then the peaks.
template <typename Ops, std::size_t kVectors>
__attribute__((always_inline)) inline void Step(
    const Coefficients<Ops, kVectors>& c, Lanes<Ops, kVectors>& x, double g0,
    double g1) {
  using V = typename Ops::V;
  const V x0 = Ops::Splat(g0);
  const V x1 = Ops::Splat(g1);
#pragma GCC unroll 8
  for (std::size_t i = 0; i < kVectors; ++i) {
    const V u1 =
        c.a11[i] * x.u[i] + c.a12[i] * x.v[i] + c.b11[i] * x0 + c.b12[i] * x1;
    const V v1 =
        c.a21[i] * x.u[i] + c.a22[i] * x.v[i] + c.b21[i] * x0 + c.b22[i] * x1;
    x.u[i] = u1;
    x.v[i] = v1;
    x.sd[i] = Ops::Max(Ops::Abs(u1), x.sd[i]);
    x.sv[i] = Ops::Max(Ops::Abs(v1), x.sv[i]);
    x.sa[i] = Ops::Max(Ops::Abs(c.k_v[i] * v1 + c.k_u[i] * u1), x.sa[i]);
  }
}

template <typename Ops, std::size_t kVectors>
Coefficients<Ops, kVectors> LoadCoefficients(const OscillatorBank& bank,
                                             std::size_t first) {
  Coefficients<Ops, kVectors> c;
#pragma GCC unroll 8
  for (std::size_t i = 0; i < kVectors; ++i) {
    const std::size_t at = first + i * Ops::kWidth;
    c.a11[i] = Ops::Load(bank.a11 + at);
    c.a12[i] = Ops::Load(bank.a12 + at);
    c.a21[i] = Ops::Load(bank.a21 + at);
    c.a22[i] = Ops::Load(bank.a22 + at);
    c.b11[i] = Ops::Load(bank.b11 + at);
    c.b12[i] = Ops::Load(bank.b12 + at);
    c.b21[i] = Ops::Load(bank.b21 + at);
    c.b22[i] = Ops::Load(bank.b22 + at);
    c.k_v[i] = Ops::Load(bank.k_v + at);
    c.k_u[i] = Ops::Load(bank.k_u + at);
  }
  return c;
}

template <typename Ops, std::size_t kVectors>
void StorePeaks(const OscillatorBank& bank, std::size_t first,
                const Lanes<Ops, kVectors>& x) {
#pragma GCC unroll 8
  for (std::size_t i = 0; i < kVectors; ++i) {
    const std::size_t at = first + i * Ops::kWidth;
    Ops::Store(bank.sd + at, x.sd[i]);
    Ops::Store(bank.sv + at, x.sv[i]);
    Ops::Store(bank.sa + at, x.sa[i]);
  }
}

// The oscillators first to first + kVectors * width over the whole record.
template <typename Ops, std::size_t kVectors>
void RunPass(const BankInput& input, const OscillatorBank& bank,
             std::size_t first) {
  const Coefficients<Ops, kVectors> c =
      LoadCoefficients<Ops, kVectors>(bank, first);
  Lanes<Ops, kVectors> x;
#pragma GCC unroll 8
  for (std::size_t i = 0; i < kVectors; ++i)
    x.u[i] = x.v[i] = x.sd[i] = x.sv[i] = x.sa[i] = Ops::Splat(0.0);
  double previous = 0.0;
  if (input.substeps == 1) {
    for (std::size_t j = 0; j < input.n; ++j) {
      const double current = input.acc[j];
      Step(c, x, previous, current);
      previous = current;
    }
  } else {
    const int m = input.substeps;
    for (std::size_t j = 0; j < input.n; ++j) {
      const double current = input.acc[j];
      for (int k = 1; k <= m; ++k)
        Step(c, x, SubStepValue(previous, current, k - 1, m),
             SubStepValue(previous, current, k, m));
      previous = current;
    }
  }
  StorePeaks(bank, first, x);
}

// Passes of kVectors vectors (independent chains that keep the processor's
// arithmetic units busy), then the one or two vectors left over.
template <typename Ops, std::size_t kVectors>
void RunBankWith(const BankInput& input, const OscillatorBank& bank) {
  constexpr std::size_t kPass = Ops::kWidth * kVectors;
  std::size_t first = 0;
  for (; first + kPass <= bank.lanes; first += kPass)
    RunPass<Ops, kVectors>(input, bank, first);
  for (; first + 2 * Ops::kWidth <= bank.lanes; first += 2 * Ops::kWidth)
    RunPass<Ops, 2>(input, bank, first);
  for (; first + Ops::kWidth <= bank.lanes; first += Ops::kWidth)
    RunPass<Ops, 1>(input, bank, first);
}

}  // namespace
}  // namespace lpgm

#endif  // LPGM_COMPUTE_OSCILLATOR_BANK_BODY_H_
