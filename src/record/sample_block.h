// Free-form sample text taken 64 bytes at a time: every byte of a block is
// classified once into bit masks (separators, record ends and commas,
// points, and bytes that are no digit or point), the tokens are found
// between the separator bits, and a token of the plain form
// `[sign]digits[.digits][letter[sign]digits]` is turned into its value from
// the masks and the bytes, eight digits a load. The digit and exponent
// tricks of the fast read live here and nowhere else.
//
// A plain token has at most eight digits before and eight after the point,
// fifteen in all, and an exponent of one to four digits, so its digits make
// a whole number m below 10^15 and, with a scale of at most 22 either way,
// the value is one multiplication or division of exact doubles: correctly
// rounded, the same value NumberScanner gives for the same characters. Any
// other token is left to the caller, which reads it with NumberScanner.
#ifndef LPGM_RECORD_SAMPLE_BLOCK_H_
#define LPGM_RECORD_SAMPLE_BLOCK_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define LPGM_SAMPLE_BLOCK_SSE2 1
#endif
// AVX2 is used when the caller passes platform::Kernel::kAvx2.
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define LPGM_SAMPLE_BLOCK_AVX2 1
#endif

#include "platform/kernel.h"
#include "record/decimal_tables.h"

namespace lpgm {

inline constexpr std::ptrdiff_t kBlockBytes = 64;
// Bytes that must be readable from a block's first byte on: the block and
// the eight-byte loads of a token that ends inside it.
inline constexpr std::ptrdiff_t kBlockView = kBlockBytes + 16;
static_assert(kBlockView > kBlockBytes, "the byte after a block is compared");

// Bit i of each mask stands for byte i of the block.
struct BlockMasks {
  // Blanks, tabs, commas, line feeds, and carriage returns directly before
  // a line feed (a carriage return alone is data).
  std::uint64_t separator;
  // The separators that are more than a blank: commas and line feeds (one
  // for each record end).
  std::uint64_t special;
  // Bytes that are no separator, digit or point: signs, exponent letters
  // and anything else.
  std::uint64_t other;
  std::uint64_t point;
};

namespace sample_block_internal {

inline BlockMasks ClassifyScalar(const char* b) {
  BlockMasks m{};
  for (unsigned i = 0; i < kBlockBytes; ++i) {
    const char c = b[i];
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (c == ',' || c == '\n') m.special |= bit;
    if (c == ' ' || c == '\t' || c == ',' || c == '\n' ||
        (c == '\r' && b[i + 1] == '\n'))
      m.separator |= bit;
    if ((c >= '0' && c <= '9') || c == '.') m.other |= bit;
    if (c == '.') m.point |= bit;
  }
  m.other = ~(m.other | m.separator);
  return m;
}

#ifdef LPGM_SAMPLE_BLOCK_SSE2
inline std::uint64_t Bits(__m128i m, unsigned chunk) {
  return static_cast<std::uint64_t>(
             static_cast<std::uint32_t>(_mm_movemask_epi8(m)))
         << (16 * chunk);
}

inline __m128i Is(__m128i c, char x) {
  return _mm_cmpeq_epi8(c, _mm_set1_epi8(x));
}

// A few 16-byte compares a class. A carriage return is compared with the
// byte after it through a second load one byte further on.
inline BlockMasks ClassifySse2(const char* b) {
  BlockMasks m{};
  for (unsigned k = 0; k < 4; ++k) {
    const char* q = b + 16 * k;
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
    const __m128i next =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 1));
    const __m128i special = _mm_or_si128(Is(c, ','), Is(c, '\n'));
    const __m128i blank = _mm_or_si128(Is(c, ' '), Is(c, '\t'));
    const __m128i cr_lf = _mm_and_si128(Is(c, '\r'), Is(next, '\n'));
    // c - '0' is below 10 as an unsigned byte for the digits alone.
    const __m128i d = _mm_sub_epi8(c, _mm_set1_epi8('0'));
    const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d);
    const __m128i point = Is(c, '.');
    m.special |= Bits(special, k);
    m.separator |= Bits(_mm_or_si128(_mm_or_si128(special, blank), cr_lf), k);
    m.other |= Bits(_mm_or_si128(digit, point), k);
    m.point |= Bits(point, k);
  }
  m.other = ~(m.other | m.separator);
  return m;
}
#endif

#ifdef LPGM_SAMPLE_BLOCK_AVX2
__attribute__((target("avx2"))) inline std::uint64_t Bits32(__m256i m,
                                                            unsigned half) {
  return static_cast<std::uint64_t>(
             static_cast<std::uint32_t>(_mm256_movemask_epi8(m)))
         << (32 * half);
}

