#include "record/fixed_fast.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "record/cpu_features.h"
#include "record/decimal_tables.h"
#include "record/number_format.h"

#if defined(__SSE2__) && defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define LPGM_FIXED_FAST_X86 1
#endif

namespace lpgm {
namespace {

// Both fields have room for 7 integer digits, or 6 after a minus sign.
constexpr double kLargest = 1e7;
constexpr std::uint64_t kMaxInteger = 9999999;
constexpr std::uint64_t kMaxNegativeInteger = 999999;
// Below 2^44 a double is at most 2^-10 from the real product it rounds.
constexpr double kGuard = 1.0 / 512;

template <int D>
constexpr std::uint64_t Scale() {
  return D == 6 ? 1000000 : 10000;
}

inline void PutPair(char* p, std::uint32_t v) {
  std::memcpy(p, kDigitPairs + 2 * v, 2);
}

// The last 4 integer places of a field, right-justified with blanks and a
// minus sign where it goes, for the integer parts of nearly every waveform
// value: 0 to 9999, and 0 to 999 after a minus sign. Bytes in memory order.
struct IntegerTexts {
  std::uint32_t positive[10000];
  std::uint32_t negative[1000];
};

constexpr std::uint32_t Pack(const char (&text)[4]) {
  std::uint32_t word = 0;
  for (int k = 3; k >= 0; --k)
    word = word << 8 | static_cast<std::uint8_t>(text[k]);
  return word;
}

constexpr IntegerTexts MakeIntegerTexts() {
  IntegerTexts texts{};
  for (int v = 0; v < 10000; ++v) {
    char text[4] = {' ', ' ', ' ', ' '};
    int rest = v, k = 3;
    do {
      text[k--] = static_cast<char>('0' + rest % 10);
      rest /= 10;
    } while (rest != 0);
    texts.positive[v] = Pack(text);
    if (v < 1000) {
      text[k] = '-';
      texts.negative[v] = Pack(text);
    }
  }
  return texts;
}

constexpr IntegerTexts kIntegerTexts = MakeIntegerTexts();

// out[0, 8) for an integer part of 4 digits or more (3 after a sign): the
// digits right-justified in 7 places and the point. Returns false, with
// the W-byte field all asterisks, when they do not fit.
template <int W>
bool LayoutWideInteger(char* out, bool sign, std::uint64_t integer) {
  if (integer > (sign ? kMaxNegativeInteger : kMaxInteger)) {
    std::memset(out, '*', W);
    return false;
  }
  std::memset(out, ' ', 7);
  out[7] = '.';
  char* p = out + 7;
  auto rest = static_cast<std::uint32_t>(integer);  // 1000 to 9999999
  for (; rest >= 10; rest /= 100) PutPair(p -= 2, rest % 100);
  if (rest != 0) *--p = static_cast<char>('0' + rest);
  if (sign) *--p = '-';
  return true;
}

// Lays out q / 10^D right-justified in a field of W = 8 + D bytes: 7
// integer places (leading zeros blank, the units digit always there), the
// point, D fraction digits, and a minus sign before the first digit unless q
// is 0; asterisks when the integer digits do not fit.
template <int D, int W>
inline void LayoutField(char* out, bool negative, std::uint64_t q) {
  static_assert(W == 8 + D && (D == 4 || D == 6));
  const std::uint64_t integer = q / Scale<D>();
  const auto fraction = static_cast<std::uint32_t>(q - integer * Scale<D>());
  const bool sign = negative && q != 0;
  if (integer < (sign ? 1000u : 10000u)) {
    const std::uint32_t text = sign ? kIntegerTexts.negative[integer]
                                    : kIntegerTexts.positive[integer];
    // Three blanks, the 4 places, the point: one little-endian word.
    const std::uint64_t head =
        0x202020ULL | std::uint64_t{text} << 24 | std::uint64_t{'.'} << 56;
    std::memcpy(out, &head, 8);
  } else if (!LayoutWideInteger<W>(out, sign, integer)) {
    return;
  }
  if constexpr (D == 6) {
    PutPair(out + 8, fraction / 10000);
    PutPair(out + 10, fraction / 100 % 100);
    PutPair(out + 12, fraction % 100);
  } else {
    PutPair(out + 8, fraction / 100);
    PutPair(out + 10, fraction % 100);
  }
}

template <int D, int W>
inline bool TryFormat(char* out, double value) {
  // The layout stores digits as little-endian words.
  if constexpr (std::endian::native != std::endian::little) return false;
  const double magnitude = std::fabs(value);
  if (!(magnitude < kLargest)) return false;  // NaN fails the test too
  const double scaled = magnitude * static_cast<double>(Scale<D>());
  // Below 2^44: the signed conversion is one instruction, the rest exact.
  const auto whole = static_cast<std::int64_t>(scaled);
  const double off_half = (scaled - static_cast<double>(whole)) - 0.5;
  if (std::fabs(off_half) <= kGuard) return false;
  const auto q = static_cast<std::uint64_t>(whole) + (off_half > 0 ? 1 : 0);
  LayoutField<D, W>(out, std::signbit(value), q);
  return true;
}

// Each value of a column in turn, the fast conversion first; `after`, when
// not negative, follows each field.
void FormatColumnOneByOne(char* out, std::size_t stride, const double* values,
                          std::size_t n, int after) {
  for (std::size_t i = 0; i < n; ++i, out += stride) {
    if (!TryFormat<6, 14>(out, values[i])) FormatFixed(out, 14, 6, values[i]);
    if (after >= 0) out[14] = static_cast<char>(after);
  }
}

#if defined(LPGM_FIXED_FAST_X86)

// The batches below take 2 (SSE2) or 4 (AVX2) fields at a time, each
// field's digits in one 16-byte lane. A batch with any value that needs
// the exact conversion goes one value at a time instead.
//
// Adding 1.5 * 2^52 rounds a double of magnitude below 2^51 to an integer,
// which then stands in the low bits of the sum. The product of a magnitude
// below 10^7 and 10^6 is below 2^44, at most 2^-10 from the real product,
// so an integer less than 1/2 - 2^-9 from it is the nearest to both. Of
// that integer q < 10^13, q / 10^8 is the nearest integer to q * 10^-8 +
// 10^-9 - 1/2 (its error, below 10^-10, keeps it well inside +-1/2), and
// q mod 10^8 follows in 32-bit arithmetic. Each of those splits into halves
// of 4 digits by a multiply-shift in 32-bit lanes, the halves into pairs
// and the pairs into digits in 16-bit lanes. A field's register then holds
// the 16 digits of q, most significant first: 3 zeros, the 7 integer
// places and the 6 decimals. Bytes 3 to 9 and the point are laid out as
// the field's first 8 bytes, bytes 8 to 15 are stored from its byte 6
// before them.
constexpr double kRounder = 6755399441055744.0;
constexpr double kSafeDistance = 0.5 - 1.0 / 512;
// A value below this shows a minus sign, unless it lies in the guard band;
// any other value rounds to zero or is not negative.
constexpr double kMinusShown = -5e-7;
constexpr long long kPointAndZeros = 0x2E30303030303030LL;
constexpr long long kIntegerPlaces = 0x00FFFFFFFFFFFFFFLL;
constexpr long long kUnitsPlace = 0x0001000000000000LL;
constexpr long long kLow32 = 0x00000000FFFFFFFFLL;
// x / 10^4 = x * kBy10000 >> 45 for x < 10^8.
constexpr long long kBy10000 = 0xD1B71759LL;

// Whether every value may take the batch: its rounding is sure and its
// field is not asterisks. The low 32 bits of *sum hold q mod 2^32,
// *rounded holds q, *negative the lanes that show a minus sign.
inline bool ScaleTwo(const double* values, __m128d* sum, __m128d* rounded,
                     __m128d* negative) {
  const __m128d x = _mm_loadu_pd(values);
  const __m128d sign_bit = _mm_set1_pd(-0.0);
  const __m128d scaled =
      _mm_mul_pd(_mm_andnot_pd(sign_bit, x), _mm_set1_pd(1e6));
  *sum = _mm_add_pd(scaled, _mm_set1_pd(kRounder));
  *rounded = _mm_sub_pd(*sum, _mm_set1_pd(kRounder));
  const __m128d off = _mm_andnot_pd(sign_bit, _mm_sub_pd(scaled, *rounded));
  *negative = _mm_cmplt_pd(x, _mm_set1_pd(kMinusShown));
  // 7 integer digits, or 6 after a minus sign. NaN fails every comparison.
  const __m128d limit =
      _mm_sub_pd(_mm_set1_pd(1e13), _mm_and_pd(*negative, _mm_set1_pd(9e12)));
  const __m128d sure = _mm_and_pd(_mm_cmplt_pd(off, _mm_set1_pd(kSafeDistance)),
                                  _mm_cmplt_pd(*rounded, limit));
  return _mm_movemask_pd(sure) == 3;
}

// Pairs 0 to 99 in 16-bit lanes to their two digits, tens first:
// tens + (pair - 10 * tens) * 256.
inline __m128i DigitsOfPairs(__m128i pairs) {
  const __m128i tens = _mm_mulhi_epu16(pairs, _mm_set1_epi16(6554));
  return _mm_sub_epi16(_mm_slli_epi16(pairs, 8),
                       _mm_mullo_epi16(tens, _mm_set1_epi16(2559)));
}

// The digits of two rounded values, one register each.
inline void DigitsOfTwo(__m128d sum, __m128d rounded, __m128i digits[2]) {
  const __m128d estimate =
      _mm_add_pd(_mm_add_pd(_mm_mul_pd(rounded, _mm_set1_pd(1e-8)),
                            _mm_set1_pd(1e-9 - 0.5)),
                 _mm_set1_pd(kRounder));
  const __m128i a = _mm_castpd_si128(estimate);  // q / 10^8
  const __m128i b = _mm_sub_epi32(               // q mod 10^8
      _mm_castpd_si128(sum), _mm_mul_epu32(a, _mm_set1_epi64x(100000000)));
  const __m128i magic = _mm_set1_epi64x(kBy10000);
  const __m128i high4 = _mm_or_si128(
      _mm_srli_epi64(_mm_mul_epu32(a, magic), 45),
      _mm_slli_epi64(_mm_srli_epi64(_mm_mul_epu32(b, magic), 45), 32));
  const __m128i ab = _mm_or_si128(_mm_and_si128(a, _mm_set1_epi64x(kLow32)),
                                  _mm_slli_epi64(b, 32));
  const __m128i low4 =
      _mm_sub_epi32(ab, _mm_madd_epi16(high4, _mm_set1_epi32(10000)));
  const __m128i groups = _mm_or_si128(high4, _mm_slli_epi32(low4, 16));
  // x / 100 = x * 5243 >> 19 for x < 10^4.
  const __m128i h =
      _mm_srli_epi16(_mm_mulhi_epu16(groups, _mm_set1_epi16(5243)), 3);
  const __m128i l =
      _mm_sub_epi16(groups, _mm_mullo_epi16(h, _mm_set1_epi16(100)));
  digits[0] = DigitsOfPairs(_mm_unpacklo_epi16(h, l));
  digits[1] = DigitsOfPairs(_mm_unpackhi_epi16(h, l));
}

// The first 8 bytes of both fields: leading zeros blank, a minus sign in
// the last blank of a negative value, the point. The bits below the lowest
// set bit of the integer digits (the units place made nonzero) cover the
// bytes of the leading zeros and never bit 4 of the first digit shown.
inline __m128i HeadsOfTwo(const __m128i digits[2], __m128d negative) {
  const __m128i heads = _mm_unpacklo_epi64(_mm_srli_si128(digits[0], 3),
                                           _mm_srli_si128(digits[1], 3));
  const __m128i w = _mm_or_si128(heads, _mm_set1_epi64x(kUnitsPlace));
  const __m128i below =
      _mm_andnot_si128(w, _mm_sub_epi64(w, _mm_set1_epi64x(1)));
  // '0' ^ 0x10 is a blank, and a blank ^ 0x0D a minus.
  const __m128i blank = _mm_and_si128(below, _mm_set1_epi8(0x10));
  const __m128i text = _mm_xor_si128(
      _mm_or_si128(_mm_and_si128(heads, _mm_set1_epi64x(kIntegerPlaces)),
                   _mm_set1_epi64x(kPointAndZeros)),
      blank);
  const __m128i last_blank = _mm_cmpeq_epi8(
      _mm_andnot_si128(_mm_srli_epi64(blank, 8), blank), _mm_set1_epi8(0x10));
  const __m128i minus =
      _mm_and_si128(_mm_castpd_si128(negative), _mm_set1_epi8(0x0D));
  return _mm_xor_si128(text, _mm_and_si128(last_blank, minus));
}

// How the last bytes of a field are stored: bytes 8 to 15 of its digits
// from the field's byte 6, or, with a byte after the field, bytes 9 to 15
// and that byte from its byte 7. The first 8 bytes are stored after them.
struct TailLayout {
  __m128i shift;  // bits, for the shifts by register
  long long fill;
  std::size_t offset;
};

inline TailLayout LayTail(int after) {
  if (after < 0) return {_mm_setzero_si128(), 0x3030303030303030LL, 6};
  const std::uint64_t last = static_cast<std::uint64_t>(after) << 56;
  return {_mm_cvtsi32_si128(8),
          static_cast<long long>(0x0030303030303030ULL | last), 7};
}

// The fields lie at any byte: every store here is one the compilers take as
// unaligned (_mm_storeh_pd's plain double store would not be).
inline void StoreHigh(char* out, __m128i bytes) {
  _mm_storeh_pi(reinterpret_cast<__m64*>(out), _mm_castsi128_ps(bytes));
}

inline void StoreTwo(char* out, std::size_t stride, __m128i heads,
                     __m128i tails, std::size_t offset) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + offset), tails);
  StoreHigh(out + stride + offset, tails);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), heads);
  StoreHigh(out + stride, heads);
}

