// The fast waveform-field conversions either decline a value or write the
// bytes of the exact general conversion; never anything else.
#include "record/fixed_fast.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "record/number_format.h"
#include "record_testing.h"

namespace lpgm {
namespace {

using ::lpgm::testing::Iterations;
using ::lpgm::testing::TestSeed;

struct Field {
  int width;
  int decimals;
  bool (*fast)(char*, double) noexcept;
  void (*entry)(char*, double) noexcept;
};
constexpr Field kF14_6{14, 6, TryFormatF14_6, FormatF14_6};
constexpr Field kF12_4{12, 4, TryFormatF12_4, FormatF12_4};

std::string General(const Field& f, double value) {
  std::string out(static_cast<std::size_t>(f.width), '?');
  FormatFixed(out.data(), f.width, f.decimals, value);
  return out;
}

// Checks one value: the fast path, when it takes the value, and the field's
// own entry point both give the general bytes. Returns whether the fast
// path took it.
bool CheckValue(const Field& f, double value) {
  const std::string expected = General(f, value);
  std::string fast(static_cast<std::size_t>(f.width), '?');
  const bool took = f.fast(fast.data(), value);
  if (took) {
    EXPECT_EQ(fast, expected) << "fast F" << f.width << "." << f.decimals
                              << " of " << std::hexfloat << value;
  } else {
    EXPECT_EQ(fast, std::string(static_cast<std::size_t>(f.width), '?'))
        << "a declined value must leave the field untouched";
  }
  std::string entry(static_cast<std::size_t>(f.width), '?');
  f.entry(entry.data(), value);
  EXPECT_EQ(entry, expected) << "F" << f.width << "." << f.decimals << " of "
                             << std::hexfloat << value;
  return took;
}

// The value and its neighbours a few units in the last place either side.
void CheckAround(const Field& f, double value) {
  double down = value, up = value;
  CheckValue(f, value);
  for (int k = 0; k < 4; ++k) {
    down = std::nextafter(down, -INFINITY);
    up = std::nextafter(up, INFINITY);
    CheckValue(f, down);
    CheckValue(f, up);
  }
}

std::vector<double> Boundaries(int decimals) {
  const double unit = std::pow(10.0, -decimals);
  std::vector<double> v = {0.0,
                           1.0,
                           0.5 * unit,
                           1.5 * unit,
                           2.5 * unit,  // ties and round to zero
                           0.0078125,
                           0.03125,
                           1.0 / 1024,
                           3.0 / 2048,
                           12345.0078125,
                           0.4 * unit,
                           0.6 * unit,
                           1e-300,
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(),
                           1e7,
                           1e7 - 0.5 * unit,
                           1e6,
                           1e6 - 0.5 * unit,
                           9999999.0,
                           999999.0,
                           1e8,
                           1e13,
                           1e15,
                           1e300,
                           std::numeric_limits<double>::max()};
  for (int p = -8; p <= 8; ++p) {
    const double power = std::pow(10.0, p);
    v.push_back(power);
    v.push_back(power - 0.5 * unit);
    v.push_back(power + 0.5 * unit);
  }
  for (int k = 1; k < 40; ++k) v.push_back((k + 0.5) * unit);
  return v;
}

TEST(FixedFastTest, MatchesTheGeneralConversionOnTheBoundaries) {
  for (const Field& f : {kF14_6, kF12_4}) {
    for (double value : Boundaries(f.decimals)) {
      CheckAround(f, value);
      CheckAround(f, -value);
    }
    for (double special : {INFINITY, -INFINITY, NAN, -NAN}) {
      char out[14] = {};
      EXPECT_FALSE(f.fast(out, special));
      CheckValue(f, special);
    }
  }
}

TEST(FixedFastTest, DeclinesExactTiesAndTakesOrdinaryValues) {
  char out[14];
  // Exact ties: 7812.5 millionths, 312.5 ten-thousandths.
  EXPECT_FALSE(TryFormatF14_6(out, 0.0078125));
  EXPECT_FALSE(TryFormatF12_4(out, 0.03125));
  // Not a tie in binary, but within the guard band of one.
  EXPECT_FALSE(TryFormatF14_6(out, -0.0000125));
  EXPECT_TRUE(TryFormatF14_6(out, -12.3456));
  EXPECT_EQ(std::string(out, 14), "    -12.345600");
  EXPECT_TRUE(TryFormatF12_4(out, 0.02 * 99999));
  EXPECT_EQ(std::string(out, 12), "   1999.9800");
  EXPECT_TRUE(TryFormatF14_6(out, -0.0));
  EXPECT_EQ(std::string(out, 14), "      0.000000");
  EXPECT_TRUE(TryFormatF14_6(out, -0.0000004));
  EXPECT_EQ(std::string(out, 14), "      0.000000");
  EXPECT_TRUE(TryFormatF14_6(out, 9999999.9999996));
  EXPECT_EQ(std::string(out, 14), "**************");
  EXPECT_TRUE(TryFormatF14_6(out, -999999.9999996));
  EXPECT_EQ(std::string(out, 14), "**************");
  EXPECT_TRUE(TryFormatF14_6(out, -999999.9999994));
  EXPECT_EQ(std::string(out, 14), "-999999.999999");
  EXPECT_FALSE(TryFormatF14_6(out, 1e7));
}

double RandomValue(std::mt19937_64& rng, int decimals) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double sign = rng() & 1 ? -1.0 : 1.0;
  switch (rng() % 5) {
    case 0:  // magnitudes spread over the field's range and past it
      return sign * std::pow(10.0, -9.0 + 17.0 * unit(rng));
    case 1:  // input-like values: 4 decimals, up to a few thousand
      return sign * static_cast<double>(rng() % 100000000) / 1e4;
    case 2: {  // a few units in the last place from a tie
      const double scale = std::pow(10.0, decimals);
      const double tie =
          (static_cast<double>(rng() % 10000000000ULL) + 0.5) / scale;
      const int steps = static_cast<int>(rng() % 9) - 4;
      double v = tie;
      for (int k = 0; k < std::abs(steps); ++k)
        v = std::nextafter(v, steps < 0 ? 0.0 : INFINITY);
      return sign * v;
    }
    case 3:  // any bit pattern: subnormals, huge values, NaN
      return std::bit_cast<double>(rng());
    default:  // sums as the integration makes them
      return sign * unit(rng) * 200.0 * 0.02 + unit(rng) * 1e-3;
  }
}

TEST(FixedFastTest, MatchesTheGeneralConversionOnRandomValues) {
  std::mt19937_64 rng(TestSeed());
  const long n = Iterations(1000000, 20);
  for (const Field& f : {kF14_6, kF12_4}) {
    long taken = 0;
    for (long i = 0; i < n && !HasFailure(); ++i) {
      taken += CheckValue(f, RandomValue(rng, f.decimals)) ? 1 : 0;
    }
    std::printf("[ checked  ] F%d.%d: %ld values, %ld by the fast path\n",
                f.width, f.decimals, n, taken);
    EXPECT_GT(taken, n / 2) << "the fast path should take most values";
  }
}

constexpr ColumnKernel kKernels[] = {ColumnKernel::kOneByOne,
                                     ColumnKernel::kSse2, ColumnKernel::kAvx2};

// Formats `values` as a column by `kernel` with a given stride and checks
// every field against the general conversion, the byte after each field
// (`after`, unless negative) and every other byte between the fields
// untouched.
void CheckColumn(ColumnKernel kernel, std::size_t stride,
                 const std::vector<double>& values, int after = -1) {
  std::string out(stride * values.size() + 1, '#');
  FormatF14_6ColumnWith(kernel, out.data(), stride, values.data(),
                        values.size(), after);
  std::string gap(stride - 14, '#');
  if (after >= 0) gap[0] = static_cast<char>(after);
  for (std::size_t i = 0; i < values.size() && !::testing::Test::HasFailure();
       ++i) {
    EXPECT_EQ(out.substr(i * stride, 14), General(kF14_6, values[i]))
        << "kernel " << static_cast<int>(kernel) << ", field " << i << " of "
        << values.size() << ": " << std::hexfloat << values[i];
    EXPECT_EQ(out.substr(i * stride + 14, stride - 14), gap);
  }
  EXPECT_EQ(out.back(), '#');
}

TEST(FixedFastTest, ColumnWritesEachFieldAtItsStrideAndNothingElse) {
  std::mt19937_64 rng(TestSeed());
  for (std::size_t stride : {14u, 15u, 331u}) {
    std::vector<double> values(300);
    for (double& v : values) v = RandomValue(rng, 6);
    values[0] = 0.0078125;  // an exact tie, left to the general path
    values[1] = NAN;
    values[2] = -INFINITY;
    std::string out(stride * values.size(), '#');
    FormatF14_6Column(out.data(), stride, values.data(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      EXPECT_EQ(out.substr(i * stride, 14), General(kF14_6, values[i]))
          << "value " << i << " " << std::hexfloat << values[i];
      EXPECT_EQ(out.substr(i * stride + 14, stride - 14),
                std::string(stride - 14, '#'));
    }
  }
}

// Values that a batch must leave to the one-at-a-time path, and values it
// takes that sit at the edges of its layout.
const double kDeclined[] = {
    0.0078125,  NAN,      -INFINITY,       INFINITY,
    1e7,        -1e6,     9999999.9999996, -999999.9999996,
    -0.0000005, 0.0000125};
const double kTaken[] = {-0.0,
                         0.0,
                         -0.0000004,
                         -0.0000006,
                         std::numeric_limits<double>::denorm_min(),
                         -std::numeric_limits<double>::min(),
                         9999999.9999994,
                         -999999.9999994,
                         0.9999994,
                         -0.9999996,
                         1234567.0000004,
                         -7.5000004};

TEST(FixedFastTest, EveryKernelHandlesEveryBatchPositionAndTail) {
  for (ColumnKernel kernel : kKernels) {
    if (!ColumnKernelAvailable(kernel)) continue;
    for (std::size_t n : {0u, 1u, 2u, 3u, 4u, 5u, 7u, 8u, 9u, 13u, 16u, 17u}) {
      std::vector<double> values(n);
      for (std::size_t i = 0; i < n; ++i)
        values[i] = -12.3456 * static_cast<double>(i + 1);
      CheckColumn(kernel, 15, values);
      CheckColumn(kernel, 16, values, ',');
      // One value of each kind in each position, the others ordinary.
      for (std::size_t at = 0; at < n; ++at) {
        for (double odd : kDeclined) {
          std::vector<double> with = values;
          with[at] = odd;
          CheckColumn(kernel, 15, with);
          CheckColumn(kernel, 15, with, '\r');
        }
      }
    }
  }
}

TEST(FixedFastTest, EveryKernelBlanksLeadingZerosAndPlacesTheSign) {
  std::vector<double> values(kTaken, kTaken + std::size(kTaken));
  // Every count of integer digits, either sign, fractions that carry.
  for (double power = 1; power <= 1e6; power *= 10) {
    for (double v : {power, power - 0.0000001, power + 0.123456,
                     power * 9.9999999, power - 0.5e-6 + 1e-9}) {
      values.push_back(v);
      values.push_back(-v);
    }
  }
  for (ColumnKernel kernel : kKernels) {
    if (!ColumnKernelAvailable(kernel)) continue;
    for (std::size_t stride : {14u, 15u, 40u}) {
      CheckColumn(kernel, stride, values);
      if (stride > 14) CheckColumn(kernel, stride, values, 0xFF);
    }
  }
}

TEST(FixedFastTest, EveryKernelMatchesTheGeneralConversionOnRandomColumns) {
  std::mt19937_64 rng(TestSeed());
  std::vector<double> values(static_cast<std::size_t>(Iterations(1 << 20, 20)));
  for (double& v : values) v = RandomValue(rng, 6);
  // Waveform-like runs: small values with full precision.
  std::uniform_real_distribution<double> wave(-400.0, 400.0);
  for (std::size_t i = 0; i < values.size(); i += 3) values[i] = wave(rng);
  for (ColumnKernel kernel : kKernels) {
    if (!ColumnKernelAvailable(kernel)) continue;
    CheckColumn(kernel, 15, values, ',');
    std::printf("[ checked  ] kernel %d: %zu values\n",
                static_cast<int>(kernel), values.size());
  }
}

}  // namespace
}  // namespace lpgm
