#include "record/number_parse.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "record/decimal_tables.h"

namespace lpgm {
namespace {

constexpr std::int64_t kExponentLimit = 1000000000;  // saturation of exponents

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// m * 10^scale, correctly rounded, when m has at most 15 digits and
// -22 <= scale <= 22: both are exact doubles, so one multiplication or
// division rounds once. Returns false outside that range.
bool ExactSmallDecimal(bool negative, std::uint64_t m, std::int64_t scale,
                       double* value) {
  if (m >= 1000000000000000ULL || scale < -22 || scale > 22) return false;
  const double v =
      ScaleByExactPow10(static_cast<double>(m), static_cast<int>(scale));
  *value = negative ? -v : v;
  return true;
}

// value = digits * 10^exponent, correctly rounded.
// `leading` is the value of the digits when there are at most 15.
double DecimalToDouble(bool negative, const char* digits, int ndigits,
                       std::uint64_t leading, bool sticky,
                       std::int64_t exponent) {
  if (ndigits == 0) return negative ? -0.0 : 0.0;
  if (ndigits <= 15 && !sticky) {
    double v;
    if (ExactSmallDecimal(negative, leading, exponent, &v)) return v;
  }
  // digits, a sticky digit for what was dropped, then the exponent.
  char text[NumberScanner::kMaxDigits + 32];
  int n = 0;
  if (negative) text[n++] = '-';
  for (int i = 0; i < ndigits; ++i) text[n++] = digits[i];
  if (sticky) {
    text[n++] = '1';
    --exponent;
  }
  if (exponent > 999999) exponent = 999999;
  if (exponent < -999999) exponent = -999999;
  text[n++] = 'e';
  auto [end, ec] = std::to_chars(text + n, text + sizeof text - 1, exponent);
  (void)ec;
  *end = '\0';
  double v = 0;
  auto result = std::from_chars(text, end, v);
  if (result.ec == std::errc()) return v;
  // Out of range: the C library gives the infinity of the sign, or zero or
  // a subnormal, as it rounds.
  return std::strtod(text, nullptr);
}

}  // namespace

void NumberScanner::Reset() {
  state_ = kStart;
  negative_ = false;
  has_point_ = false;
  exp_negative_ = false;
  sticky_ = false;
  ndigits_ = 0;
  leading_ = 0;
  mantissa_digits_ = 0;
  chars_ = 0;
  fraction_digits_ = 0;
  dropped_ = 0;
  exponent_ = 0;
}

ScanResult NumberScanner::Scan(const char* first, const char* last) {
  const char* p = first;
  while (p < last) {
    const char* next = p;
    switch (state_) {
      case kStart:
      case kSign:
      case kInteger:
      case kFraction:
        next = TakeMantissa(p, last);
        break;
      case kExpMark:
      case kExpSign:
      case kExpDigits:
        next = TakeExponent(p, last);
        break;
      case kBad:
        break;
    }
    if (next == p) break;
    p = next;
  }
  chars_ += p - first;
  return {p, Complete() ? std::errc() : std::errc::invalid_argument};
}

// One step of the sign, digits and point: a sign, a run of digits, the
// point, or the mark that begins the exponent. Returns p when *p cannot
// continue the number.
const char* NumberScanner::TakeMantissa(const char* p, const char* last) {
  const char c = *p;
  if (IsDigit(c)) return TakeMantissaDigits(p, last);
  const bool sign = c == '+' || c == '-';
  if (state_ == kStart && sign) {
    negative_ = c == '-';
    state_ = kSign;
    return p + 1;
  }
  if (c == '.' && !has_point_ && state_ != kFraction) {
    has_point_ = true;
    state_ = kFraction;
    return p + 1;
  }
  if (mantissa_digits_ == 0) return p;
  if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
    state_ = kExpMark;
    return p + 1;
  }
  if (sign) {  // 1.5-3 is 1.5E-3
    exp_negative_ = c == '-';
    state_ = kExpSign;
    return p + 1;
  }
  return p;
}

// A run of digits. The loop keeps its counters in locals: a store into the
// digit array may alias any member, so a loop over members would reload
// them at every digit.
const char* NumberScanner::TakeMantissaDigits(const char* p, const char* last) {
  if (state_ != kFraction) state_ = kInteger;
  const char* run = p;
  int kept = ndigits_;
  if (kept == 0) {
    while (p < last && *p == '0') ++p;  // leading zeros
  }
  std::uint64_t leading = leading_;
  std::int64_t dropped = 0;
  bool sticky = false;
  for (; p < last && IsDigit(*p); ++p) {
    if (kept < kMaxDigits) {
      if (kept < kLeadingDigits)
        leading = leading * 10 + static_cast<unsigned>(*p - '0');
      digits_[kept++] = *p;
    } else {
      sticky |= *p != '0';
      ++dropped;
    }
  }
  const std::int64_t length = p - run;
  mantissa_digits_ = static_cast<int>(
      std::min<std::int64_t>(mantissa_digits_ + length, 1000000000));
  if (state_ == kFraction)
    fraction_digits_ = std::min(fraction_digits_ + length, kExponentLimit);
  ndigits_ = kept;
  leading_ = leading;
  sticky_ = sticky_ || sticky;
  dropped_ = std::min(dropped_ + dropped, kExponentLimit);
  return p;
}

// One step of the exponent: its sign after the mark, or a run of digits.
const char* NumberScanner::TakeExponent(const char* p, const char* last) {
  const char c = *p;
  if (state_ == kExpMark && (c == '+' || c == '-')) {
    exp_negative_ = c == '-';
    state_ = kExpSign;
    return p + 1;
  }
  if (!IsDigit(c)) return p;
  state_ = kExpDigits;
  for (; p < last && IsDigit(*p); ++p) {
    exponent_ = exponent_ * 10 + (*p - '0');
    if (exponent_ > kExponentLimit) exponent_ = kExponentLimit;
  }
  return p;
}

ParseStatus NumberScanner::ToReal(int implied_decimals, double* value) const {
  if (chars_ == 0) {
    *value = 0.0;
    return ParseStatus::kOk;
  }
  if (!Complete()) return ParseStatus::kSyntax;
  // The digits written, point removed, are the kept significant digits
  // followed by `dropped_` more; `fraction_digits_` of them stood after the
  // point.
  std::int64_t exponent =
      dropped_ - fraction_digits_ + (exp_negative_ ? -exponent_ : exponent_);
  if (!has_point_) exponent -= implied_decimals;
  *value = DecimalToDouble(negative_, digits_, ndigits_, leading_, sticky_,
                           exponent);
  return ParseStatus::kOk;
}

ParseStatus NumberScanner::ToInteger(std::int32_t* value) const {
  if (chars_ == 0) {
    *value = 0;
    return ParseStatus::kOk;
  }
  if (state_ != kInteger || has_point_) return ParseStatus::kSyntax;
  if (ndigits_ > 10) return ParseStatus::kOverflow;
  std::int64_t v = 0;
  for (int i = 0; i < ndigits_; ++i) v = v * 10 + (digits_[i] - '0');
  if (negative_) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return ParseStatus::kOverflow;
  *value = static_cast<std::int32_t>(v);
  return ParseStatus::kOk;
}

// Flattened: the fast free-form path calls this once per value, and the
// calls between the steps of the scan would cost as much as the scan.
[[gnu::flatten]] ScanResult ScanReal(const char* first, const char* last,
                                     double* value) {
  NumberScanner scanner;
  const ScanResult result = scanner.Scan(first, last);
  if (result.ec == std::errc()) (void)scanner.ToReal(0, value);
  return result;
}

}  // namespace lpgm
