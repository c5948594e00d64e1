#include "compute/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

namespace lpgm {
namespace {

std::vector<std::complex<double>> NaiveDft(const std::vector<double>& x,
                                           std::size_t n) {
  std::vector<std::complex<double>> out(n / 2 + 1);
  for (std::size_t k = 0; k <= n / 2; ++k) {
    std::complex<double> sum = 0.0;
    for (std::size_t j = 0; j < x.size(); ++j) {
      const double a = -2.0 * std::numbers::pi * static_cast<double>(j * k) /
                       static_cast<double>(n);
      sum += x[j] * std::complex<double>(std::cos(a), std::sin(a));
    }
    out[k] = sum;
  }
  return out;
}

// Random records of every power-of-two length from 4 to 1024, shorter than
// the length (so padded) or as long: the transform agrees with the plain
// sum, and the inverse gives the record back.
TEST(RealFftTest, AgreesWithTheDefiningSumAndInvertsAtEveryLength) {
  std::mt19937_64 rng(20261208);
  std::normal_distribution<double> normal(0.0, 100.0);
  for (std::size_t n = 4; n <= 1024; n *= 2) {
    for (const std::size_t m : {n, n / 2 + 1}) {
      std::vector<double> x(m);
      for (double& v : x) v = normal(rng);
      const RealFft fft(n);
      std::vector<std::complex<double>> spectrum;
      fft.Forward(x, spectrum);
      const auto expected = NaiveDft(x, n);
      ASSERT_EQ(spectrum.size(), expected.size());
      for (std::size_t k = 0; k < expected.size(); ++k)
        ASSERT_LT(std::abs(spectrum[k] - expected[k]),
                  1e-9 * 100.0 * static_cast<double>(n))
            << "n " << n << " k " << k;
      std::vector<double> back;
      fft.Inverse(spectrum, back);
      for (std::size_t j = 0; j < n; ++j)
        ASSERT_NEAR(back[j], j < m ? x[j] : 0.0, 1e-9) << "n " << n;
    }
  }
}

TEST(RealFftTest, RefusesLengthsThatAreNoPowerOfTwo) {
  EXPECT_THROW(RealFft(2), std::invalid_argument);
  EXPECT_THROW(RealFft(96), std::invalid_argument);
  EXPECT_EQ(NextPowerOfTwo(0), 4U);
  EXPECT_EQ(NextPowerOfTwo(100001), 131072U);
  EXPECT_EQ(NextPowerOfTwo(131072), 131072U);
}

}  // namespace
}  // namespace lpgm
