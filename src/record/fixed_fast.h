// The fast path of the output conversions: the waveform fields F14.6 and
// F12.4.
//
// The value is scaled by one double multiply. For magnitudes below 10^7 the
// product is below 2^44, so it lies within 2^-10 of the exact scaled value;
// whenever its fractional part is more than a guard band of 2^-9 away from
// one half, it rounds to the same integer as the exact value. Values inside
// the band (true ties among them), magnitudes of 10^7 and more, infinities
// and NaN are left to the exact conversion, FormatFixed of number_format.h.
// The bytes are always those of FormatFixed(out, 14, 6, value) and
// FormatFixed(out, 12, 4, value).
#ifndef LPGM_RECORD_FIXED_FAST_H_
#define LPGM_RECORD_FIXED_FAST_H_

#include <cstddef>

#include "platform/kernel.h"

namespace lpgm {

// FormatFixed(out, 12, 4, value): the fast conversion, else the exact one.
void FormatF12_4(char* out, double value) noexcept;

// Writes the F14.6 fields of values[0, n) at out, out + stride, ...: one
// column of a table whose lines are `stride` bytes apart; and when `after`
// is a byte (0 to 255, not -1), that byte just after each field, at
// out[14], out + stride + 14, ... (the separator that follows the column on
// each line). stride >= 14, or >= 15 with `after`. `kernel` (one that runs
// on this processor) takes the column one value at a time (kScalar), two
// at a time (kSse2) or four (kAvx2); every kernel writes the same bytes.
// Each field that the fast conversion leaves goes through the exact one.
void FormatF14_6Column(platform::Kernel kernel, char* out, std::size_t stride,
                       const double* values, std::size_t n,
                       int after = -1) noexcept;

}  // namespace lpgm

#endif  // LPGM_RECORD_FIXED_FAST_H_
