#include "record/fixed_fast.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "record/decimal_tables.h"
#include "record/number_format.h"

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

}  // namespace

bool TryFormatF14_6(char* out, double value) noexcept {
  return TryFormat<6, 14>(out, value);
}

bool TryFormatF12_4(char* out, double value) noexcept {
  return TryFormat<4, 12>(out, value);
}

void FormatF14_6Column(char* out, std::size_t stride, const double* values,
                       std::size_t n) noexcept {
  for (std::size_t i = 0; i < n; ++i, out += stride) {
    if (!TryFormat<6, 14>(out, values[i])) FormatFixed(out, 14, 6, values[i]);
  }
}

}  // namespace lpgm