__attribute__((target("avx2"))) inline __m256i Is32(__m256i c, char x) {
  return _mm256_cmpeq_epi8(c, _mm256_set1_epi8(x));
}

// The SSE2 classes, 32 bytes a compare.
__attribute__((target("avx2"))) inline BlockMasks ClassifyAvx2(const char* b) {
  BlockMasks m{};
  for (unsigned k = 0; k < 2; ++k) {
    const char* q = b + 32 * k;
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q));
    const __m256i next =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + 1));
    const __m256i special = _mm256_or_si256(Is32(c, ','), Is32(c, '\n'));
    const __m256i blank = _mm256_or_si256(Is32(c, ' '), Is32(c, '\t'));
    const __m256i cr_lf = _mm256_and_si256(Is32(c, '\r'), Is32(next, '\n'));
    const __m256i d = _mm256_sub_epi8(c, _mm256_set1_epi8('0'));
    const __m256i digit =
        _mm256_cmpeq_epi8(_mm256_min_epu8(d, _mm256_set1_epi8(9)), d);
    const __m256i point = Is32(c, '.');
    m.special |= Bits32(special, k);
    m.separator |=
        Bits32(_mm256_or_si256(_mm256_or_si256(special, blank), cr_lf), k);
    m.other |= Bits32(_mm256_or_si256(digit, point), k);
    m.point |= Bits32(point, k);
  }
  m.other = ~(m.other | m.separator);
  return m;
}
#endif

