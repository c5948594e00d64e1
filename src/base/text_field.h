// Fixed-length, blank-padded text fields: the typed answer (40 positions) and
// a folder name (400 positions). Positions count CP932 bytes.
#ifndef LPGM_BASE_TEXT_FIELD_H_
#define LPGM_BASE_TEXT_FIELD_H_

#include <array>
#include <cstddef>
#include <string_view>

namespace lpgm {

template <std::size_t N>
using TextField = std::array<char, N>;
using Text40 = TextField<40>;
using Text400 = TextField<400>;

// Fills `field` with blanks.
template <std::size_t N>
void FillBlanks(TextField<N>& field) {
  field.fill(' ');
}

// The first `length` positions of `field` (0 <= length <= N).
template <std::size_t N>
std::string_view Leading(const TextField<N>& field, int length) {
  std::size_t n = length < 0 ? 0 : static_cast<std::size_t>(length);
  if (n > N) n = N;
  return std::string_view(field.data(), n);
}

}  // namespace lpgm

#endif  // LPGM_BASE_TEXT_FIELD_H_
