#include "prepare/text_scan.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace lpgm::prepare {

bool LineCursor::Next(std::string_view* line) {
  if (rest_.empty()) return false;
  std::size_t end = rest_.find('\n');
  std::string_view found = rest_.substr(0, end);
  rest_ = end == std::string_view::npos ? std::string_view()
                                        : rest_.substr(end + 1);
  if (!found.empty() && found.back() == '\r') found.remove_suffix(1);
  *line = found;
  ++number_;
  return true;
}

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

// from_chars takes no leading '+'; one is allowed in record files.
std::string_view WithoutPlus(std::string_view token) {
  if (!token.empty() && token.front() == '+') token.remove_prefix(1);
  return token;
}

}  // namespace

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsSeparator(line[i])) ++i;
    std::size_t start = i;
    while (i < line.size() && !IsSeparator(line[i])) ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::optional<double> ParseReal(std::string_view token) {
  std::string_view body = WithoutPlus(token);
  if (body.empty() || (body.front() == '-' && token.front() == '+'))
    return std::nullopt;
  // Only digits, one point, sign and exponent: no "inf", "nan" nor hex.
  for (char c : body) {
    bool allowed = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' ||
                   c == 'e' || c == 'E';
    if (!allowed) return std::nullopt;
  }
  double value = 0.0;
  auto [end, error] = std::from_chars(body.data(), body.data() + body.size(),
                                      value, std::chars_format::general);
  if (error != std::errc() || end != body.data() + body.size())
    return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseInteger(std::string_view token) {
  std::string_view body = WithoutPlus(token);
  if (body.empty() || (body.front() == '-' && token.front() == '+'))
    return std::nullopt;
  std::int64_t value = 0;
  auto [end, error] =
      std::from_chars(body.data(), body.data() + body.size(), value);
  if (error != std::errc() || end != body.data() + body.size())
    return std::nullopt;
  return value;
}

}  // namespace lpgm::prepare