// The value of the k digits (0 <= k <= 8) that are the first bytes of v, as
// loaded from memory on a little-endian target. Subtracting '0' borrows
// only upwards, into the bytes that are shifted out; the shift is made in
// two halves so that k = 0 shifts everything out.
inline std::uint64_t LeadingDigits(std::uint64_t v, unsigned k) {
  const unsigned half = 4 * (8 - k);
  v = ((v - 0x3030303030303030ULL) << half) << half;
  v = v * 10 + (v >> 8);
  return (((v & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
          (((v >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
         32;
}

inline std::uint64_t Load8(const char* q) {
  std::uint64_t v;
  std::memcpy(&v, q, 8);
  if constexpr (std::endian::native == std::endian::big)
    v = __builtin_bswap64(v);
  return v;
}

// The value of the k digits at q (0 <= k <= 8); eight bytes from q must be
// readable.
inline std::uint64_t DigitsAt(const char* q, unsigned k) {
  return LeadingDigits(Load8(q), k);
}

// The digits of `whole` digits, a point when `whole` is followed by one,
// and `decimals` digits at q, as one whole number. Eight bytes or fewer are
// one load with the byte after the whole digits cut out.
inline std::uint64_t MantissaAt(const char* q, unsigned whole,
                                unsigned decimals) {
  if (whole + decimals < 8) {
    const std::uint64_t v = Load8(q);
    const unsigned half = 4 * whole;
    const std::uint64_t low = ((std::uint64_t{1} << half) << half) - 1;
    return LeadingDigits((v & low) | ((v >> 8) & ~low), whole + decimals);
  }
  return DigitsAt(q, whole) * kPow10[decimals] +
         DigitsAt(q + whole + 1, decimals);
}

inline std::uint64_t Below(unsigned i) { return (std::uint64_t{1} << i) - 1; }

inline unsigned IsSign(char c) { return c == '-' || c == '+' ? 1u : 0u; }

// The exponent of bytes [at, e) of the token: a letter E or D in either
// case, an optional sign, one to four digits; `marks` holds the token's
// bytes from `at` on that are no digits or points. Returns false for any
// other text.
inline bool ShortExponent(const char* b, const BlockMasks& m,
                          std::uint64_t marks, unsigned at, unsigned e,
                          int* exponent) {
  const char letter = static_cast<char>(b[at] | 0x20);
  const unsigned sign = IsSign(b[at + 1]);
  const unsigned first = at + 1 + sign;
  const unsigned count = e - first;
  if ((letter != 'e' && letter != 'd') ||
      marks != ((std::uint64_t{1} | sign << 1) << at) ||
      (m.point & Below(e) & ~Below(at)) != 0 || first >= e || count > 4)
    return false;
  if (count == 2) {
    // The usual case, read from the token's end so that it does not wait
    // for the letter's place: b[e - 3] is the sign or the letter.
    const int value = (b[e - 2] - '0') * 10 + (b[e - 1] - '0');
    *exponent = b[e - 3] == '-' ? -value : value;
    return true;
  }
  const int value = static_cast<int>(DigitsAt(b + first, count));
  *exponent = b[at + 1] == '-' ? -value : value;
  return true;
}

// Whether a mantissa with these digits before and after its (at most one)
// point is plain: at most eight and eight, fifteen in all.
inline bool PlainMantissa(std::uint64_t point, unsigned whole,
                          unsigned decimals) {
  return (point & (point - 1)) == 0 && whole <= 8 && decimals <= 8 &&
         whole + decimals - 1 <= 14;
}

}  // namespace sample_block_internal

// The masks of the 64 bytes at b, by `kernel` (one that runs here); every
// kernel gives the same masks. kBlockBytes + 1 bytes from b must be
// readable.
inline BlockMasks ClassifyBlock(platform::Kernel kernel, const char* b) {
  switch (kernel) {
#ifdef LPGM_SAMPLE_BLOCK_AVX2
    case platform::Kernel::kAvx2:
      return sample_block_internal::ClassifyAvx2(b);
#endif
#ifdef LPGM_SAMPLE_BLOCK_SSE2
    case platform::Kernel::kSse2:
      return sample_block_internal::ClassifySse2(b);
#endif
    default:
      return sample_block_internal::ClassifyScalar(b);
  }
}

// A plain token read but not yet turned into a double.
struct PlainDecimal {
  std::int64_t digits;  // below 10^15
  int scale;            // -22 to 22
  bool negative;

  // digits * 10^scale with the sign, correctly rounded.
  double Value() const {
    // Samples keep one scale for long runs, so the branch inside is well
    // predicted.
    const double magnitude =
        ScaleByExactPow10(static_cast<double>(digits), scale);
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude) |
                                 std::uint64_t{negative} << 63);
  }
};

// Reads the token of bytes [s, e) of the block at b (s < e < 64) when it is
// plain (see above): sets *d and returns true. Returns false for any other
// text. kBlockView bytes from b must be readable. kExponents false is for a
// block whose signs, letters and other such bytes all begin tokens (no
// exponent anywhere): the same result with the exponent's code left out.
template <bool kExponents = true>
inline bool ScanPlainToken(const char* b, const BlockMasks& m, unsigned s,
                           unsigned e, PlainDecimal* d) {
  using sample_block_internal::Below;
  const std::uint64_t token = Below(e) & ~Below(s);
  const unsigned sign = sample_block_internal::IsSign(b[s]);
  // What is neither digit nor point after the sign: the exponent, if any.
  // Files keep to one form, so the branch is well predicted, and a token
  // without an exponent costs no more than its mantissa.
  const std::uint64_t marks = m.other & token & ~(std::uint64_t{sign} << s);
  unsigned mantissa_end = e;
  int exponent = 0;
  if (!kExponents && marks != 0) return false;
  if (kExponents && marks != 0) {
    // The letter's place, if the token ends in the usual exponent form.
    const unsigned at = e >= s + 5 ? e - 4 : s;
    const char letter = static_cast<char>(b[at] | 0x20);
    if (at != s && marks == std::uint64_t{3} << at &&
        (letter == 'e' || letter == 'd') &&
        sample_block_internal::IsSign(b[at + 1]) != 0 &&
        ((m.point & token) >> at) == 0) {
      // The usual exponent form, a letter, a sign and two digits ending the
      // token (1.23457E+02): its place follows from the token's end, so
      // nothing waits for the letter to be found.
      mantissa_end = at;
      const int value = (b[e - 2] - '0') * 10 + (b[e - 1] - '0');
      exponent = b[at + 1] == '-' ? -value : value;
    } else {
      mantissa_end = static_cast<unsigned>(std::countr_zero(marks));
      // No point after the exponent's letter either.
      if (!sample_block_internal::ShortExponent(b, m, marks, mantissa_end, e,
                                                &exponent))
        return false;
    }
  }
  const std::uint64_t point = m.point & token;
  const unsigned point_at = static_cast<unsigned>(
      std::countr_zero(point | (std::uint64_t{1} << mantissa_end)));
  const unsigned whole = point_at - s - sign;
  const unsigned decimals = mantissa_end - point_at - (point != 0 ? 1u : 0u);
  if (!sample_block_internal::PlainMantissa(point, whole, decimals))
    return false;
  d->scale = exponent - static_cast<int>(decimals);
  if (d->scale < -22 || d->scale > 22) return false;
  d->digits = static_cast<std::int64_t>(
      sample_block_internal::MantissaAt(b + s + sign, whole, decimals));
  d->negative = b[s] == '-';
  return true;
}

}  // namespace lpgm

#endif  // LPGM_RECORD_SAMPLE_BLOCK_H_
