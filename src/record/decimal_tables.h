// The small tables of decimal conversion that the number readers and writers
// share: powers of ten, exact scaling by them and the two-digit texts of 00
// to 99.
#ifndef LPGM_RECORD_DECIMAL_TABLES_H_
#define LPGM_RECORD_DECIMAL_TABLES_H_

#include <cstdint>

namespace lpgm {

// kPow10[k] = 10^k for 0 <= k <= 19, every power that fits 64 bits.
inline constexpr std::uint64_t kPow10[20] = {1ULL,
                                             10ULL,
                                             100ULL,
                                             1000ULL,
                                             10000ULL,
                                             100000ULL,
                                             1000000ULL,
                                             10000000ULL,
                                             100000000ULL,
                                             1000000000ULL,
                                             10000000000ULL,
                                             100000000000ULL,
                                             1000000000000ULL,
                                             10000000000000ULL,
                                             100000000000000ULL,
                                             1000000000000000ULL,
                                             10000000000000000ULL,
                                             100000000000000000ULL,
                                             1000000000000000000ULL,
                                             10000000000000000000ULL};

// kExactPow10[k] = 10^k for 0 <= k <= 22, every power of ten a double
// holds exactly.
inline constexpr double kExactPow10[23] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// m * 10^scale for an exact double m and -22 <= scale <= 22: both operands
// are exact, so one multiplication or division rounds once.
inline double ScaleByExactPow10(double m, int scale) {
  return scale < 0 ? m / kExactPow10[-scale] : m * kExactPow10[scale];
}

// The two digits of v (0 to 99) are kDigitPairs[2 * v] and [2 * v + 1].
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536"
    "37383940414243444546474849505152535455565758596061626364656667686970717273"
    "7475767778798081828384858687888990919293949596979899";
static_assert(sizeof(kDigitPairs) == 201, "two digits for each of 00 to 99");

}  // namespace lpgm

#endif  // LPGM_RECORD_DECIMAL_TABLES_H_
