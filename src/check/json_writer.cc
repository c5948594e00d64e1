#include "check/json_writer.h"

#include <charconv>
#include <cmath>

namespace lpgm::check {
namespace {

// The length of the valid UTF-8 character at the start of `text`, 0 when
// it is not one.
std::size_t Utf8Length(std::string_view text) {
  unsigned char c = static_cast<unsigned char>(text[0]);
  std::size_t n = c < 0x80                 ? 1
                  : c >= 0xC2 && c <= 0xDF ? 2
                  : (c >> 4) == 0xE        ? 3
                  : c >= 0xF0 && c <= 0xF4 ? 4
                                           : 0;
  if (n == 0 || n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) return 0;
  return n;
}

}  // namespace

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
  }
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  out_ += bracket;
  first_.push_back(true);
}

void JsonWriter::Close(char bracket) {
  out_ += bracket;
  if (!first_.empty()) first_.pop_back();
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendString(key);
  out_ += ':';
  after_key_ = true;
}

void JsonWriter::AppendString(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  out_ += '"';
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      // Bytes that are not UTF-8 (a name that did not decode) become U+FFFD.
      std::size_t n = Utf8Length(text.substr(i));
      if (n == 0) {
        out_ += "\\ufffd";
        ++i;
      } else {
        out_.append(text.substr(i, n));
        i += n;
      }
      continue;
    }
    ++i;
    switch (c) {
      case '"':
        out_ += "\\\"";
        break;
      case '\\':
        out_ += "\\\\";
        break;
      case '\n':
        out_ += "\\n";
        break;
      case '\r':
        out_ += "\\r";
        break;
      case '\t':
        out_ += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out_ += "\\u00";
          out_ += kHex[c >> 4];
          out_ += kHex[c & 15];
        } else {
          out_ += static_cast<char>(c);
        }
    }
  }
  out_ += '"';
}

void JsonWriter::String(std::string_view text) {
  BeforeValue();
  AppendString(text);
}

void JsonWriter::Number(double value) {
  if (!std::isfinite(value)) {
    Null();
    return;
  }
  BeforeValue();
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  out_.append(text, ec == std::errc() ? end : text);
}

void JsonWriter::Integer(long long value) {
  BeforeValue();
  out_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
}

void JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
}

}  // namespace lpgm::check
