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

#include "platform/kernel.h"
#include "record/number_format.h"
#include "record_testing.h"

namespace lpgm {
namespace {

using ::lpgm::testing::Iterations;
using ::lpgm::testing::TestSeed;

struct Field {
  int width;
  int decimals;
  void (*format)(char*, double) noexcept;
};
// F14.6 has no entry of its own but the column: a column of one value.
void FormatF14_6Alone(char* out, double value) noexcept {
  FormatF14_6Column(platform::Kernel::kScalar, out, 14, &value, 1);
}
constexpr Field kF14_6{14, 6, FormatF14_6Alone};
constexpr Field kF12_4{12, 4, FormatF12_4};

std::string General(const Field& f, double value) {
  std::string out(static_cast<std::size_t>(f.width), '?');
  FormatFixed(out.data(), f.width, f.decimals, value);
  return out;
}

std::string Fast(const Field& f, double value) {
  std::string out(static_cast<std::size_t>(f.width), '?');
  f.format(out.data(), value);
  return out;
}

// The fast path, whether it takes the value or leaves it to the exact
// conversion, gives the exact bytes.
void CheckValue(const Field& f, double value) {
  EXPECT_EQ(Fast(f, value), General(f, value))
      << "F" << f.width << "." << f.decimals << " of " << std::hexfloat
      << value;
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
    for (double special : {INFINITY, -INFINITY, NAN, -NAN})
      CheckValue(f, special);
  }
}

// Exact ties and values within the guard band of one (left to the exact
// conversion), and values at the edges of the fields' layout.
TEST(FixedFastTest, WritesTiesAndTheEdgesOfTheLayout) {
  struct Case {
    const Field& field;
    double value;
    const char* text;
  };
  const Case kCases[] = {
      {kF14_6, 0.0078125, "      0.007812"},  // 7812.5 millionths
      {kF12_4, 0.03125, "      0.0312"},      // 312.5 ten-thousandths
      {kF14_6, -0.0000125, "     -0.000013"},
      {kF14_6, -12.3456, "    -12.345600"},
      {kF12_4, 0.02 * 99999, "   1999.9800"},
      {kF14_6, -0.0, "      0.000000"},
      {kF14_6, -0.0000004, "      0.000000"},
      {kF14_6, 9999999.9999996, "**************"},
      {kF14_6, -999999.9999996, "**************"},
      {kF14_6, -999999.9999994, "-999999.999999"},
      {kF14_6, 1e7, "**************"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Fast(c.field, c.value), c.text) << c.value;
    CheckValue(c.field, c.value);
  }
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
    for (long i = 0; i < n && !HasFailure(); ++i)
      CheckValue(f, RandomValue(rng, f.decimals));
  }
}

constexpr platform::Kernel kKernels[] = {platform::Kernel::kScalar,
                                         platform::Kernel::kSse2,
                                         platform::Kernel::kAvx2};

// Formats `values` as a column by `kernel` with a given stride and checks
// every field against the general conversion, the byte after each field
// (`after`, unless negative) and every other byte between the fields
// untouched.
void CheckColumn(platform::Kernel kernel, std::size_t stride,
                 const std::vector<double>& values, int after = -1) {
  std::string out(stride * values.size() + 1, '#');
  FormatF14_6Column(kernel, out.data(), stride, values.data(), values.size(),
                    after);
  std::string gap(stride - 14, '#');
  if (after >= 0) gap[0] = static_cast<char>(after);
  for (std::size_t i = 0; i < values.size() && !::testing::Test::HasFailure();
       ++i) {
    EXPECT_EQ(out.substr(i * stride, 14), General(kF14_6, values[i]))
        << "kernel " << platform::KernelName(kernel) << ", field " << i
        << " of " << values.size() << ": " << std::hexfloat << values[i];
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
    FormatF14_6Column(platform::BestKernel(), out.data(), stride, values.data(),
                      values.size());
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
  for (platform::Kernel kernel : kKernels) {
    if (!platform::KernelRuns(kernel)) continue;
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
  for (platform::Kernel kernel : kKernels) {
    if (!platform::KernelRuns(kernel)) continue;
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
  for (platform::Kernel kernel : kKernels) {
    if (!platform::KernelRuns(kernel)) continue;
    CheckColumn(kernel, 15, values, ',');
    std::printf("[ checked  ] kernel %s: %zu values\n",
                std::string(platform::KernelName(kernel)).c_str(),
                values.size());
  }
}

}  // namespace
}  // namespace lpgm