// Lays out two fields whose values ScaleTwo took.
inline void FinishTwo(char* field, std::size_t stride, const TailLayout& tail,
                      __m128d sum, __m128d rounded, __m128d negative) {
  __m128i digits[2];
  DigitsOfTwo(sum, rounded, digits);
  const __m128i tails = _mm_or_si128(
      _mm_srl_epi64(_mm_unpackhi_epi64(digits[0], digits[1]), tail.shift),
      _mm_set1_epi64x(tail.fill));
  StoreTwo(field, stride, HeadsOfTwo(digits, negative), tails, tail.offset);
}

// Formats the fields of values[0, n) four at a time, two batches side by
// side so that their long chains of dependent steps overlap, and returns
// how many it did (n rounded down to a multiple of 4).
std::size_t FormatColumnSse2(char* out, std::size_t stride,
                             const double* values, std::size_t n, int after) {
  const TailLayout tail = LayTail(after);
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    char* field = out + i * stride;
    __m128d sum[2], rounded[2], negative[2];
    const bool sure = ScaleTwo(values + i, &sum[0], &rounded[0], &negative[0]);
    if (!(ScaleTwo(values + i + 2, &sum[1], &rounded[1], &negative[1]) &&
          sure)) {
      FormatColumnOneByOne(field, stride, values + i, 4, after);
      continue;
    }
    FinishTwo(field, stride, tail, sum[0], rounded[0], negative[0]);
    FinishTwo(field + 2 * stride, stride, tail, sum[1], rounded[1],
              negative[1]);
  }
  return i;
}

