#include "record/number_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/kernel.h"
#include "record/fixed_fast.h"
#include "record_testing.h"

namespace lpgm {
namespace {

using ::lpgm::testing::Iterations;
using ::lpgm::testing::TestSeed;

std::string Integer(int width, std::int64_t value) {
  std::string out(static_cast<std::size_t>(width), '?');
  FormatInteger(out.data(), width, value);
  return out;
}

std::string Fixed(int width, int decimals, double value) {
  std::string out(static_cast<std::size_t>(width), '?');
  FormatFixed(out.data(), width, decimals, value);
  return out;
}

std::string Stars(int n) {
  return std::string(static_cast<std::size_t>(n), '*');
}

// The field built from glibc's exact "%.*f" by the written rules: right-
// justified, the 0 before the point dropped only when it does not fit, no
// minus sign on a zero result, asterisks when too wide.
std::string ReferenceFixed(int width, int decimals, double value) {
  std::string body;
  if (std::isnan(value)) {
    body = "NaN";
  } else if (std::isinf(value)) {
    body = value < 0 ? "-Infinity" : "Infinity";
  } else {
    char text[512];
    std::snprintf(text, sizeof text, "%#.*f", decimals, value);
    std::string digits = text;
    bool negative = digits[0] == '-';
    if (negative) digits.erase(0, 1);
    if (digits.find_first_not_of("0.") == std::string::npos) negative = false;
    body = (negative ? "-" : "") + digits;
    if (static_cast<int>(body.size()) > width && digits.rfind("0.", 0) == 0)
      body = (negative ? "-" : "") + digits.substr(1);
  }
  if (static_cast<int>(body.size()) > width) return Stars(width);
  return std::string(static_cast<std::size_t>(width) - body.size(), ' ') + body;
}

struct IntegerCase {
  int width;
  std::int64_t value;
  const char* expected;
};

TEST(FormatIntegerTest, RightJustifiesSignAndDigitsOrFillsAsterisks) {
  const IntegerCase kCases[] = {
      {2, 7, " 7"},
      {2, 21, "21"},
      {3, 5, "  5"},
      {2, 10, "10"},
      {2, 100, "**"},
      {3, 21, " 21"},
      {1, 0, "0"},
      {4, 0, "   0"},
      {3, -5, " -5"},
      {2, -5, "-5"},
      {1, -5, "*"},
      {2, -10, "**"},
      {3, -10, "-10"},
      {2, 99, "99"},
      {6, 990099, "990099"},
      {5, -9999, "-9999"},
      {4, -9999, "****"},
      {20, INT64_MAX, " 9223372036854775807"},
      {19, INT64_MAX, "9223372036854775807"},
      {18, INT64_MAX, "******************"},
      {20, INT64_MIN, "-9223372036854775808"},
      {19, INT64_MIN, "*******************"},
      {12, INT32_MIN, " -2147483648"},
  };
  for (const IntegerCase& c : kCases) {
    EXPECT_EQ(Integer(c.width, c.value), c.expected)
        << "I" << c.width << " of " << c.value;
  }
}

struct FixedCase {
  int width;
  int decimals;
  double value;
  std::string expected;
};

void CheckTable(const std::vector<FixedCase>& cases) {
  for (const FixedCase& c : cases) {
    EXPECT_EQ(Fixed(c.width, c.decimals, c.value), c.expected)
        << "F" << c.width << "." << c.decimals << " of " << c.value << " ("
        << std::hexfloat << c.value << ")";
  }
}

TEST(FormatFixedTest, WritesTheProgramsFields) {
  CheckTable({
      {12, 4, 0.02, "      0.0200"},
      {14, 6, -12.5, "    -12.500000"},
      {12, 4, 0.5, "      0.5000"},
      {12, 4, -0.5, "     -0.5000"},
      {12, 4, 1234567.12346, "1234567.1235"},
      {12, 4, -123456.12344, "-123456.1234"},
      {14, 6, 9999999.999999, "9999999.999999"},
      {14, 6, -999999.5, "-999999.500000"},
      {20, 0, 6000.0, "               6000."},
      {20, 0, -0.4, "                  0."},
      {5, 2, 0.99, " 0.99"},
      {6, 2, 99.99, " 99.99"},
  });
}

TEST(FormatFixedTest, FillsAsterisksWhenTooWide) {
  CheckTable({
      {14, 6, 1e7, Stars(14)},
      {14, 6, 12345678.9, Stars(14)},
      {14, 6, 9999999.9999996, Stars(14)},  // rounds up to 8 integer digits
      {14, 6, -1e6, Stars(14)},             // "-1000000.000000" is 15 wide
      {12, 4, -1000000.0, Stars(12)},
      {12, 4, 1e300, Stars(12)},
      {5, 4, -0.5, Stars(5)},
      {1, 0, 0.7, "*"},
      {2, 0, -0.7, "**"},
  });
}

TEST(FormatFixedTest, WritesNoMinusSignWhenTheValueRoundsToZero) {
  CheckTable({
      {14, 6, -4e-7, "      0.000000"},
      {14, 6, -4.9999e-7, "      0.000000"},
      {14, 6, -5.1e-7, "     -0.000001"},
      {12, 4, -0.0, "      0.0000"},
      {2, 0, -0.3, "0."},
      {3, 1, -0.04, "0.0"},
      {2, 1, -0.04, ".0"},
      {12, 4, -4.9406564584124654e-324, "      0.0000"},
  });
}

TEST(FormatFixedTest, DropsTheLeadingZeroOnlyWhenItDoesNotFit) {
  CheckTable({
      {5, 4, 0.5, ".5000"},
      {6, 4, 0.5, "0.5000"},
      {6, 4, -0.5, "-.5000"},
      {7, 4, -0.5, "-0.5000"},
      {2, 0, 0.3, "0."},
      {1, 0, 0.3, "."},
      {1, 0, 0.0, "."},
      {2, 0, 0.7, "1."},
      {3, 0, -0.7, "-1."},
      {6, 4, 0.99996, "1.0000"},  // rounds to 1: an integer digit
  });
}

TEST(FormatFixedTest, RoundsTheExactBinaryValueTiesToEven) {
  CheckTable({
      {6, 2, 0.125, "  0.12"},
      {6, 2, 0.375, "  0.38"},
      {6, 2, -0.125, " -0.12"},
      {6, 2, 0.625, "  0.62"},
      {2, 0, 0.5, "0."},
      {2, 0, 1.5, "2."},
      {2, 0, 2.5, "2."},
      {3, 0, -2.5, "-2."},
      {5, 0, 1234.5, "1234."},
      {5, 0, 1235.5, "1236."},
      {6, 2, 0.005, "  0.01"},  // the double is just above 0.005
      {6, 2, 1.005, "  1.00"},  // the double is just below 1.005
      {6, 1, 0.35, "   0.3"},   // just below 0.35
      {6, 1, 0.45, "   0.5"},   // just above 0.45
      {12, 4, 0.00005, "      0.0001"},
      {12, 4, 0.00015, "      0.0001"},  // just below 0.00015
  });
}

TEST(FormatFixedTest, WritesInfinityAndNanRightJustifiedOrAsterisks) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  CheckTable({
      {12, 4, inf, "    Infinity"},
      {12, 4, -inf, "   -Infinity"},
      {12, 4, nan, "         NaN"},
      {12, 4, -nan, "         NaN"},
      {8, 1, inf, "Infinity"},
      {7, 1, inf, Stars(7)},
      {9, 1, -inf, "-Infinity"},
      {8, 1, -inf, Stars(8)},
      {3, 1, nan, "NaN"},
      {2, 1, nan, "**"},
  });
}

TEST(FormatFixedTest, WritesSubnormalsAndHugeValuesExactly) {
  const std::string kDblMax =
      "17976931348623157081452742373170435679807056752584499659891747680315726"
      "07800285387605895586327668781715404589535143824642343213268894641827684"
      "67546703537516986049910576551282076245490090389328944075868508455133942"
      "30458323690322294816580855933212334827479782620414472316873817718091929"
      "9881250404026184124858368";
  ASSERT_EQ(kDblMax.size(), 309u);
  CheckTable({
      {310, 0, DBL_MAX, kDblMax + "."},
      {312, 1, DBL_MAX, " " + kDblMax + ".0"},
      {311, 0, -DBL_MAX, "-" + kDblMax + "."},
      {309, 0, DBL_MAX, Stars(309)},
      {310, 0, -DBL_MAX, Stars(310)},
      {32, 30, 4.9406564584124654e-324, "0.000000000000000000000000000000"},
      {32, 30, DBL_MIN, "0.000000000000000000000000000000"},
      {32, 30, 1e-30,
       "0.000000000000000000000000000001"},  // 1.00000000000000008e-30
      {33, 30, 0.1, " 0.100000000000000005551115123126"},
      {32, 29, -0.1, "-0.10000000000000000555111512313"},
      {31, 29, -0.1, "-.10000000000000000555111512313"},
      {20, 9, 1.0 / 3, "         0.333333333"},
      {20, 10, 1.0 / 3, "        0.3333333333"},
      {30, 9, 9007199254740991.0, "    9007199254740991.000000000"},
      {26, 9, 4503599627370495.5, "4503599627370495.500000000"},
      {20, 2, 9007199254740992.0, " 9007199254740992.00"},
      {25, 1, 1e22, "10000000000000000000000.0"},
      {25, 1, 1e23, "99999999999999991611392.0"},
  });
}

// --- Randomised comparison with glibc ------------------------------------

class FixedChecker {
 public:
  void Check(int width, int decimals, double value) {
    ++count_;
    char out[400];
    FormatFixed(out, width, decimals, value);
    std::string got(out, static_cast<std::size_t>(width));
    std::string want = ReferenceFixed(width, decimals, value);
    if (got != want && ++failures_ <= 20) {
      ADD_FAILURE() << "F" << width << "." << decimals << " of "
                    << std::hexfloat << value << " (" << std::defaultfloat
                    << std::setprecision(17) << value << "): got \"" << got
                    << "\", want \"" << want << "\"";
    }
  }
  long count() const { return count_; }

