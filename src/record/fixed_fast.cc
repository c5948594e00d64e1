#include "record/fixed_fast.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "record/number_format.h"

namespace lpgm {
namespace {

// Both fields have room for 7 integer digits, or 6 after a minus sign.
constexpr double kLargest = 1e7;
constexpr std::uint64_t kMaxInteger = 9999999;
constexpr std::uint64_t kMaxNegativeInteger = 999999;
// Below 2^44 a double is at most 2^-10 from the real product it rounds.
constexpr double kGuard = 1.0 / 512;
constexpr std::uint64_t EveryByte(std::uint8_t byte) {
  return 0x0101010101010101ULL * byte;
}

template <int D>
constexpr std::uint64_t Scale() {
  return D == 6 ? 1000000 : 10000;
}

// The 8 decimal digits of n < 10^8 as byte values 0 to 9, the most
// significant first in memory (little-endian), without a division per
// digit: the halves, pairs and digits are split in parallel lanes.
inline std::uint64_t EightDigits(std::uint32_t n) {
  std::uint64_t x = n / 10000 | static_cast<std::uint64_t>(n % 10000) << 32;
  // x / 100 in each 32-bit lane: 5243 / 2^19 is exact below 43699.
  const std::uint64_t hundreds = ((x * 5243) >> 19) & 0x0000007F0000007FULL;
  x = hundreds | (x - hundreds * 100) << 16;
  // x / 10 in each 16-bit lane: 103 / 2^10 is exact below 179.
  const std::uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000FULL;
  return tens | (x - tens * 10) << 8;
}

// Lays out q / 10^D right-justified in a field of W = 8 + D bytes: 7
// integer positions (leading zeros blank, the units digit always there), the
// point, D fraction digits, and a minus sign before the first digit unless q
// is 0; asterisks when the integer digits do not fit. Two 8-byte stores that
// overlap cover the field.
template <int D, int W>
inline void LayoutField(char* out, bool negative, std::uint64_t q) {
  static_assert(W == 8 + D);
  const std::uint64_t integer = q / Scale<D>();
  const auto fraction = static_cast<std::uint32_t>(q - integer * Scale<D>());
  const bool sign = negative && q != 0;
  if (integer > (sign ? kMaxNegativeInteger : kMaxInteger)) {
    std::memset(out, '*', W);
    return;
  }
  const std::uint64_t digits = EightDigits(static_cast<std::uint32_t>(integer));
  // Byte 0 is always 0 (integer < 10^7); byte 7, the units, is never blank.
  const int blanks = std::countr_zero(digits | 1ULL << 56) / 8;
  std::uint64_t text = digits + EveryByte('0') -
                       (EveryByte('0' - ' ') & ((1ULL << (8 * blanks)) - 1));
  text += static_cast<std::uint64_t>(sign) *
          (std::uint64_t{'-' - ' '} << (8 * (blanks - 1)));
  const std::uint64_t head = text >> 8 | std::uint64_t{'.'} << 56;
  const std::uint64_t tail =
      head >> (8 * D) |
      ((EightDigits(fraction) + EveryByte('0')) & ~0ULL << (8 * (8 - D)));
  std::memcpy(out, &head, 8);
  std::memcpy(out + W - 8, &tail, 8);
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