#define LPGM_AVX2 __attribute__((target("avx2")))

// The same four fields at a time: each 128-bit half of a 256-bit register
// holds what the SSE2 batch holds, for fields 0 and 1 and for 2 and 3 (in
// digits[0] fields 0 and 2, in digits[1] fields 1 and 3).
LPGM_AVX2 inline bool ScaleFour(const double* values, __m256d* sum,
                                __m256d* rounded, __m256d* negative) {
  const __m256d x = _mm256_loadu_pd(values);
  const __m256d sign_bit = _mm256_set1_pd(-0.0);
  const __m256d scaled =
      _mm256_mul_pd(_mm256_andnot_pd(sign_bit, x), _mm256_set1_pd(1e6));
  *sum = _mm256_add_pd(scaled, _mm256_set1_pd(kRounder));
  *rounded = _mm256_sub_pd(*sum, _mm256_set1_pd(kRounder));
  const __m256d off =
      _mm256_andnot_pd(sign_bit, _mm256_sub_pd(scaled, *rounded));
  *negative = _mm256_cmp_pd(x, _mm256_set1_pd(kMinusShown), _CMP_LT_OQ);
  const __m256d limit = _mm256_sub_pd(
      _mm256_set1_pd(1e13), _mm256_and_pd(*negative, _mm256_set1_pd(9e12)));
  const __m256d sure = _mm256_and_pd(
      _mm256_cmp_pd(off, _mm256_set1_pd(kSafeDistance), _CMP_LT_OQ),
      _mm256_cmp_pd(*rounded, limit, _CMP_LT_OQ));
  return _mm256_movemask_pd(sure) == 15;
}

