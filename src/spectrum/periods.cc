#include "spectrum/periods.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <system_error>

namespace lpgm::spectrum {

std::vector<double> DefaultPeriods() {
  std::vector<double> periods;
  for (int k = 0; k < kPeriodCount; ++k) {
    const double t = std::pow(10.0, -1.0 + 2.0 * k / (kPeriodCount - 1));
    periods.push_back(std::round(t * 1e4) / 1e4);
  }
  return periods;
}

namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::optional<double> Number(std::string_view field) {
  field = Trimmed(field);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  double value = 0.0;
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, value);
  if (field.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::string_view Field(std::string_view line, std::size_t index) {
  for (std::size_t i = 0; i < index; ++i) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return {};
    line.remove_prefix(comma + 1);
  }
  return line.substr(0, line.find(','));
}

// The line of column numbers "1,2,...,n" (n >= 2).
bool IsColumnNumbers(std::string_view line) {
  std::size_t k = 0;
  for (;; ++k) {
    const std::string_view field = Field(line, k);
    if (Trimmed(field).empty()) break;
    if (Number(field) != static_cast<double>(k + 1)) return false;
  }
  return k >= 2;
}

struct Lines {
  std::string_view rest;
  int number = 0;
  bool Next(std::string_view* line) {
    if (rest.empty()) return false;
    const std::size_t end = rest.find('\n');
    *line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    ++number;
    return true;
  }
};

// A field as an error message may quote it: bytes that are no printable
// ASCII (a period never has them) become '?', so that the message stays one
// line in any console encoding.
std::string Printable(std::string_view field) {
  std::string text(field.substr(0, 40));
  for (char& c : text)
    if (c < 0x20 || c > 0x7e) c = '?';
  return text;
}

}  // namespace

std::variant<std::vector<double>, prepare::InputError> ReadPeriods(
    std::string_view text, std::string_view file) {
  const std::string name(file);
  Lines lines{text};
  std::string_view line;
  bool found = false;
  while (!found && lines.Next(&line))
    found = Number(Field(line, 0)).has_value() && !IsColumnNumbers(line);
  std::vector<double> periods;
  while (found) {
    const std::optional<double> t = Number(Field(line, 0));
    if (!t || !std::isfinite(*t) || *t <= 0.0)
      return prepare::InputError{name, lines.number,
                                 "the period '" +
                                     Printable(Trimmed(Field(line, 0))) +
                                     "' is no positive number"};
    periods.push_back(*t);
    if (periods.size() == kPeriodCount) return periods;
    found = lines.Next(&line);
  }
  return prepare::InputError{
      name, 0,
      "holds " + std::to_string(periods.size()) +
          " rows of periods; an lpgm spectrum file or target file has 55"};
}

}  // namespace lpgm::spectrum
