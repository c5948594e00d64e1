// Input conversions: the text of a numeric field or free-form value to a
// 32-bit whole number or a double.
//
// A NumberScanner holds the one grammar of numbers. It takes the characters
// of one field or value, one at a time or a run at a time (blanks already
// dropped where they are to be ignored), and keeps a fixed amount of state,
// however long the text: the first 800 significant digits,
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
#include <system_error>

namespace lpgm {

enum class ParseStatus {
  kOk,
  kSyntax,    // not a number of the required kind
  kOverflow,  // a whole number beyond 32 bits
};

// Where a scan stopped, as std::from_chars reports it: `ptr` is the first
// character not taken, and `ec` is std::errc() when the characters taken so
// far form a whole number, std::errc::invalid_argument when they do not (yet).
struct ScanResult {
  const char* ptr;
  std::errc ec;
};

class NumberScanner {
 public:
  static constexpr int kMaxDigits = 800;
  static constexpr int kLeadingDigits = 19;

  NumberScanner() { Reset(); }
  void Reset();
  // Takes the characters of [first, last) for as long as they continue the
  // number, and stops at the first that cannot. Scanning a value in pieces
  // gives the same state as scanning it whole.
  ScanResult Scan(const char* first, const char* last);
  // Takes one character; one that cannot continue the number makes the
  // whole text no number.
  void Feed(char c) {
    if (Scan(&c, &c + 1).ptr != &c) return;
    ++chars_;
    state_ = kBad;
  }
  // True when no character has been fed (used by the tests).
  bool empty() const { return chars_ == 0; }

  // The value as a real. Without a decimal point, the last
  // `implied_decimals` digits are decimals.
  ParseStatus ToReal(int implied_decimals, double* value) const;
  // The value as a whole number.
  ParseStatus ToInteger(std::int32_t* value) const;

 private:
  enum State : std::uint8_t {
    kStart,
    kSign,
    kInteger,
    kFraction,
    kExpMark,
    kExpSign,
    kExpDigits,
    kBad
  };
  // The text so far is a number: a digit, and no exponent left half written.
  bool Complete() const {
    return mantissa_digits_ > 0 &&
           (state_ == kInteger || state_ == kFraction || state_ == kExpDigits);
  }
  const char* TakeMantissa(const char* p, const char* last);
  const char* TakeMantissaDigits(const char* p, const char* last);
  const char* TakeExponent(const char* p, const char* last);
  State state_;
  bool negative_;
  bool has_point_;
  bool exp_negative_;
  bool sticky_;
  int ndigits_;
  int mantissa_digits_;  // digits of the mantissa seen, zeros included
  std::int64_t chars_;
  std::int64_t fraction_digits_;  // digits after the point, zeros included
  std::int64_t dropped_;          // significant digits past the kept ones
  std::int64_t exponent_;         // saturated
  std::uint64_t leading_;    // the value of the first kLeadingDigits digits
  char digits_[kMaxDigits];  // significant digits, without leading zeros
};

// Reads the number at the start of [first, last) as a real, in the manner
// of std::from_chars: `ptr` is where the number ends, and `value` is set
// only when `ec` is std::errc(). The same grammar and the same value as a
// NumberScanner fed the same characters.
ScanResult ScanReal(const char* first, const char* last, double* value);

}  // namespace lpgm

#endif  // LPGM_RECORD_NUMBER_PARSE_H_