LPGM_AVX2 inline __m256i DigitsOfPairs4(__m256i pairs) {
  const __m256i tens = _mm256_mulhi_epu16(pairs, _mm256_set1_epi16(6554));
  return _mm256_sub_epi16(_mm256_slli_epi16(pairs, 8),
                          _mm256_mullo_epi16(tens, _mm256_set1_epi16(2559)));
}

LPGM_AVX2 inline void DigitsOfFour(__m256d sum, __m256d rounded,
                                   __m256i digits[2]) {
  const __m256d estimate =
      _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(rounded, _mm256_set1_pd(1e-8)),
                                  _mm256_set1_pd(1e-9 - 0.5)),
                    _mm256_set1_pd(kRounder));
  const __m256i a = _mm256_castpd_si256(estimate);
  const __m256i b =
      _mm256_sub_epi32(_mm256_castpd_si256(sum),
                       _mm256_mul_epu32(a, _mm256_set1_epi64x(100000000)));
  const __m256i magic = _mm256_set1_epi64x(kBy10000);
  const __m256i high4 = _mm256_or_si256(
      _mm256_srli_epi64(_mm256_mul_epu32(a, magic), 45),
      _mm256_slli_epi64(_mm256_srli_epi64(_mm256_mul_epu32(b, magic), 45), 32));
  const __m256i ab = _mm256_blend_epi32(a, _mm256_slli_epi64(b, 32), 0xAA);
  const __m256i low4 =
      _mm256_sub_epi32(ab, _mm256_madd_epi16(high4, _mm256_set1_epi32(10000)));
  const __m256i groups = _mm256_or_si256(high4, _mm256_slli_epi32(low4, 16));
  const __m256i h =
      _mm256_srli_epi16(_mm256_mulhi_epu16(groups, _mm256_set1_epi16(5243)), 3);
  const __m256i l =
      _mm256_sub_epi16(groups, _mm256_mullo_epi16(h, _mm256_set1_epi16(100)));
  digits[0] = DigitsOfPairs4(_mm256_unpacklo_epi16(h, l));
  digits[1] = DigitsOfPairs4(_mm256_unpackhi_epi16(h, l));
}