 private:
  long count_ = 0;
  long failures_ = 0;
};

double Pow10(int p) { return std::pow(10.0, p); }

// A value of one of the families that stress the conversion, for Fw.d.
double InterestingValue(std::mt19937_64& rng, int width, int decimals) {
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
  };
  auto nudge = [&](double v) {  // a few ulps either way
    int steps = static_cast<int>(rng() % 7) - 3;
    for (; steps > 0; --steps) v = std::nextafter(v, INFINITY);
    for (; steps < 0; ++steps) v = std::nextafter(v, -INFINITY);
    return v;
  };
  double sign = rng() & 1 ? -1.0 : 1.0;
  double half_unit = 0.5 * Pow10(-decimals);
  switch (rng() % 9) {
    case 0: {  // random bits, mostly of moderate exponent
      std::uint64_t bits = rng();
      if (rng() % 4 != 0) {
        bits = (bits & 0x800FFFFFFFFFFFFFULL) |
               (static_cast<std::uint64_t>(1023 - 60 + rng() % 90) << 52);
      }
      return std::bit_cast<double>(bits);
    }
    case 1:  // realistic magnitudes
      return sign * Pow10(static_cast<int>(rng() % 25) - 12) * uniform(1, 10);
    case 2:  // exact ties (2j+1) / 2^(d+1), and their neighbours
      return sign * nudge(std::ldexp(static_cast<double>(
                                         2 * (rng() >> (12 + rng() % 50)) + 1),
                                     -(decimals + 1)));
    case 3: {  // near k / 10^d and k.5 / 10^d
      double k = static_cast<double>(rng() >> (11 + rng() % 53));
      return sign * nudge((k + (rng() & 1 ? 0.5 : 0.0)) / Pow10(decimals));
    }
    case 4: {  // just under powers of ten, and at their rounding edges
      double p =
          Pow10(static_cast<int>(rng() % static_cast<unsigned>(width + 1)) -
                decimals);
      return sign * nudge(rng() & 1 ? p : p - half_unit);
    }
    case 5: {  // the asterisk limits of the field
      int room = width - 1 - decimals - (sign < 0 ? 1 : 0);
      double limit = (room >= 0 ? Pow10(room) : 1.0) - half_unit;
      return sign *
             (rng() & 1 ? nudge(limit) : limit * uniform(1 - 1e-9, 1 + 1e-9));
    }
    case 6:  // negatives that round to zero, or just not
      return rng() & 1 ? -uniform(0, 2 * half_unit) : -nudge(half_unit);
    case 7:  // whole numbers and values of few binary digits
      return sign * std::ldexp(static_cast<double>(rng() % 100000),
                               -static_cast<int>(rng() % 20));
    default:  // subnormals and huge values
      return sign * (rng() & 1
                         ? std::bit_cast<double>(rng() >> 12)
                         : std::ldexp(uniform(1, 2),
                                      900 + static_cast<int>(rng() % 124)));
  }
}

