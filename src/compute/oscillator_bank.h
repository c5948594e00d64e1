// Banks of oscillators stepped side by side over one record: the vector
// kernels of the response spectra. Each lane is one oscillator and does
// exactly the arithmetic of the one-at-a-time reference, in the same order,
// so every kernel gives the reference's bits.
#ifndef LPGM_COMPUTE_OSCILLATOR_BANK_H_
#define LPGM_COMPUTE_OSCILLATOR_BANK_H_

#include <cstddef>

namespace lpgm {

// The coefficients of `lanes` oscillators, one array per coefficient
// (`lanes` a multiple of the kernel's vector width; unused lanes repeat a
// real oscillator), and where their peaks go.
struct OscillatorBank {
  std::size_t lanes = 0;
  const double* a11;
  const double* a12;
  const double* a21;
  const double* a22;
  const double* b11;
  const double* b12;
  const double* b21;
  const double* b22;
  const double* k_v;  // 2 h w: Sa = |k_v v + k_u u|
  const double* k_u;  // w^2
  double* sd;
  double* sv;
  double* sa;
};

// The ground acceleration: n samples, taken at `substeps` points per step
// (1: the sample times).
struct BankInput {
  const double* acc;
  std::size_t n;
  int substeps;
};

// The vector widths, and the oscillators stepped together in one pass
// over the record.
inline constexpr std::size_t kSse2Width = 2;
inline constexpr std::size_t kAvx2Width = 4;
inline constexpr std::size_t kVectorsPerPass = 3;

void RunBankSse2(const BankInput& input, const OscillatorBank& bank);
void RunBankAvx2(const BankInput& input, const OscillatorBank& bank);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_OSCILLATOR_BANK_H_
