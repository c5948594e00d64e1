#include "record/fixed_fast.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// The column kernels take 2 (SSE2) or 4 (AVX2) fields at a time, each
// field's digits in one 16-byte lane. A batch with any value that needs the
// exact conversion goes one value at a time instead. The steps are written
// once, in fixed_column_lanes.inc, over the operations of one vector width
// that each namespace below defines.
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
// unaligned (_mm_storeh_pd's plain double store would not be). Stores the
// tails and heads of two fields, one per 64-bit half.
inline void StoreTwo(char* out, std::size_t stride, __m128i heads,
                     __m128i tails, std::size_t offset) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + offset), tails);
  _mm_storeh_pi(reinterpret_cast<__m64*>(out + stride + offset),
                _mm_castsi128_ps(tails));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), heads);
  _mm_storeh_pi(reinterpret_cast<__m64*>(out + stride),
                _mm_castsi128_ps(heads));
}

#define LPGM_LANES_TARGET

namespace sse2 {

using D = __m128d;
using I = __m128i;
constexpr std::size_t kLanes = 2;

inline D LoadD(const double* p) { return _mm_loadu_pd(p); }
inline D SetD(double x) { return _mm_set1_pd(x); }
inline D AddD(D a, D b) { return _mm_add_pd(a, b); }
inline D SubD(D a, D b) { return _mm_sub_pd(a, b); }
inline D MulD(D a, D b) { return _mm_mul_pd(a, b); }
inline D AndD(D a, D b) { return _mm_and_pd(a, b); }
inline D AndNotD(D a, D b) { return _mm_andnot_pd(a, b); }
inline D LessD(D a, D b) { return _mm_cmplt_pd(a, b); }
inline bool AllD(D m) { return _mm_movemask_pd(m) == 3; }
inline I Bits(D a) { return _mm_castpd_si128(a); }
inline I Set64(long long x) { return _mm_set1_epi64x(x); }
inline I Set32(int x) { return _mm_set1_epi32(x); }
inline I Set16(short x) { return _mm_set1_epi16(x); }
inline I Set8(char x) { return _mm_set1_epi8(x); }
inline I Or(I a, I b) { return _mm_or_si128(a, b); }
inline I And(I a, I b) { return _mm_and_si128(a, b); }
inline I AndNot(I a, I b) { return _mm_andnot_si128(a, b); }
inline I Xor(I a, I b) { return _mm_xor_si128(a, b); }
inline I Sub64(I a, I b) { return _mm_sub_epi64(a, b); }
inline I Sub32(I a, I b) { return _mm_sub_epi32(a, b); }
inline I Sub16(I a, I b) { return _mm_sub_epi16(a, b); }
inline I MulU32(I a, I b) { return _mm_mul_epu32(a, b); }
inline I MaddI16(I a, I b) { return _mm_madd_epi16(a, b); }
inline I MulHighU16(I a, I b) { return _mm_mulhi_epu16(a, b); }
inline I MulLow16(I a, I b) { return _mm_mullo_epi16(a, b); }
inline I Equal8(I a, I b) { return _mm_cmpeq_epi8(a, b); }
template <int N>
inline I ShiftRight64(I a) {
  return _mm_srli_epi64(a, N);
}
template <int N>
inline I ShiftLeft64(I a) {
  return _mm_slli_epi64(a, N);
}
template <int N>
inline I ShiftLeft32(I a) {
  return _mm_slli_epi32(a, N);
}
template <int N>
inline I ShiftRight16(I a) {
  return _mm_srli_epi16(a, N);
}
template <int N>
inline I ShiftLeft16(I a) {
  return _mm_slli_epi16(a, N);
}
template <int N>
inline I ShiftRightBytes(I a) {
  return _mm_srli_si128(a, N);
}
inline I ShiftRight64By(I a, __m128i bits) { return _mm_srl_epi64(a, bits); }
inline I UnpackLow16(I a, I b) { return _mm_unpacklo_epi16(a, b); }
inline I UnpackHigh16(I a, I b) { return _mm_unpackhi_epi16(a, b); }
inline I UnpackLow64(I a, I b) { return _mm_unpacklo_epi64(a, b); }
inline I UnpackHigh64(I a, I b) { return _mm_unpackhi_epi64(a, b); }
// The low 32 bits of each 64-bit lane of a, then those of b above them.
inline I LowHalves(I a, I b) {
  return _mm_or_si128(_mm_and_si128(a, _mm_set1_epi64x(kLow32)),
                      _mm_slli_epi64(b, 32));
}
inline void Store(char* out, std::size_t stride, I heads, I tails,
                  std::size_t offset) {
  StoreTwo(out, stride, heads, tails, offset);
}

#include "record/fixed_column_lanes.inc"

}  // namespace sse2

#undef LPGM_LANES_TARGET
#define LPGM_LANES_TARGET __attribute__((target("avx2")))

