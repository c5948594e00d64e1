#include "record/free_form.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "record/failure.h"
#include "record/number_parse.h"

namespace lpgm {
namespace {

constexpr int kEor = InputChannel::kEndOfRecord;

bool IsSeparator(int c) {
  return c == kEor || c == ' ' || c == '\t' || c == ',' || c == '/';
}

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// Walks the variables of a read in order.
class Cursor {
 public:
  Cursor(const Variables* begin, const Variables* end) : it_(begin), end_(end) {
    Settle();
  }
  bool done() const { return it_ == end_; }
  const Variables& item() const { return *it_; }
  std::size_t index() const { return k_; }
  std::size_t left_in_item() const { return it_->count - k_; }
  void Advance(std::size_t n) {
    while (n > 0 && !done()) {
      std::size_t step = std::min(n, left_in_item());
      k_ += step;
      n -= step;
      Settle();
    }
  }
  double* real() const { return static_cast<double*>(it_->data) + k_ * it_->stride; }
  std::int32_t* integer() const {
    return static_cast<std::int32_t*>(it_->data) + k_;
  }
  char* text() const {
    return static_cast<char*>(it_->data) + k_ * it_->text_length;
  }

 private:
  void Settle() {
    while (it_ != end_ && k_ >= it_->count) {
      ++it_;
      k_ = 0;
    }
  }
  const Variables* it_;
  const Variables* end_;
  std::size_t k_ = 0;
};

// One value as read: its text (for text variables, cut at kMaxFreeFormText)
// and its number scanner (for numeric ones).
struct Value {
  NumberScanner scanner;
  char text[kMaxFreeFormText];
  std::size_t text_size = 0;
  bool quoted = false;

