#include "compute/fft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace lpgm {

namespace {

std::complex<double> UnitRoot(std::size_t k, std::size_t n) {
  // Each factor from its own angle rather than by repeated multiplication,
  // so that the error does not grow along the table.
  const double angle =
      -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n);
  return {std::cos(angle), std::sin(angle)};
}

}  // namespace

std::size_t NextPowerOfTwo(std::size_t n) {
  std::size_t p = 4;
  while (p < n) p *= 2;
  return p;
}

RealFft::RealFft(std::size_t n) : n_(n), half_(n / 2) {
  if (n < 4 || (n & (n - 1)) != 0)
    throw std::invalid_argument("FFT length not a power of two >= 4");
  bit_reverse_.resize(half_);
  int bits = 0;
  while ((std::size_t{1} << bits) < half_) ++bits;
  for (std::size_t i = 0; i < half_; ++i) {
    std::size_t r = 0;
    for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1U) << (bits - 1 - b);
    bit_reverse_[i] = r;
  }
  twiddle_.resize(half_ / 2 + 1);
  for (std::size_t k = 0; k < twiddle_.size(); ++k)
    twiddle_[k] = UnitRoot(k, half_);
  unpack_.resize(half_ + 1);
  for (std::size_t k = 0; k <= half_; ++k) unpack_[k] = UnitRoot(k, n_);
}

// The complex transform of length half_ in place, decimation in time.
void RealFft::Transform(std::vector<std::complex<double>>& z,
                        bool inverse) const {
  for (std::size_t i = 0; i < half_; ++i) {
    const std::size_t r = bit_reverse_[i];
    if (i < r) std::swap(z[i], z[r]);
  }
  for (std::size_t len = 2; len <= half_; len *= 2) {
    const std::size_t step = half_ / len;
    const std::size_t mid = len / 2;
    for (std::size_t start = 0; start < half_; start += len) {
      for (std::size_t k = 0; k < mid; ++k) {
        std::complex<double> w = twiddle_[k * step];
        if (inverse) w = std::conj(w);
        const std::complex<double> a = z[start + k];
        const std::complex<double> b = z[start + k + mid] * w;
        z[start + k] = a + b;
        z[start + k + mid] = a - b;
      }
    }
  }
}

void RealFft::Forward(std::span<const double> x,
                      std::vector<std::complex<double>>& out) const {
  // Even samples as real parts, odd ones as imaginary parts.
  std::vector<std::complex<double>> z(half_);
  const std::size_t m = std::min(x.size(), n_);
  for (std::size_t j = 0; j < half_; ++j) {
    const double re = 2 * j < m ? x[2 * j] : 0.0;
    const double im = 2 * j + 1 < m ? x[2 * j + 1] : 0.0;
    z[j] = {re, im};
  }
  Transform(z, false);
  // Split into the transforms of the even and the odd samples, then join.
  out.assign(half_ + 1, {});
  for (std::size_t k = 0; k <= half_; ++k) {
    const std::complex<double> zk = z[k % half_];
    const std::complex<double> zm = std::conj(z[(half_ - k) % half_]);
    const std::complex<double> even = 0.5 * (zk + zm);
    const std::complex<double> odd =
        std::complex<double>(0.0, -0.5) * (zk - zm);
    out[k] = even + unpack_[k] * odd;
  }
}

void RealFft::Inverse(std::span<const std::complex<double>> spectrum,
                      std::vector<double>& out) const {
  if (spectrum.size() < half_ + 1)
    throw std::invalid_argument("spectrum shorter than n/2 + 1");
  std::vector<std::complex<double>> z(half_);
  for (std::size_t k = 0; k < half_; ++k) {
    const std::complex<double> xk =
        k == 0 ? std::complex<double>(spectrum[0].real(), 0.0) : spectrum[k];
    const std::complex<double> xm = std::conj(
        half_ - k == half_ ? std::complex<double>(spectrum[half_].real(), 0.0)
                           : spectrum[half_ - k]);
    const std::complex<double> even = 0.5 * (xk + xm);
    const std::complex<double> odd = 0.5 * (xk - xm) * std::conj(unpack_[k]);
    z[k] = even + std::complex<double>(0.0, 1.0) * odd;
  }
  Transform(z, true);
  out.resize(n_);
  const double scale = 1.0 / static_cast<double>(half_);
  for (std::size_t j = 0; j < half_; ++j) {
    out[2 * j] = z[j].real() * scale;
    out[2 * j + 1] = z[j].imag() * scale;
  }
}

}  // namespace lpgm
