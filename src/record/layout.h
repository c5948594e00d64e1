// Layouts: parenthesised lists of field descriptors such as (I20,A400),
// (28F20.0) or (F12.4,10(A1,F14.6)).
//
// A layout is parsed once into a flat list: repeat counts and groups are
// expanded, so that a record is processed by walking the list with an index.
// When values remain after the last descriptor, processing goes on at the
// start of the last top-level group (the reversion point), or at the start of
// the layout when it has no group.
#ifndef LPGM_RECORD_LAYOUT_H_
#define LPGM_RECORD_LAYOUT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace lpgm {

enum class FieldKind : std::uint8_t {
  kInteger,    // Iw
  kFixed,      // Fw.d
  kText,       // Aw
  kTextWhole,  // A: the variable's own length
  kStayOpen,   // $: no record end after this record (output only, last)
};

struct Descriptor {
  FieldKind kind;
  std::int16_t width;     // Iw, Fw.d, Aw
  std::int16_t decimals;  // Fw.d

  bool TakesValue() const { return kind != FieldKind::kStayOpen; }
};

class Layout {
 public:
  static constexpr std::size_t kMaxDescriptors = 256;

  // Parses layout text. Layouts are fixed in the program, so malformed text
  // is a programming error: it throws std::logic_error.
  static Layout Parse(std::string_view text);

  std::span<const Descriptor> descriptors() const {
    return std::span<const Descriptor>(items_.data(), size_);
  }
  std::size_t size() const { return size_; }
  const Descriptor& operator[](std::size_t i) const { return items_[i]; }
  std::size_t reversion() const { return reversion_; }

 private:
  std::array<Descriptor, kMaxDescriptors> items_{};
  std::size_t size_ = 0;
  std::size_t reversion_ = 0;
};

}  // namespace lpgm

#endif  // LPGM_RECORD_LAYOUT_H_
