#include "record/free_form_fast.h"

#include <cstddef>
#include <system_error>

#include "record/number_parse.h"
#include "record/plain_decimal.h"

namespace lpgm {
namespace {

// Ask only for what one token needs: a larger request would move the
// buffer's unread bytes to its front at every record end near its end.
constexpr std::size_t kWindow = 256;
// A token is taken only with this many bytes in view (or the whole rest of
// the stream), so that it is seen whole; a longer one is left to the
// byte-at-a-time reading.
constexpr std::ptrdiff_t kMaxToken = 64;

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

// Scans one number at p. Returns the token's length, or 0 when the token
// is not a plain number seen whole up to its separator.
std::size_t ScanPlainReal(const char* p, const RawWindow& w, double* value) {
  if (w.end - p >= kPlainDecimalView) {
    // Most samples: a short plain decimal, read without the full grammar.
    double v;
    const std::size_t n = ScanPlainDecimal(p, &v);
    if (n > 0 && EndsAtSeparator(p + n, w)) {
      *value = v;
      return n;
    }
  }
  const auto [q, ec] = ScanReal(p, w.end, value);
  if (ec != std::errc()) return 0;
  return EndsAtSeparator(q, w) ? static_cast<std::size_t>(q - p) : 0;
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

// Takes values from one window into the current array, up to `left`
// variables.
WindowPass ReadWindow(const RawWindow& w, double* out, std::size_t stride,
                      std::size_t left, bool* after_value) {
  WindowPass pass{w.begin, 0, false, 0};
  while (pass.stored < left) {
    if (!w.stream_ended && w.end - pass.p < kMaxToken) break;  // refill
    pass.p = SkipBlanks(pass.p, w.end);
    if (pass.p == w.end) break;
    // A record end separates like a blank.
    if (std::size_t n = LineEndBefore(pass.p, w); n > 0) {
      pass.p += n;
      ++pass.records;
      continue;
    }
    if (*pass.p == ',') {
      if (!*after_value) ++pass.stored;  // null: the variable keeps its value
      *after_value = false;
      ++pass.p;
      continue;
    }
    double v;
    std::size_t n = ScanPlainReal(pass.p, w, &v);
    if (n == 0) {
      pass.must_leave = true;
      break;
    }
    out[pass.stored++ * stride] = v;
    *after_value = true;
    pass.p += n;
  }
  return pass;
}

}  // namespace

void ReadRealsFast(InputChannel& channel, ListCursor& cursor,
                   bool* after_value) {
  while (!cursor.done() && cursor.item().kind == ListItem::Kind::kReal) {
    RawWindow w = channel.Window(kWindow);
    WindowPass pass = ReadWindow(w, cursor.real(), cursor.item().stride,
                                 cursor.left_in_item(), after_value);
    channel.Consume(static_cast<std::size_t>(pass.p - w.begin));
    channel.CountRecordsPassed(pass.records);
    cursor.Advance(pass.stored);
    if (pass.must_leave || (pass.p == w.end && w.stream_ended)) return;
    if (pass.stored == 0 && pass.p == w.begin) return;
  }
}

}  // namespace lpgm
