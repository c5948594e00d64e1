// Scanning of record files: lines with their numbers, blank- or
// comma-separated tokens, and strict number conversions.
#ifndef LPGM_PREPARE_TEXT_SCAN_H_
#define LPGM_PREPARE_TEXT_SCAN_H_

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace lpgm::prepare {

// Walks a text line by line. A line ends at LF; a CR before it is dropped,
// so files with LF and CR LF line ends read the same. The last line needs no
// line end; an empty text has no line.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : rest_(text) {}
  // The next line and true, or false at the end of the text.
  bool Next(std::string_view* line);
  // The number of the line that Next returned last (1 for the first).
  int number() const { return number_; }

 private:
  std::string_view rest_;
  int number_ = 0;
};

// The tokens of a line: runs of characters other than blank, tab and comma.
std::vector<std::string_view> Tokens(std::string_view line);

// True when the line holds only blanks and tabs (or nothing).
bool IsBlank(std::string_view line);

// A real number written in full, as a record file writes it: optional
// sign, digits with an optional decimal point, an optional exponent (E or
// e). nullopt for anything else, and for a value beyond the double range.
std::optional<double> ParseReal(std::string_view token);

// A whole number written in full: optional sign and digits, within 64 bits.
std::optional<std::int64_t> ParseInteger(std::string_view token);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_TEXT_SCAN_H_
