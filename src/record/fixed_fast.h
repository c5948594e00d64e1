// The fast conversions of the waveform fields F14.6 and F12.4.
//
// The value is scaled by one double multiply. For magnitudes below 10^7 the
// product is below 2^44, so it lies within 2^-10 of the exact scaled value;
// whenever its fractional part is more than a guard band of 2^-9 away from
// one half, it rounds to the same integer as the exact value. Values inside
// the band (true ties among them), magnitudes of 10^7 and more, infinities
// and NaN are left to the exact conversion of number_format.h. The bytes are
// always those of FormatFixed(out, 14, 6, value) and FormatFixed(out, 12, 4,
// value).
#ifndef LPGM_RECORD_FIXED_FAST_H_
#define LPGM_RECORD_FIXED_FAST_H_

#include <cstddef>

namespace lpgm {

// Writes the F14.6 (F12.4) field of `value` into out[0, 14) (out[0, 12))
// and returns true, or writes nothing and returns false when the value needs
// the exact conversion.
bool TryFormatF14_6(char* out, double value) noexcept;
bool TryFormatF12_4(char* out, double value) noexcept;

// Writes the F14.6 fields of values[0, n) at out, out + stride, ...: one
// column of a table whose lines are `stride` bytes apart. Each field that
// the fast conversion leaves goes through the exact one. stride >= 14.
void FormatF14_6Column(char* out, std::size_t stride, const double* values,
                       std::size_t n) noexcept;

// FormatF14_6Column, and `after` written just after each field, at
// out[14], out + stride + 14, ...: a column of a table together with the
// separator that follows it on each line. stride >= 15.
void FormatF14_6ColumnThen(char* out, std::size_t stride, const double* values,
                           std::size_t n, char after) noexcept;

// The ways FormatF14_6Column can take a column: one value at a time, two at
// a time (x86-64), four at a time (x86-64 processors with AVX2). It takes
// the widest the processor has; all of them give the same bytes.
enum class ColumnKernel { kOneByOne, kSse2, kAvx2 };
bool ColumnKernelAvailable(ColumnKernel kernel) noexcept;
// FormatF14_6Column (after < 0) or FormatF14_6ColumnThen (after the byte,
// 0 to 255) by `kernel`, or by a narrower one when the processor lacks it.
void FormatF14_6ColumnWith(ColumnKernel kernel, char* out, std::size_t stride,
                           const double* values, std::size_t n,
                           int after = -1) noexcept;

}  // namespace lpgm

#endif  // LPGM_RECORD_FIXED_FAST_H_
