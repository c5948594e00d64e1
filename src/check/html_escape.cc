#include "check/html_escape.h"

#include <cstddef>

namespace lpgm::check {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence that starts at text[i] and is not
// ASCII, or 0 when the bytes there are not one (overlong forms, surrogates
// and values above U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  auto byte = [&](std::size_t k) {
    return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u;
  };
  const unsigned lead = byte(i);
  unsigned lo = 0x80, hi = 0xBF;
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  const unsigned second = byte(i + 1);
  if (second < lo || second > hi) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    const unsigned next = byte(i + k);
    if (next < 0x80 || next > 0xBF) return 0;
  }
  return length;
}

void AppendAscii(std::string& out, char c) {
  switch (c) {
    case '&':
      out += "&amp;";
      return;
    case '<':
      out += "&lt;";
      return;
    case '>':
      out += "&gt;";
      return;
    case '"':
      out += "&quot;";
      return;
    case '\'':
      out += "&#39;";
      return;
    case '\t':
    case '\n':
    case '\r':
      out += c;
      return;
    default:
      break;
  }
  // Other control characters are not allowed in a page's text.
  if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
    out += kReplacement;
  } else {
    out += c;
  }
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      AppendAscii(out, text[i]);
      ++i;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
}

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text);
  return out;
}

}  // namespace lpgm::check
