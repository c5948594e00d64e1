#include "record/number_format.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "record/decimal_tables.h"

namespace lpgm {
namespace {

__extension__ typedef unsigned __int128 u128;

void Fill(char* out, int width, char c) {
  std::memset(out, c, static_cast<std::size_t>(width));
}

// Writes the decimal digits of v ending just before `end`; returns the start.
char* WriteDigitsBackward(char* end, std::uint64_t v) {
  while (v >= 100) {
    std::uint64_t q = v / 100;
    unsigned r = static_cast<unsigned>(v - q * 100);
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * r, 2);
    v = q;
  }
  if (v >= 10) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * v, 2);
  } else {
    *--end = static_cast<char>('0' + v);
  }
  return end;
}

void WriteSpecial(char* out, int width, const char* text) {
  int n = static_cast<int>(std::strlen(text));
  if (n > width) {
    Fill(out, width, '*');
    return;
  }
  Fill(out, width - n, ' ');
  std::memcpy(out + (width - n), text, static_cast<std::size_t>(n));
}

// Lays out sign, integer digits, point and fraction digits right-justified.
// `digits` holds all digits of the rounded value scaled by 10^decimals, most
// significant first, without leading zeros ("" for zero).
void Assemble(char* out, int width, int decimals, bool negative,
              const char* digits, int ndigits) {
  int int_digits = ndigits > decimals ? ndigits - decimals : 0;
  bool zero = ndigits == 0;
  bool sign = negative && !zero;
  int needed = (sign ? 1 : 0) + int_digits + 1 + decimals;
  bool lead_zero = false;
  if (int_digits == 0 && needed < width) {
    lead_zero = true;
    ++needed;
  }
  if (needed > width) {
    Fill(out, width, '*');
    return;
  }
  char* p = out;
  int pad = width - needed;
  std::memset(p, ' ', static_cast<std::size_t>(pad));
  p += pad;
  if (sign) *p++ = '-';
  if (lead_zero) *p++ = '0';
  std::memcpy(p, digits, static_cast<std::size_t>(int_digits));
  p += int_digits;
  *p++ = '.';
  // Fraction: leading zeros when the scaled value has fewer digits than d.
  int frac_present = ndigits - int_digits;
  int frac_zeros = decimals - frac_present;
  std::memset(p, '0', static_cast<std::size_t>(frac_zeros));
  p += frac_zeros;
  std::memcpy(p, digits + int_digits, static_cast<std::size_t>(frac_present));
}

// The exact conversion of the C library, for values and precisions outside
// the integer fast path.
void FormatFixedSlow(char* out, int width, int decimals, bool negative,
                     double magnitude) {
  char text[400];  // 309 integer digits, a point and up to 30 decimals
  int n = std::snprintf(text, sizeof text, "%.*f", decimals, magnitude);
  if (n <= 0 || n >= static_cast<int>(sizeof text)) {
    Fill(out, width, '*');
    return;
  }
  char digits[400];
  int nd = 0;
  for (int i = 0; i < n; ++i) {
    if (text[i] != '.') digits[nd++] = text[i];
  }
  int skip = 0;
  while (skip < nd && digits[skip] == '0') ++skip;
  Assemble(out, width, decimals, negative, digits + skip, nd - skip);
}

// The value scaled by 10^decimals and rounded to an integer, ties to even,
// when that takes the integer fast path (decimals <= 9, |value| < 2^53 and
// the result below 2^64). Returns false otherwise, and for NaN and
// infinities. value = m * 2^e, so the scaled value is m * 10^d * 2^e.
inline bool ScaledRounded(double value, int decimals, std::uint64_t* q_out) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t fraction = bits & ((1ULL << 52) - 1);
  // Most values (magnitudes from about 2^-17 to 2^40 with d <= 6, the
  // waveform values among them) take a branch-free path: 10^d = 2^d * 5^d,
  // so the scaled value is m * 5^d (below 2^67) shifted right by
  // s = -(e + d), and 4 <= s <= 63 keeps the result and the rest in 64 bits.
  static constexpr std::uint64_t kPow5[] = {1, 5, 25, 125, 625, 3125, 15625};
  int s = 1075 - biased - decimals;
  if (decimals <= 6 && s >= 4 && s <= 63) {
    u128 n = static_cast<u128>(fraction | (1ULL << 52)) * kPow5[decimals];
    std::uint64_t lo = static_cast<std::uint64_t>(n);
    std::uint64_t hi = static_cast<std::uint64_t>(n >> 64);
    std::uint64_t q = (lo >> s) | (hi << (64 - s));
    std::uint64_t rest = lo & ((1ULL << s) - 1);
    std::uint64_t half = 1ULL << (s - 1);
    q += static_cast<std::uint64_t>((rest > half) | ((rest == half) & (q & 1)));
    *q_out = q;
    return true;
  }
  if (biased == 0x7FF || decimals > 9) return false;
  std::uint64_t m;
  int e;
  if (biased == 0) {
    m = fraction;
    e = -1074;
  } else {
    m = fraction | (1ULL << 52);
    e = biased - 1075;
  }
  if (e > 0) return false;
  u128 n = static_cast<u128>(m) * kPow10[decimals];  // < 2^83
  u128 q;
  if (m == 0) {
    q = 0;
  } else if (e == 0) {
    q = n;
  } else {
    s = -e;
    if (s >= 100) {
      q = 0;  // N < 2^83 is below half of 2^s: rounds to zero
    } else {
      q = n >> s;
      u128 rest = n - (q << s);
      u128 half = static_cast<u128>(1) << (s - 1);
      if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    }
  }
  if (q > UINT64_MAX) return false;
  *q_out = static_cast<std::uint64_t>(q);
  return true;
}

}  // namespace

void FormatInteger(char* out, int width, std::int64_t value) noexcept {
  bool negative = value < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value)
                                     : static_cast<std::uint64_t>(value);
  char buffer[24];
  char* end = buffer + sizeof buffer;
  char* start = WriteDigitsBackward(end, magnitude);
  if (negative) *--start = '-';
  int n = static_cast<int>(end - start);
  if (n > width) {
    Fill(out, width, '*');
    return;
  }
  Fill(out, width - n, ' ');
  std::memcpy(out + (width - n), start, static_cast<std::size_t>(n));
}

void FormatFixed(char* out, int width, int decimals, double value) noexcept {
  if (std::isnan(value)) {
    WriteSpecial(out, width, "NaN");
    return;
  }
  bool negative = std::signbit(value);
  if (std::isinf(value)) {
    WriteSpecial(out, width, negative ? "-Infinity" : "Infinity");
    return;
  }
  std::uint64_t q;
  if (ScaledRounded(value, decimals, &q)) {
    char digits[24];
    char* end = digits + sizeof digits;
    char* start = q != 0 ? WriteDigitsBackward(end, q) : end;
    Assemble(out, width, decimals, negative, start,
             static_cast<int>(end - start));
    return;
  }
  // Large values and many decimals: the C library's exact conversion.
  FormatFixedSlow(out, width, decimals, negative, std::fabs(value));
}

}  // namespace lpgm
