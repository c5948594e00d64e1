// The common sample text, `[sign]digits[.digits]` of at most 15 characters
// with an optional short exponent, read without the general number
// grammar: the digit runs are found with one 16-byte mask and turned into a
// whole number eight digits at a time.
//
// Such a mantissa has at most 15 digits, so its digits make a whole number
// m below 10^15, and with a scale of at most 22 either way the value is one
// multiplication or division of exact doubles: correctly rounded, the same
// value NumberScanner gives for the same characters.
#ifndef LPGM_RECORD_PLAIN_DECIMAL_H_
#define LPGM_RECORD_PLAIN_DECIMAL_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define LPGM_PLAIN_DECIMAL_SSE2 1
#endif

#include "record/decimal_tables.h"
#include "record/number_parse.h"

namespace lpgm {

// Bytes that must be readable from a token's first byte on.
inline constexpr std::ptrdiff_t kPlainDecimalView = 32;

// Bit i is set when p[i] is a decimal digit, for i < 16; byte by byte.
inline std::uint32_t DigitMask16Scalar(const char* p) {
  std::uint32_t mask = 0;
  for (unsigned i = 0; i < 16; ++i) {
    if (p[i] >= '0' && p[i] <= '9') mask |= 1u << i;
  }
  return mask;
}

// The same mask, with SSE2 where the target has it. Bytes of 0x80 and above
// compare as negative, so they are no digits either way.
inline std::uint32_t DigitMask16(const char* p) {
#ifdef LPGM_PLAIN_DECIMAL_SSE2
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i ge = _mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1));
  const __m128i le = _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1));
  return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_and_si128(ge, le)));
#else
  return DigitMask16Scalar(p);
#endif
}

// Bit i is set when p[i] is a blank or a tab, for i < 16.
inline std::uint32_t BlankMask16(const char* p) {
#ifdef LPGM_PLAIN_DECIMAL_SSE2
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i blank = _mm_or_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8(' ')),
                                     _mm_cmpeq_epi8(c, _mm_set1_epi8('\t')));
  return static_cast<std::uint32_t>(_mm_movemask_epi8(blank));
#else
  std::uint32_t mask = 0;
  for (unsigned i = 0; i < 16; ++i) {
    if (p[i] == ' ' || p[i] == '\t') mask |= 1u << i;
  }
  return mask;
#endif
}

// The first byte of [p, end) that is no blank or tab, or end.
inline const char* SkipBlanks(const char* p, const char* end) {
  while (end - p >= 16) {
    const std::uint32_t other = ~BlankMask16(p) & 0xFFFFu;
    if (other != 0) return p + std::countr_zero(other);
    p += 16;
  }
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  return p;
}

