#include "record/number_parse.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace lpgm {
namespace {

constexpr std::int64_t kExponentLimit = 1000000000;  // saturation of exponents

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// value = digits * 10^exponent, correctly rounded.
double DecimalToDouble(bool negative, const char* digits, int ndigits,
                       bool sticky, std::int64_t exponent) {
  if (ndigits == 0) return negative ? -0.0 : 0.0;
  if (ndigits <= 15 && !sticky) {
    std::uint64_t m = 0;
    for (int i = 0; i < ndigits; ++i)
      m = m * 10 + static_cast<unsigned>(digits[i] - '0');
    double v;
    if (ExactSmallDecimal(negative, m, exponent, &v)) return v;
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
  mantissa_digits_ = 0;
  chars_ = 0;
  fraction_digits_ = 0;
  dropped_ = 0;
  exponent_ = 0;
}

void NumberScanner::Feed(char c) {
  ++chars_;
  switch (state_) {
    case kStart:
      if (c == '+' || c == '-') {
        negative_ = c == '-';
        state_ = kSign;
        return;
      }
      [[fallthrough]];
    case kSign:
    case kInteger:
    case kFraction:
      if (IsDigit(c)) {
        if (mantissa_digits_ < 1000000000) ++mantissa_digits_;
        if (state_ == kFraction && fraction_digits_ < kExponentLimit)
          ++fraction_digits_;
        if (state_ != kFraction) state_ = kInteger;
        if (ndigits_ == 0 && c == '0') return;  // leading zero
        if (ndigits_ < kMaxDigits) {
          digits_[ndigits_++] = c;
        } else {
          if (c != '0') sticky_ = true;
          if (dropped_ < kExponentLimit) ++dropped_;
        }
        return;
      }
      if (c == '.' && !has_point_ && state_ != kFraction) {
        has_point_ = true;
        state_ = kFraction;
        return;
      }
      if (mantissa_digits_ > 0 &&
          (c == 'E' || c == 'e' || c == 'D' || c == 'd')) {
        state_ = kExpMark;
        return;
      }
      if (mantissa_digits_ > 0 && (c == '+' || c == '-')) {
        exp_negative_ = c == '-';
        state_ = kExpSign;
        return;
      }
      state_ = kBad;
      return;
    case kExpMark:
      if (c == '+' || c == '-') {
        exp_negative_ = c == '-';
        state_ = kExpSign;
        return;
      }
      [[fallthrough]];
    case kExpSign:
    case kExpDigits:
      if (IsDigit(c)) {
        exponent_ = exponent_ * 10 + (c - '0');
        if (exponent_ > kExponentLimit) exponent_ = kExponentLimit;
        state_ = kExpDigits;
        return;
      }
      state_ = kBad;
      return;
    case kBad:
      return;
  }
}

ParseStatus NumberScanner::ToReal(int implied_decimals, double* value) const {
  if (chars_ == 0) {
    *value = 0.0;
    return ParseStatus::kOk;
  }
  if (state_ != kInteger && state_ != kFraction && state_ != kExpDigits)
    return ParseStatus::kSyntax;
  if (mantissa_digits_ == 0) return ParseStatus::kSyntax;
  // The digits written, point removed, are the kept significant digits
  // followed by `dropped_` more; `fraction_digits_` of them stood after the
  // point.
  std::int64_t exponent = dropped_ - fraction_digits_ +
                          (exp_negative_ ? -exponent_ : exponent_);
  if (!has_point_) exponent -= implied_decimals;
  *value = DecimalToDouble(negative_, digits_, ndigits_, sticky_, exponent);
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

ParseStatus ParseReal(const char* text, std::size_t size, int implied_decimals,
                      double* value) {
  NumberScanner scanner;
  for (std::size_t i = 0; i < size; ++i) scanner.Feed(text[i]);
  return scanner.ToReal(implied_decimals, value);
}

}  // namespace lpgm