  void Add(char c) {
    scanner.Feed(c);
    if (text_size < kMaxFreeFormText) text[text_size++] = c;
  }
  void Clear() {
    scanner.Reset();
    text_size = 0;
    quoted = false;
  }
};

// Reads the rest of a quoted text; the opening delimiter is taken.
void ReadQuoted(InputChannel& channel, int delimiter, Value* value) {
  value->quoted = true;
  for (;;) {
    int c = channel.Get();
    if (c == kEor) {
      channel.BeginRecordOrFail();  // the text goes on in the next record
      continue;
    }
    if (c == delimiter) {
      if (channel.Peek() != delimiter) return;
      channel.Get();
    }
    if (value->text_size < kMaxFreeFormText)
      value->text[value->text_size++] = static_cast<char>(c);
  }
}

// Passes over the rest of an unquoted token whose text can no longer change
// (its variable is full), up to a separator or a carriage return, which the
// general path then takes.
void SkipTokenRest(InputChannel& channel) {
  for (;;) {
    std::size_t got;
    const char* p = channel.Buffered(&got);
    std::size_t i = 0;
    while (i < got && p[i] != ' ' && p[i] != '\t' && p[i] != ',' &&
           p[i] != '/' && p[i] != '\n' && p[i] != '\r')
      ++i;
    channel.Consume(i);
    if (i < got || got == 0) return;
  }
}

// Stores `value` into the cursor's next `repeat` variables. Returns 0 or 59.
int Assign(Cursor& cursor, const Value& value, std::int64_t repeat) {
  while (repeat > 0 && !cursor.done()) {
    switch (cursor.item().kind) {
      case Variables::Kind::kText: {
        std::size_t length = cursor.item().text_length;
        std::size_t n = std::min(length, value.text_size);
        char* target = cursor.text();
        std::memcpy(target, value.text, n);
        std::memset(target + n, ' ', length - n);
        break;
      }
      case Variables::Kind::kInteger: {
        std::int32_t v;
        if (value.quoted || value.scanner.ToInteger(&v) != ParseStatus::kOk)
          return kErrListSyntax;
        *cursor.integer() = v;
        break;
      }
      case Variables::Kind::kReal: {
        double v;
        if (value.quoted || value.scanner.ToReal(0, &v) != ParseStatus::kOk)
          return kErrListSyntax;
        *cursor.real() = v;
        break;
      }
    }
    cursor.Advance(1);
    --repeat;
  }
  return 0;
}

// Reads one value (a quoted or unquoted token, with an optional repeat count)
// starting at the current byte, which is not a separator.
int ReadValue(InputChannel& channel, Cursor& cursor, Value* value) {
  value->Clear();
  std::int64_t repeat = 1;
  bool counted = false;       // a repeat count r* was read
  bool digits_only = true;    // the token so far is all digits
  std::int64_t count = 0;
  std::size_t chars = 0;
  int c = channel.Peek();
  if (c == '\'' || c == '"') {
    channel.Get();
    ReadQuoted(channel, c, value);
    return Assign(cursor, *value, 1);
  }
  for (;;) {
    c = channel.Peek();
    if (IsSeparator(c)) break;
    channel.Get();
    if (!counted && c == '*' && digits_only && chars > 0) {
      counted = true;
      repeat = count;
      if (repeat == 0) return kErrListSyntax;
      value->Clear();
      int next = channel.Peek();
      if (next == '\'' || next == '"') {
        channel.Get();
        ReadQuoted(channel, next, value);
        return Assign(cursor, *value, repeat);
      }
      if (IsSeparator(next)) {  // r*: r null values
        cursor.Advance(static_cast<std::size_t>(repeat));
        return 0;
      }
      continue;
    }
    if (!counted) {
      if (IsDigit(c)) {
        count = std::min<std::int64_t>(count * 10 + (c - '0'), INT32_MAX);
      } else {
        digits_only = false;
      }
      ++chars;
    }
    value->Add(static_cast<char>(c));
    // A long text for one text variable: once no repeat count can begin and
    // the text is full, the rest of the token changes nothing.
    if (!counted && !digits_only && value->text_size == kMaxFreeFormText &&
        cursor.item().kind == Variables::Kind::kText)
      SkipTokenRest(channel);
  }
  return Assign(cursor, *value, repeat);
}

bool IsFastTerminator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '/' || c == '\n';
}

// The common real: up to 15 significant digits and a small exponent, which
// converts exactly with one rounding. Returns the token's length, or 0 when
// the token needs the general path (or is not a number).
std::size_t ParseSimpleReal(const char* p, const char* end, bool at_stream_end,
                            double* value) {
  const char* q = p;
  bool negative = false;
  if (q < end && (*q == '+' || *q == '-')) {
    negative = *q == '-';
    ++q;
  }
  std::uint64_t m = 0;
  int significant = 0;
  int mantissa_digits = 0;
  int fraction = 0;
  while (q < end && IsDigit(*q)) {
    if (m != 0 || *q != '0') {
      if (++significant > 15) return 0;
      m = m * 10 + static_cast<unsigned>(*q - '0');
    }
    ++mantissa_digits;
    ++q;
  }
  if (q < end && *q == '.') {
    ++q;
    while (q < end && IsDigit(*q)) {
      if (m != 0 || *q != '0') {
        if (++significant > 15) return 0;
        m = m * 10 + static_cast<unsigned>(*q - '0');
      }
      ++mantissa_digits;
      ++fraction;
      ++q;
    }
  }
  if (mantissa_digits == 0) return 0;
  int exponent = 0;
  if (q < end && (*q == 'E' || *q == 'e' || *q == 'D' || *q == 'd' ||
                  *q == '+' || *q == '-')) {
    if (*q != '+' && *q != '-') ++q;
    bool exp_negative = false;
    if (q < end && (*q == '+' || *q == '-')) {
      exp_negative = *q == '-';
      ++q;
    }
    int exp_digits = 0;
    while (q < end && IsDigit(*q)) {
      if (++exp_digits > 4) return 0;
      exponent = exponent * 10 + (*q - '0');
      ++q;
    }
    if (exp_digits == 0) return 0;
    if (exp_negative) exponent = -exponent;
  }
  if (q == end) {
    if (!at_stream_end) return 0;
  } else if (*q == '\r') {
    // A carriage return ends the value only as part of a line end; alone it
    // is data, which the general path takes up.
    if (q + 1 == end || q[1] != '\n') return 0;
  } else if (!IsFastTerminator(*q)) {
    return 0;
  }
  // Zero has no scale to check; anything else must convert exactly.
  if (m == 0) {
    *value = negative ? -0.0 : 0.0;
  } else if (!ExactSmallDecimal(negative, m, exponent - fraction, value)) {
    return 0;
  }
  return static_cast<std::size_t>(q - p);
}

// Reads plain reals into the cursor's current real array straight from the
// channel's buffer, for as long as the input keeps to simple values and
// separators within one record. Returns with the cursor where the general
// path must go on.
void ReadRealsFast(InputChannel& channel, Cursor& cursor, bool* after_value) {
  // Ask only for what one token needs: a larger request would move the
  // buffer's unread bytes to its front at every record end near its end.
  constexpr std::size_t kWindow = 256;
  constexpr std::size_t kMaxToken = 64;
  while (!cursor.done() && cursor.item().kind == Variables::Kind::kReal) {
    std::size_t got;
    const char* w = channel.Window(kWindow, &got);
    bool at_stream_end = channel.at_stream_end();
    const char* p = w;
    const char* end = w + got;
    double* out = cursor.real();
    std::size_t stride = cursor.item().stride;
    std::size_t left = cursor.left_in_item();
    std::size_t stored = 0;
    long records_passed = 0;
    bool stop = false;
    while (stored < left) {
      if (!at_stream_end && end - p < static_cast<std::ptrdiff_t>(kMaxToken))
        break;  // refill the window
      while (p < end && (*p == ' ' || *p == '\t')) ++p;
      if (p == end) break;
      char c = *p;
      // A record end separates like a blank. Taken here only when bytes
      // follow it, so that the next record is known to exist and has begun.
      if (c == '\n' && p + 1 < end) {
        ++p;
        ++records_passed;
        continue;
      }
      if (c == '\r' && p + 2 < end && p[1] == '\n') {
        p += 2;
        ++records_passed;
        continue;
      }
      if (c == ',') {
        if (!*after_value) ++stored;  // null: the variable keeps its value
        *after_value = false;
        ++p;
        continue;
      }
      double v;
      std::size_t n = ParseSimpleReal(p, end, at_stream_end, &v);
      if (n == 0) {
        stop = true;
        break;
      }
      out[stored++ * stride] = v;
      *after_value = true;
      p += n;
    }
    channel.Consume(static_cast<std::size_t>(p - w));
    channel.CountRecordsPassed(records_passed);
    cursor.Advance(stored);
    if (stop || (p == end && at_stream_end)) return;
    if (stored == 0 && p == w) return;
  }
}

int FreeFormRead(InputChannel& channel,
                 std::initializer_list<Variables> variables) {
  Cursor cursor(variables.begin(), variables.end());
  if (cursor.done()) {
    channel.SkipRecord();
    return 0;
  }
  for (const Variables& v : variables) {
    if (v.kind == Variables::Kind::kText && v.text_length > kMaxFreeFormText)
      throw std::logic_error("free-form text variable too long");
  }
  channel.BeginRecordOrFail();
  Value value;
  bool after_value = false;  // a value was read since the last comma
  while (!cursor.done()) {
    if (cursor.item().kind == Variables::Kind::kReal &&
        !channel.at_end_of_record()) {
      ReadRealsFast(channel, cursor, &after_value);
      if (cursor.done()) break;
    }
    int c = channel.Peek();
    if (c == kEor) {
      channel.BeginRecordOrFail();
      continue;
    }
    if (c == ' ' || c == '\t') {
      channel.Get();
      continue;
    }
    if (c == ',') {
      channel.Get();
      if (!after_value) cursor.Advance(1);
      after_value = false;
      continue;
    }
    if (c == '/') {
      channel.Get();
      break;
    }
    int status = ReadValue(channel, cursor, &value);
    if (status != 0) return status;
    after_value = true;
  }
  return 0;
}

}  // namespace

void ReadFreeForm(InputChannel& channel,
                  std::initializer_list<Variables> variables) {
  int status = FreeFormRead(channel, variables);
  if (status != 0) channel.Fail(status);
}

int ReadFreeFormWithStatus(InputChannel& channel,
                           std::initializer_list<Variables> variables) {
  return FreeFormRead(channel, variables);
}

}  // namespace lpgm
