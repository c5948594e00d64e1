// Input conversions: the text of a numeric field or free-form value to a
// 32-bit whole number or a double.
//
// A NumberScanner takes the characters of one field or value one at a time
// (blanks already dropped where they are to be ignored) and keeps a fixed
// amount of state, however long the text: the first 800 significant digits,
// whether any nonzero digit followed, and the decimal exponent. Reals are
// correctly rounded from the decimal value written (more than 767 digits
// never change the rounding of a double).
//
// Accepted forms: an optional sign, digits with an optional decimal point,
// and an optional exponent: E or D in either case followed by an optionally
// signed whole number, or a sign directly after the digits (1.5-3 is 1.5E-3).
// Whole numbers: an optional sign and digits.
#ifndef LPGM_RECORD_NUMBER_PARSE_H_
#define LPGM_RECORD_NUMBER_PARSE_H_

#include <cstddef>
#include <cstdint>

namespace lpgm {

enum class ParseStatus {
  kOk,
  kSyntax,    // not a number of the required kind
  kOverflow,  // a whole number beyond 32 bits
};

class NumberScanner {
 public:
  static constexpr int kMaxDigits = 800;

  NumberScanner() { Reset(); }
  void Reset();
  void Feed(char c);
  // True when no character has been fed.
  bool empty() const { return chars_ == 0; }

  // The value as a real. Without a decimal point, the last
  // `implied_decimals` digits are decimals.
  ParseStatus ToReal(int implied_decimals, double* value) const;
  // The value as a whole number.
  ParseStatus ToInteger(std::int32_t* value) const;

 private:
  enum State : std::uint8_t {
    kStart, kSign, kInteger, kFraction, kExpMark, kExpSign, kExpDigits, kBad
  };
  State state_;
  bool negative_;
  bool has_point_;
  bool exp_negative_;
  bool sticky_;
  int ndigits_;
  int mantissa_digits_;      // digits of the mantissa seen, zeros included
  std::int64_t chars_;
  std::int64_t fraction_digits_;  // digits after the point, zeros included
  std::int64_t dropped_;     // significant digits not kept (before the point)
  std::int64_t exponent_;    // saturated
  char digits_[kMaxDigits];  // significant digits, without leading zeros
};

// Converts the whole of text[0, size) (no blanks) as one real. Used by the
// fast paths; same result as feeding a NumberScanner.
ParseStatus ParseReal(const char* text, std::size_t size, int implied_decimals,
                      double* value);

}  // namespace lpgm

#endif  // LPGM_RECORD_NUMBER_PARSE_H_
