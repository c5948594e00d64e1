// Measuring what a filter does, for the tests of the design and the
// resampling.
#ifndef LPGM_TESTS_PREPARE_FILTER_RESPONSE_H_
#define LPGM_TESTS_PREPARE_FILTER_RESPONSE_H_

#include <cmath>
#include <complex>
#include <cstddef>
#include <numbers>
#include <span>
#include <vector>

namespace lpgm::prepare::testing {

// |H(f)| of the taps at the sampling rate `rate_hz`, by direct summation.
inline double Gain(std::span<const double> taps, double f_hz, double rate_hz) {
  std::complex<double> sum = 0.0;
  for (std::size_t n = 0; n < taps.size(); ++n) {
    double phase =
        -2.0 * std::numbers::pi * f_hz * static_cast<double>(n) / rate_hz;
    sum += taps[n] * std::polar(1.0, phase);
  }
  return std::abs(sum);
}

// n samples of amplitude * sin(2 pi f t + phase) at step dt.
inline std::vector<double> Sine(std::size_t n, double f_hz, double dt,
                                double amplitude = 1.0, double phase = 0.0) {
  std::vector<double> x(n);
  for (std::size_t j = 0; j < n; ++j)
    x[j] = amplitude * std::sin(2.0 * std::numbers::pi * f_hz *
                                    static_cast<double>(j) * dt +
                                phase);
  return x;
}

}  // namespace lpgm::prepare::testing

#endif  // LPGM_TESTS_PREPARE_FILTER_RESPONSE_H_
