#include "record/free_form_fast.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "record/number_parse.h"
#include "record/sample_block.h"

namespace lpgm {
namespace {

// Ask only for what one token needs: a larger request would move the
// buffer's unread bytes to its front at every record end near its end.
constexpr std::size_t kWindow = 256;
// A pass goes on only with a block's worth in view (or the whole rest of the
// stream): a window is refilled rather than read near its end, so that the
// block reading takes nearly every token and a token is always seen whole.
constexpr std::ptrdiff_t kMinView = kBlockView;

bool IsPlainTerminator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '/' || c == '\n';
}

// Whether the number that ends at q is seen whole up to its separator.
bool EndsAtSeparator(const char* q, const RawWindow& w) {
  if (q == w.end) return w.stream_ended;
  // A carriage return ends the value only as part of a line end; alone it
  // is data, which the byte-at-a-time reading takes up.
  if (*q == '\r') return q + 1 != w.end && q[1] == '\n';
  return IsPlainTerminator(*q);
}

// Reads one number at p with the one number grammar: the tokens the blocks
// leave (those that are not plain, and the last few of a stream). Returns
// the token's length, or 0 when the token is not a number seen whole up to
// its separator.
std::size_t ScanOneReal(const char* p, const RawWindow& w, double* value) {
  const auto [q, ec] = ScanReal(p, w.end, value);
  if (ec != std::errc()) return 0;
  return EndsAtSeparator(q, w) ? static_cast<std::size_t>(q - p) : 0;
}

const char* SkipBlanks(const char* p, const char* end) {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  return p;
}

// The length of the record end at p when a byte follows it (the next record
// is then known to exist, and is begun by taking it), or 0.
std::size_t LineEndBefore(const char* p, const RawWindow& w) {
  if (*p == '\n' && p + 1 < w.end) return 1;
  if (*p == '\r' && p + 2 < w.end && p[1] == '\n') return 2;
  return 0;
}

struct WindowPass {
  const char* p;       // where the pass ended
  std::size_t stored;  // variables stored or left as they were
  bool must_leave;     // a byte the fast path does not take
  long records;        // record ends passed
};

// Where the values go.
struct Target {
  double* out;
  std::size_t stride;
  std::size_t left;  // variables the pass may take
  bool* after_value;
  platform::Kernel kernel;  // the code that reads the blocks
};

// Takes one separator or number at pass.p the way the byte-at-a-time
// reading would. Returns false where the pass must end: for a refill, at
// the end of the input, or at a byte that is left to that reading.
bool TakeOne(const RawWindow& w, WindowPass& pass, const Target& t) {
  if (!w.stream_ended && w.end - pass.p < kMinView) return false;  // refill
  pass.p = SkipBlanks(pass.p, w.end);
  if (pass.p == w.end) return false;
  // A record end separates like a blank.
  if (std::size_t n = LineEndBefore(pass.p, w); n > 0) {
    pass.p += n;
    ++pass.records;
    return true;
  }
  if (*pass.p == ',') {
    if (!*t.after_value) ++pass.stored;  // null: the variable keeps its value
    *t.after_value = false;
    ++pass.p;
    return true;
  }
  double v;
  std::size_t n = ScanOneReal(pass.p, w, &v);
  if (n == 0) {
    pass.must_leave = true;
    return false;
  }
  t.out[pass.stored++ * t.stride] = v;
  *t.after_value = true;
  pass.p += n;
  return true;
}

// What a pass over blocks changes, kept apart from WindowPass so that it
// stays in registers.
struct BlockState {
  std::size_t stored;
  long records;
  bool after_value;
};

// Takes the commas and record ends among the separators of a block (the
// bits of `special`, in order). Returns false, with the bit to end at in
// *stop, when a null fills the last variable.
inline bool TakeSeparators(const char* b, std::uint64_t special, BlockState& st,
                           std::size_t left, unsigned* stop) {
  while (special != 0) {
    const unsigned j = static_cast<unsigned>(std::countr_zero(special));
    special &= special - 1;
    if (b[j] == '\n') {
      ++st.records;  // the block is followed by more input
      continue;
    }
    const bool null = !st.after_value;  // the variable keeps its value
    st.after_value = false;
    if (null && ++st.stored == left) {
      *stop = j + 1;
      return false;
    }
  }
  return true;
}

// Takes the tokens and separators of the block at b. Returns where the next
// block begins (after the last whole token), or sets *stop where the pass ends:
// at a token that is not plain, or after the last variable.
template <BlockMasks (*kClassify)(const char*)>
[[gnu::always_inline]] inline const char* TakeBlock(const char* b,
                                                    BlockState& st,
                                                    const Target& t,
                                                    const char** stop) {
  const BlockMasks m = kClassify(b);
  // A token begins at a byte that is no separator after one that is (or
  // at the block's first byte); it ends at the separator after it. The
  // k-th end belongs to the k-th beginning.
  std::uint64_t begins = ~m.separator & (m.separator << 1 | 1);
  std::uint64_t ends = m.separator & ~m.separator << 1;
  std::uint64_t special = m.special;
  // Without a sign or letter inside a token the block has no exponent.
  const bool exponents = (m.other & ~begins) != 0;
  unsigned at;
  while (begins != 0) {
    const unsigned s = static_cast<unsigned>(std::countr_zero(begins));
    const std::uint64_t before = (std::uint64_t{1} << s) - 1;
    if ((special & before) != 0) {
      if (!TakeSeparators(b, special & before, st, t.left, &at)) {
        *stop = b + at;
        return nullptr;
      }
      special &= ~before;
    }
    if (ends == 0) {
      // A token that goes on past the block: the next block begins with it.
      if (s > 0) return b + s;
      *stop = b;
      return nullptr;
    }
    const unsigned e = static_cast<unsigned>(std::countr_zero(ends));
    PlainDecimal d;
    if (!(exponents ? ScanPlainToken<true>(b, m, s, e, &d)
                    : ScanPlainToken<false>(b, m, s, e, &d))) {
      *stop = b + s;
      return nullptr;
    }
    t.out[st.stored++ * t.stride] = d.Value();
    st.after_value = true;
    if (st.stored == t.left) {
      *stop = b + e;
      return nullptr;
    }
    begins &= begins - 1;
    ends &= ends - 1;
  }
  if (special != 0 && !TakeSeparators(b, special, st, t.left, &at)) {
    *stop = b + at;
    return nullptr;
  }
  return b + kBlockBytes;
}

// Takes the plain numbers and separators of 64-byte blocks from pass.p on,
// as long as a whole block and the loads of its tokens are in view. Ends
// at the first thing it does not take (which TakeOne then takes or leaves)
// or after the last variable.
template <BlockMasks (*kClassify)(const char*)>
[[gnu::always_inline]] inline void TakeBlocksWith(const RawWindow& w,
                                                  WindowPass& pass,
                                                  const Target& t) {
  BlockState st{pass.stored, pass.records, *t.after_value};
  const char* b = pass.p;
  const char* stop = nullptr;
  while (w.end - b >= kBlockView) {
    const char* next = TakeBlock<kClassify>(b, st, t, &stop);
    if (next == nullptr) {
      b = stop;
      break;
    }
    b = next;
  }
  pass.p = b;
  pass.stored = st.stored;
  pass.records = st.records;
  *t.after_value = st.after_value;
}

void TakeBlocksScalar(const RawWindow& w, WindowPass& pass, const Target& t) {
  TakeBlocksWith<sample_block_internal::ClassifyScalar>(w, pass, t);
}

#ifdef LPGM_SAMPLE_BLOCK_SSE2
void TakeBlocksSse2(const RawWindow& w, WindowPass& pass, const Target& t) {
  TakeBlocksWith<sample_block_internal::ClassifySse2>(w, pass, t);
}
#endif

#ifdef LPGM_SAMPLE_BLOCK_AVX2
// The same code compiled for AVX2, BMI1 and BMI2 (variable shifts, bit
// scans and masks in one instruction each).
__attribute__((target("avx2,bmi,bmi2"))) void TakeBlocksAvx2(const RawWindow& w,
                                                             WindowPass& pass,
                                                             const Target& t) {
  TakeBlocksWith<sample_block_internal::ClassifyAvx2>(w, pass, t);
}
#endif

void TakeBlocks(const RawWindow& w, WindowPass& pass, const Target& t) {
  switch (t.kernel) {
#ifdef LPGM_SAMPLE_BLOCK_AVX2
    case platform::Kernel::kAvx2:
      return TakeBlocksAvx2(w, pass, t);
#endif
#ifdef LPGM_SAMPLE_BLOCK_SSE2
    case platform::Kernel::kSse2:
      return TakeBlocksSse2(w, pass, t);
#endif
    default:
      return TakeBlocksScalar(w, pass, t);
  }
}

// Takes values from one window into the current array, up to `left`
// variables.
WindowPass ReadWindow(const RawWindow& w, const Target& t) {
  WindowPass pass{w.begin, 0, false, 0};
  if (t.left == 0) return pass;
  do {
    TakeBlocks(w, pass, t);
  } while (pass.stored < t.left && TakeOne(w, pass, t) && pass.stored < t.left);
  return pass;
}

}  // namespace

void ReadRealsFast(InputChannel& channel, ListCursor& cursor, bool* after_value,
                   platform::Kernel kernel) {
  while (!cursor.done() && cursor.item().kind == ListItem::Kind::kReal) {
    RawWindow w = channel.Window(kWindow);
    const Target target{cursor.real(), cursor.item().stride,
                        cursor.left_in_item(), after_value, kernel};
    const WindowPass pass = ReadWindow(w, target);
    channel.Consume(static_cast<std::size_t>(pass.p - w.begin));
    channel.CountRecordsPassed(pass.records);
    cursor.Advance(pass.stored);
    if (pass.must_leave || (pass.p == w.end && w.stream_ended)) return;
    if (pass.stored == 0 && pass.p == w.begin) return;
  }
}

}  // namespace lpgm