TEST(FormatFixedTest, MatchesGlibcOnRandomValues) {
  std::mt19937_64 rng(TestSeed());
  FixedChecker checker;
  const long n = Iterations(300000);
  const int kProgramFields[][2] = {{12, 4}, {14, 6}, {20, 0}};
  for (const auto& f : kProgramFields) {
    for (long i = 0; i < n; ++i)
      checker.Check(f[0], f[1], InterestingValue(rng, f[0], f[1]));
  }
  for (long i = 0; i < 2 * n; ++i) {
    int width = 1 + static_cast<int>(rng() % 40);
    int max_decimals = std::min(width - 1, rng() % 4 == 0 ? 30 : 9);
    int decimals =
        static_cast<int>(rng() % static_cast<unsigned>(max_decimals + 1));
    checker.Check(width, decimals, InterestingValue(rng, width, decimals));
  }
  std::printf("[ checked  ] %ld fields\n", checker.count());
}

// The waveform fields' own formatters take a branch-free path for most
// magnitudes; every value must give the bytes of the general conversion.
TEST(FormatFixedTest, WaveformFieldFormattersMatchTheGeneralOne) {
  std::mt19937_64 rng(TestSeed());
  const long n = Iterations(300000);
  long mismatches = 0;
  for (long i = 0; i < n; ++i) {
    for (int field = 0; field < 2; ++field) {
      const int width = field == 0 ? 12 : 14, decimals = field == 0 ? 4 : 6;
      double value = i % 3 == 0 ? std::bit_cast<double>(rng())
                                : InterestingValue(rng, width, decimals);
      char fast[14], general[14];
      if (field == 0) {
        FormatF12_4(fast, value);
      } else {
        FormatF14_6Column(platform::BestKernel(), fast, 14, &value, 1);
      }
      FormatFixed(general, width, decimals, value);
      if (std::memcmp(fast, general, static_cast<std::size_t>(width)) != 0 &&
          ++mismatches <= 5) {
        ADD_FAILURE() << "F" << width << "." << decimals << " of "
                      << std::hexfloat << value << ": ["
                      << std::string(fast, static_cast<std::size_t>(width))
                      << "] vs ["
                      << std::string(general, static_cast<std::size_t>(width))
                      << "]";
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(FormatIntegerTest, MatchesGlibcOnRandomValues) {
  std::mt19937_64 rng(TestSeed());
  const long n = Iterations(400000);
  long failures = 0;
  for (long i = 0; i < n; ++i) {
    std::int64_t value = static_cast<std::int64_t>(rng());
    switch (rng() % 4) {
      case 0:
        break;
      case 1:
        value >>= rng() % 64;
        break;
      case 2:
        value = static_cast<std::int64_t>(std::pow(10.0, rng() % 19)) -
                static_cast<std::int64_t>(rng() % 3);
        if (rng() & 1) value = -value;
        break;
      default:
        value %= 100000;
        break;
    }
    int width = 1 + static_cast<int>(rng() % 22);
    char text[32];
    int n_text = std::snprintf(text, sizeof text, "%" PRId64, value);
    std::string want =
        n_text > width
            ? Stars(width)
            : std::string(static_cast<std::size_t>(width - n_text), ' ') + text;
    std::string got = Integer(width, value);
    if (got != want && ++failures <= 20)
      ADD_FAILURE() << "I" << width << " of " << value << ": got \"" << got
                    << "\", want \"" << want << "\"";
  }
}

}  // namespace
}  // namespace lpgm