LPGM_AVX2 inline __m256i HeadsOfFour(const __m256i digits[2],
                                     __m256d negative) {
  const __m256i heads = _mm256_unpacklo_epi64(_mm256_srli_si256(digits[0], 3),
                                              _mm256_srli_si256(digits[1], 3));
  const __m256i w = _mm256_or_si256(heads, _mm256_set1_epi64x(kUnitsPlace));
  const __m256i below =
      _mm256_andnot_si256(w, _mm256_sub_epi64(w, _mm256_set1_epi64x(1)));
  const __m256i blank = _mm256_and_si256(below, _mm256_set1_epi8(0x10));
  const __m256i text = _mm256_xor_si256(
      _mm256_or_si256(
          _mm256_and_si256(heads, _mm256_set1_epi64x(kIntegerPlaces)),
          _mm256_set1_epi64x(kPointAndZeros)),
      blank);
  const __m256i last_blank =
      _mm256_cmpeq_epi8(_mm256_andnot_si256(_mm256_srli_epi64(blank, 8), blank),
                        _mm256_set1_epi8(0x10));
  const __m256i minus =
      _mm256_and_si256(_mm256_castpd_si256(negative), _mm256_set1_epi8(0x0D));
  return _mm256_xor_si256(text, _mm256_and_si256(last_blank, minus));
}

