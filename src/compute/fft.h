// The discrete Fourier transform of real records, by an iterative radix-2
// transform of half the length over the samples taken in pairs. No I/O.
#ifndef LPGM_COMPUTE_FFT_H_
#define LPGM_COMPUTE_FFT_H_

#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace lpgm {

// The transform of real records of one length n, a power of two of at least
// 4, with its twiddle factors computed once.
//   X[k] = sum_j x[j] exp(-2 pi i j k / n),  k = 0 .. n/2
// (the other half is the conjugate mirror). The inverse takes those n/2 + 1
// values back to the n samples, scaled by 1/n so that Inverse(Forward(x))
// is x.
class RealFft {
 public:
  explicit RealFft(std::size_t n);

  std::size_t size() const { return n_; }

  // x: n samples (a shorter span is padded with zeros). out: n/2 + 1 values.
  void Forward(std::span<const double> x,
               std::vector<std::complex<double>>& out) const;
  // spectrum: n/2 + 1 values (the imaginary parts at 0 and n/2 are ignored).
  // out: the n samples.
  void Inverse(std::span<const std::complex<double>> spectrum,
               std::vector<double>& out) const;

 private:
  void Transform(std::vector<std::complex<double>>& z, bool inverse) const;

  std::size_t n_;
  std::size_t half_;
  std::vector<std::size_t> bit_reverse_;       // of the half-length FFT
  std::vector<std::complex<double>> twiddle_;  // exp(-2 pi i k / half)
  std::vector<std::complex<double>> unpack_;   // exp(-2 pi i k / n)
};

// The smallest power of two that is at least `n` and at least 4.
std::size_t NextPowerOfTwo(std::size_t n);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_FFT_H_
