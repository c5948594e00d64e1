#include "record/layout.h"

#include <cctype>
#include <stdexcept>
#include <string>

namespace lpgm {
namespace {

class Parser {
 public:
  Parser(std::string_view text,
         std::array<Descriptor, Layout::kMaxDescriptors>* out)
      : text_(text), out_(out) {}

  // layout := '(' list ')'
  void ParseLayout(std::size_t* size, std::size_t* reversion) {
    Expect('(');
    ParseList(/*top_level=*/true, reversion);
    Expect(')');
    SkipBlanks();
    if (pos_ != text_.size()) Fail("text after the layout");
    *size = size_;
    for (std::size_t i = 0; i < size_; ++i) {
      if ((*out_)[i].kind == FieldKind::kStayOpen && i + 1 != size_)
        Fail("$ must be the last descriptor");
    }
  }

 private:
  void ParseList(bool top_level, std::size_t* reversion) {
    for (;;) {
      SkipBlanks();
      int repeat = 1;
      bool has_repeat = false;
      if (pos_ < text_.size() && IsDigit(text_[pos_])) {
        repeat = Number();
        has_repeat = true;
        if (repeat < 1) Fail("repeat count below 1");
      }
      SkipBlanks();
      if (Peek() == '(') {
        ++pos_;
        std::size_t group_start = size_;
        std::size_t body_pos = pos_;
        for (int r = 0; r < repeat; ++r) {
          pos_ = body_pos;
          ParseList(false, nullptr);
          Expect(')');
        }
        if (top_level) *reversion = group_start;
      } else {
        Descriptor d = ParseDescriptor(has_repeat);
        for (int r = 0; r < repeat; ++r) Push(d);
      }
      SkipBlanks();
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      return;
    }
  }

  Descriptor ParseDescriptor(bool has_repeat) {
    char c =
        static_cast<char>(std::toupper(static_cast<unsigned char>(Peek())));
    ++pos_;
    switch (c) {
      case 'I': {
        int w = Number();
        if (w < 1) Fail("width below 1");
        return {FieldKind::kInteger, static_cast<std::int16_t>(w), 0};
      }
      case 'F': {
        int w = Number();
        Expect('.');
        int d = Number();
        if (w < 1 || d >= w || d > 30) Fail("bad Fw.d");
        return {FieldKind::kFixed, static_cast<std::int16_t>(w),
                static_cast<std::int16_t>(d)};
      }
      case 'A': {
        if (pos_ < text_.size() && IsDigit(text_[pos_])) {
          int w = Number();
          if (w < 1) Fail("width below 1");
          return {FieldKind::kText, static_cast<std::int16_t>(w), 0};
        }
        return {FieldKind::kTextWhole, 0, 0};
      }
      case '$':
        if (has_repeat) Fail("repeat on $");
        return {FieldKind::kStayOpen, 0, 0};
      default:
        Fail("unknown descriptor");
    }
  }

  void Push(const Descriptor& d) {
    if (size_ == Layout::kMaxDescriptors) Fail("too many descriptors");
    (*out_)[size_++] = d;
  }

  int Number() {
    if (pos_ >= text_.size() || !IsDigit(text_[pos_])) Fail("number expected");
    long value = 0;
    while (pos_ < text_.size() && IsDigit(text_[pos_])) {
      value = value * 10 + (text_[pos_] - '0');
      if (value > 10000) Fail("number too large");
      ++pos_;
    }
    return static_cast<int>(value);
  }

  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }
  void Expect(char c) {
    SkipBlanks();
    if (Peek() != c) Fail(std::string("expected '") + c + "'");
    ++pos_;
  }
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::logic_error("layout " + std::string(text_) + ": " + what);
  }

  std::string_view text_;
  std::array<Descriptor, Layout::kMaxDescriptors>* out_;
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
};

}  // namespace

Layout Layout::Parse(std::string_view text) {
  Layout layout;
  Parser parser(text, &layout.items_);
  parser.ParseLayout(&layout.size_, &layout.reversion_);
  return layout;
}

}  // namespace lpgm
