#include "platform/unicode.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace lpgm::platform {
namespace {

// (first form, second form)
constexpr std::array<std::pair<char32_t, char32_t>, 7> kTwoForms = {{
    {U'\uFF5E', U'\u301C'},
    {U'\u2225', U'\u2016'},
    {U'\uFF0D', U'\u2212'},
    {U'\u2015', U'\u2014'},
    {U'\uFFE0', U'\u00A2'},
    {U'\uFFE1', U'\u00A3'},
    {U'\uFFE2', U'\u00AC'},
}};

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The number of bytes the UTF-8 lead byte announces, or 0 for a byte that
// cannot start a character (a continuation byte, C0, C1, F5..FF).
std::size_t AnnouncedLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Whether `second` may follow `lead` (this rules out overlong forms,
// surrogates and code points above U+10FFFF).
bool SecondByteFits(unsigned char lead, unsigned char second) {
  switch (lead) {
    case 0xE0:
      return second >= 0xA0 && second <= 0xBF;
    case 0xED:
      return second >= 0x80 && second <= 0x9F;
    case 0xF0:
      return second >= 0x90 && second <= 0xBF;
    case 0xF4:
      return second >= 0x80 && second <= 0x8F;
    default:
      return IsContinuation(second);
  }
}

char32_t SecondForm(char32_t code_point) {
  for (const auto& [first, second] : kTwoForms) {
    if (code_point == first) return second;
  }
  return code_point;
}

}  // namespace

std::size_t DecodeUtf8(std::string_view text, char32_t* code_point) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = AnnouncedLength(lead);
  if (length == 0 || length > text.size()) return 0;
  if (length == 1) {
    *code_point = lead;
    return 1;
  }
  if (!SecondByteFits(lead, static_cast<unsigned char>(text[1]))) return 0;
  constexpr unsigned char kLeadMask[] = {0, 0, 0x1F, 0x0F, 0x07};
  char32_t value = lead & kLeadMask[length];
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (!IsContinuation(byte)) return 0;
    value = (value << 6) | (byte & 0x3Fu);
  }
  *code_point = value;
  return length;
}

bool IsIncompleteUtf8(std::string_view tail) {
  const auto lead = static_cast<unsigned char>(tail[0]);
  const std::size_t length = AnnouncedLength(lead);
  if (length <= tail.size()) return false;
  if (tail.size() >= 2 &&
      !SecondByteFits(lead, static_cast<unsigned char>(tail[1]))) {
    return false;
  }
  for (std::size_t i = 2; i < tail.size(); ++i) {
    if (!IsContinuation(static_cast<unsigned char>(tail[i]))) return false;
  }
  return true;
}

std::size_t CompleteUtf8Length(std::string_view text) {
  const std::size_t longest_tail = text.size() < 3 ? text.size() : 3;
  for (std::size_t tail = 1; tail <= longest_tail; ++tail) {
    const std::size_t start = text.size() - tail;
    if (IsContinuation(static_cast<unsigned char>(text[start]))) continue;
    return IsIncompleteUtf8(text.substr(start)) ? start : text.size();
  }
  return text.size();
}

void AppendUtf8(char32_t code_point, std::string* out) {
  const auto byte = [out](char32_t value) {
    out->push_back(static_cast<char>(static_cast<unsigned char>(value)));
  };
  if (code_point < 0x80) {
    byte(code_point);
  } else if (code_point < 0x800) {
    byte(0xC0 | (code_point >> 6));
    byte(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    byte(0xE0 | (code_point >> 12));
    byte(0x80 | ((code_point >> 6) & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  } else {
    byte(0xF0 | (code_point >> 18));
    byte(0x80 | ((code_point >> 12) & 0x3F));
    byte(0x80 | ((code_point >> 6) & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  }
}

char32_t FirstForm(char32_t code_point) {
  for (const auto& [first, second] : kTwoForms) {
    if (code_point == second) return first;
  }
  return code_point;
}

std::string WithSecondForms(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t code_point = 0;
    const std::size_t length = DecodeUtf8(utf8.substr(i), &code_point);
    if (length <= 1) {
      out.push_back(utf8[i]);
      ++i;
      continue;
    }
    AppendUtf8(SecondForm(code_point), &out);
    i += length;
  }
  return out;
}

}  // namespace lpgm::platform