LPGM_AVX2 inline void FinishFour(char* field, std::size_t stride,
                                 const TailLayout& tail, __m256d sum,
                                 __m256d rounded, __m256d negative) {
  __m256i digits[2];
  DigitsOfFour(sum, rounded, digits);
  const __m256i heads = HeadsOfFour(digits, negative);
  const __m256i tails = _mm256_or_si256(
      _mm256_srl_epi64(_mm256_unpackhi_epi64(digits[0], digits[1]), tail.shift),
      _mm256_set1_epi64x(tail.fill));
  StoreTwo(field, stride, _mm256_castsi256_si128(heads),
           _mm256_castsi256_si128(tails), tail.offset);
  StoreTwo(field + 2 * stride, stride, _mm256_extracti128_si256(heads, 1),
           _mm256_extracti128_si256(tails, 1), tail.offset);
}

// Eight at a time; returns n rounded down to a multiple of 8.
LPGM_AVX2 std::size_t FormatColumnAvx2(char* out, std::size_t stride,
                                       const double* values, std::size_t n,
                                       int after) {
  const TailLayout tail = LayTail(after);
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    char* field = out + i * stride;
    __m256d sum[2], rounded[2], negative[2];
    const bool sure = ScaleFour(values + i, &sum[0], &rounded[0], &negative[0]);
    if (!(ScaleFour(values + i + 4, &sum[1], &rounded[1], &negative[1]) &&
          sure)) {
      FormatColumnOneByOne(field, stride, values + i, 8, after);
      continue;
    }
    FinishFour(field, stride, tail, sum[0], rounded[0], negative[0]);
    FinishFour(field + 4 * stride, stride, tail, sum[1], rounded[1],
               negative[1]);
  }
  return i;
}

#endif  // LPGM_FIXED_FAST_X86

}  // namespace

bool TryFormatF14_6(char* out, double value) noexcept {
  return TryFormat<6, 14>(out, value);
}

bool TryFormatF12_4(char* out, double value) noexcept {
  return TryFormat<4, 12>(out, value);
}

bool ColumnKernelAvailable(ColumnKernel kernel) noexcept {
#if defined(LPGM_FIXED_FAST_X86)
  return kernel != ColumnKernel::kAvx2 || HaveAvx2();
#else
  return kernel == ColumnKernel::kOneByOne;
#endif
}

void FormatF14_6ColumnWith([[maybe_unused]] ColumnKernel kernel, char* out,
                           std::size_t stride, const double* values,
                           std::size_t n, int after) noexcept {
  std::size_t done = 0;
#if defined(LPGM_FIXED_FAST_X86)
  if (kernel == ColumnKernel::kAvx2 && HaveAvx2()) {
    done = FormatColumnAvx2(out, stride, values, n, after);
  } else if (kernel != ColumnKernel::kOneByOne) {
    done = FormatColumnSse2(out, stride, values, n, after);
  }
#endif
  FormatColumnOneByOne(out + done * stride, stride, values + done, n - done,
                       after);
}

namespace {

ColumnKernel BestKernel() {
#if defined(LPGM_FIXED_FAST_X86)
  return HaveAvx2() ? ColumnKernel::kAvx2 : ColumnKernel::kSse2;
#else
  return ColumnKernel::kOneByOne;
#endif
}

}  // namespace

void FormatF14_6Column(char* out, std::size_t stride, const double* values,
                       std::size_t n) noexcept {
  FormatF14_6ColumnWith(BestKernel(), out, stride, values, n, -1);
}

void FormatF14_6ColumnThen(char* out, std::size_t stride, const double* values,
                           std::size_t n, char after) noexcept {
  FormatF14_6ColumnWith(BestKernel(), out, stride, values, n,
                        static_cast<unsigned char>(after));
}

}  // namespace lpgm
