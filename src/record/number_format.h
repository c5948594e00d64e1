// The exact output conversions: Iw and Fw.d fields.
//
// Fw.d is correctly rounded from the exact binary value of the double, ties
// to even. The common case (d <= 9 and a value below 2^53) is done with exact
// 128-bit integer arithmetic; the rest goes through the C library's exact
// conversion. Both give the same bytes as printf("%.*f"). The fast path of
// the waveform fields (fixed_fast.h) falls back to FormatFixed.
#ifndef LPGM_RECORD_NUMBER_FORMAT_H_
#define LPGM_RECORD_NUMBER_FORMAT_H_

#include <cstdint>

namespace lpgm {

// Writes `value` as an Iw field into out[0, width): right-justified digits,
// a minus sign directly before the first digit of a negative value, and
// `width` asterisks when sign and digits do not fit. 1 <= width <= 10000.
void FormatInteger(char* out, int width, std::int64_t value) noexcept;

// Writes `value` as an Fw.d field into out[0, width): rounded to `decimals`
// decimals, right-justified, with a 0 before the point for magnitudes below 1
// when there is room, no minus sign when the value rounds to zero, and
// `width` asterisks when it does not fit. Infinities and NaN are written
// "Infinity", "-Infinity" and "NaN", right-justified, or as asterisks.
// 1 <= width <= 10000, 0 <= decimals <= 30, decimals < width.
void FormatFixed(char* out, int width, int decimals, double value) noexcept;

}  // namespace lpgm

#endif  // LPGM_RECORD_NUMBER_FORMAT_H_