namespace plain_decimal_internal {

// The value of the k digits (1 <= k <= 8) that are the first bytes of v, as
// loaded from memory on a little-endian target; the bytes after them are
// shifted out.
inline std::uint64_t EightDigitsValue(std::uint64_t v, unsigned k) {
  // Subtracting '0' borrows only upwards, into the bytes shifted out.
  v = (v - 0x3030303030303030ULL) << (8 * (8 - k));
  v = v * 10 + (v >> 8);
  return (((v & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
          (((v >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
         32;
}

// The value of the k digits at q (0 <= k <= 8). Eight bytes from q must be
// readable.
inline std::uint64_t DigitsValue(const char* q, unsigned k) {
  if (k == 0) return 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t v;
    std::memcpy(&v, q, 8);
    return EightDigitsValue(v, k);
  } else {
    std::uint64_t v = 0;
    for (unsigned i = 0; i < k; ++i)
      v = v * 10 + static_cast<unsigned>(q[i] - '0');
    return v;
  }
}

// The value of the k digits at q (0 <= k <= 15).
inline std::uint64_t RunValue(const char* q, unsigned k) {
  if (k <= 8) return DigitsValue(q, k);
  return DigitsValue(q, k - 8) * 100000000ULL + DigitsValue(q + k - 8, 8);
}

// The digits of the mantissa at q (`whole` digits, the point when `point`,
// `decimals` digits; at least one digit, at most 15) as one whole number.
// A mantissa of at most eight bytes is one load with the point cut out.
inline std::uint64_t MantissaValue(const char* q, unsigned whole, bool point,
                                   unsigned decimals) {
  if constexpr (std::endian::native == std::endian::little) {
    if (whole + decimals + (point ? 1u : 0u) <= 8) {
      std::uint64_t v;
      std::memcpy(&v, q, 8);
      if (point) {  // whole <= 7 here
        const std::uint64_t low = (std::uint64_t{1} << (8 * whole)) - 1;
        v = (v & low) | ((v >> 8) & ~low);
      }
      return EightDigitsValue(v, whole + decimals);
    }
  }
  return RunValue(q, whole) * kPow10[decimals] +
         RunValue(q + whole + 1, decimals);
}

// The exponent at q, if any: E or D in either case and an optional sign,
// or a sign alone, then one to four digits. Returns the characters taken (0
// when there is no exponent) and sets *exponent; returns -1 for an exponent
// left to the general grammar (none of its digits, or more than four).
inline int ShortExponent(const char* q, int* exponent) {
  int n = 0;
  const char c = q[0];
  if (c == 'E' || c == 'e' || c == 'D' || c == 'd') ++n;
  const bool negative = q[n] == '-';
  if (negative || q[n] == '+') {
    ++n;
  } else if (n == 0) {
    *exponent = 0;
    return 0;
  }
  int value = 0;
  const int first = n;
  for (; n - first < 5 && q[n] >= '0' && q[n] <= '9'; ++n)
    value = value * 10 + (q[n] - '0');
  if (n == first || n - first > 4) return -1;
  *exponent = negative ? -value : value;
  return n;
}

}  // namespace plain_decimal_internal

// Reads `[sign]digits[.digits]` at p, with at least one digit, when it ends
// before p[15], and the short exponent that may follow it, when the value
// is m * 10^scale with -22 <= scale <= 22. Returns its length and sets *value,
// or returns 0 for any other text (which the general grammar then reads).
// kPlainDecimalView bytes from p must be readable; the byte that ends the token
// is not looked at beyond the digit test.
inline std::size_t ScanPlainDecimal(const char* p, double* value) {
  const bool negative = p[0] == '-';
  const unsigned sign = negative || p[0] == '+' ? 1 : 0;
  // Bit 16 stands for whatever follows the 16 bytes.
  const std::uint32_t other = ~DigitMask16(p) | 0x10000u;
  const unsigned int_end =
      sign + static_cast<unsigned>(std::countr_zero(other >> sign));
  if (int_end >= 16) return 0;
  unsigned end = int_end;
  unsigned decimals = 0;
  if (p[int_end] == '.') {
    end = int_end + 1 +
          static_cast<unsigned>(std::countr_zero(other >> (int_end + 1)));
    decimals = end - int_end - 1;
  }
  if (end >= 16) return 0;
  const unsigned int_digits = int_end - sign;
  if (int_digits + decimals == 0) return 0;
  int exponent;
  const int exponent_length =
      plain_decimal_internal::ShortExponent(p + end, &exponent);
  if (exponent_length < 0) return 0;
  const std::uint64_t m = plain_decimal_internal::MantissaValue(
      p + sign, int_digits, p[int_end] == '.', decimals);
  const std::int64_t scale = std::int64_t{exponent} - decimals;
  // The sign is put on without a branch: it changes from sample to sample,
  // and a mispredicted branch costs more than the rest of the conversion.
  double magnitude;
  if (!ExactSmallDecimal(false, m, scale, &magnitude)) return 0;
  *value = std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude) |
                                 std::uint64_t{negative} << 63);
  return end + static_cast<unsigned>(exponent_length);
}

}  // namespace lpgm

#endif  // LPGM_RECORD_PLAIN_DECIMAL_H_