// Each 128-bit half of a 256-bit register holds what an SSE2 register
// holds, for fields 0 and 1 and for 2 and 3.
namespace avx2 {

using D = __m256d;
using I = __m256i;
constexpr std::size_t kLanes = 4;

LPGM_LANES_TARGET inline D LoadD(const double* p) { return _mm256_loadu_pd(p); }
LPGM_LANES_TARGET inline D SetD(double x) { return _mm256_set1_pd(x); }
LPGM_LANES_TARGET inline D AddD(D a, D b) { return _mm256_add_pd(a, b); }
LPGM_LANES_TARGET inline D SubD(D a, D b) { return _mm256_sub_pd(a, b); }
LPGM_LANES_TARGET inline D MulD(D a, D b) { return _mm256_mul_pd(a, b); }
LPGM_LANES_TARGET inline D AndD(D a, D b) { return _mm256_and_pd(a, b); }
LPGM_LANES_TARGET inline D AndNotD(D a, D b) { return _mm256_andnot_pd(a, b); }
LPGM_LANES_TARGET inline D LessD(D a, D b) {
  return _mm256_cmp_pd(a, b, _CMP_LT_OQ);
}
LPGM_LANES_TARGET inline bool AllD(D m) { return _mm256_movemask_pd(m) == 15; }
LPGM_LANES_TARGET inline I Bits(D a) { return _mm256_castpd_si256(a); }
LPGM_LANES_TARGET inline I Set64(long long x) { return _mm256_set1_epi64x(x); }
LPGM_LANES_TARGET inline I Set32(int x) { return _mm256_set1_epi32(x); }
LPGM_LANES_TARGET inline I Set16(short x) { return _mm256_set1_epi16(x); }
LPGM_LANES_TARGET inline I Set8(char x) { return _mm256_set1_epi8(x); }
LPGM_LANES_TARGET inline I Or(I a, I b) { return _mm256_or_si256(a, b); }
LPGM_LANES_TARGET inline I And(I a, I b) { return _mm256_and_si256(a, b); }
LPGM_LANES_TARGET inline I AndNot(I a, I b) {
  return _mm256_andnot_si256(a, b);
}
LPGM_LANES_TARGET inline I Xor(I a, I b) { return _mm256_xor_si256(a, b); }
LPGM_LANES_TARGET inline I Sub64(I a, I b) { return _mm256_sub_epi64(a, b); }
LPGM_LANES_TARGET inline I Sub32(I a, I b) { return _mm256_sub_epi32(a, b); }
LPGM_LANES_TARGET inline I Sub16(I a, I b) { return _mm256_sub_epi16(a, b); }
LPGM_LANES_TARGET inline I MulU32(I a, I b) { return _mm256_mul_epu32(a, b); }
LPGM_LANES_TARGET inline I MaddI16(I a, I b) { return _mm256_madd_epi16(a, b); }
LPGM_LANES_TARGET inline I MulHighU16(I a, I b) {
  return _mm256_mulhi_epu16(a, b);
}
LPGM_LANES_TARGET inline I MulLow16(I a, I b) {
  return _mm256_mullo_epi16(a, b);
}
LPGM_LANES_TARGET inline I Equal8(I a, I b) { return _mm256_cmpeq_epi8(a, b); }
template <int N>
LPGM_LANES_TARGET inline I ShiftRight64(I a) {
  return _mm256_srli_epi64(a, N);
}
template <int N>
LPGM_LANES_TARGET inline I ShiftLeft64(I a) {
  return _mm256_slli_epi64(a, N);
}
template <int N>
LPGM_LANES_TARGET inline I ShiftLeft32(I a) {
  return _mm256_slli_epi32(a, N);
}
template <int N>
LPGM_LANES_TARGET inline I ShiftRight16(I a) {
  return _mm256_srli_epi16(a, N);
}
template <int N>
LPGM_LANES_TARGET inline I ShiftLeft16(I a) {
  return _mm256_slli_epi16(a, N);
}
template <int N>
LPGM_LANES_TARGET inline I ShiftRightBytes(I a) {
  return _mm256_srli_si256(a, N);
}
LPGM_LANES_TARGET inline I ShiftRight64By(I a, __m128i bits) {
  return _mm256_srl_epi64(a, bits);
}
LPGM_LANES_TARGET inline I UnpackLow16(I a, I b) {
  return _mm256_unpacklo_epi16(a, b);
}
LPGM_LANES_TARGET inline I UnpackHigh16(I a, I b) {
  return _mm256_unpackhi_epi16(a, b);
}
LPGM_LANES_TARGET inline I UnpackLow64(I a, I b) {
  return _mm256_unpacklo_epi64(a, b);
}
LPGM_LANES_TARGET inline I UnpackHigh64(I a, I b) {
  return _mm256_unpackhi_epi64(a, b);
}
LPGM_LANES_TARGET inline I LowHalves(I a, I b) {
  return _mm256_blend_epi32(a, _mm256_slli_epi64(b, 32), 0xAA);
}
// Fields 0 and 1 from the low half, 2 and 3 from the high half.
LPGM_LANES_TARGET inline void Store(char* out, std::size_t stride, I heads,
                                    I tails, std::size_t offset) {
  StoreTwo(out, stride, _mm256_castsi256_si128(heads),
           _mm256_castsi256_si128(tails), offset);
  StoreTwo(out + 2 * stride, stride, _mm256_extracti128_si256(heads, 1),
           _mm256_extracti128_si256(tails, 1), offset);
}

#include "record/fixed_column_lanes.inc"

}  // namespace avx2

#undef LPGM_LANES_TARGET

#endif  // LPGM_FIXED_FAST_X86

}  // namespace

void FormatF12_4(char* out, double value) noexcept {
  if (!TryFormat<4, 12>(out, value)) FormatFixed(out, 12, 4, value);
}

void FormatF14_6Column(platform::Kernel kernel, char* out, std::size_t stride,
                       const double* values, std::size_t n,
                       int after) noexcept {
  std::size_t done = 0;
#if defined(LPGM_FIXED_FAST_X86)
  if (kernel == platform::Kernel::kAvx2) {
    done = avx2::FormatColumn(out, stride, values, n, after);
  } else if (kernel == platform::Kernel::kSse2) {
    done = sse2::FormatColumn(out, stride, values, n, after);
  }
#else
  (void)kernel;
#endif
  FormatColumnOneByOne(out + done * stride, stride, values + done, n - done,
                       after);
}

}  // namespace lpgm
