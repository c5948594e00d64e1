#include "record/trimmed_length.h"

namespace lpgm {

template <std::size_t N>
static int TrimmedLength(const TextField<N>& text) {
  int n = static_cast<int>(N);
  while (n >= 2 && text[static_cast<std::size_t>(n - 1)] == ' ') --n;
  return n;
}

int LCHR40(const Text40& text) { return TrimmedLength(text); }
int LCHR400(const Text400& text) { return TrimmedLength(text); }

}  // namespace lpgm
