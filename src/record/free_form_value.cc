#include "record/free_form_value.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "record/failure.h"

namespace lpgm {
namespace {

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

bool IsQuote(int c) { return c == '\'' || c == '"'; }

// Reads the rest of a quoted text; the opening delimiter is taken.
void ReadQuoted(InputChannel& channel, int delimiter, FreeFormValue* value) {
  value->quoted = true;
  for (;;) {
    int c = channel.Get();
    if (c == InputChannel::kEndOfRecord) {
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
// byte-at-a-time reading then takes.
void SkipTokenRest(InputChannel& channel) {
  for (;;) {
    RawWindow w = channel.Buffered();
    const char* p = w.begin;
    while (p < w.end && *p != ' ' && *p != '\t' && *p != ',' && *p != '/' &&
           *p != '\n' && *p != '\r')
      ++p;
    channel.Consume(static_cast<std::size_t>(p - w.begin));
    if (p < w.end || w.size() == 0) return;
  }
}

// Stores one variable from `value`. Returns 0 or 59.
int StoreOne(const ListCursor& cursor, const FreeFormValue& value) {
  switch (cursor.item().kind) {
    case ListItem::Kind::kText: {
      std::size_t length = cursor.item().text_length;
      std::size_t n = std::min(length, value.text_size);
      char* target = cursor.text();
      std::memcpy(target, value.text, n);
      std::memset(target + n, ' ', length - n);
      return 0;
    }
    case ListItem::Kind::kInteger: {
      std::int32_t v;
      if (value.quoted || value.scanner.ToInteger(&v) != ParseStatus::kOk)
        return kErrListSyntax;
      *cursor.integer() = v;
      return 0;
    }
    case ListItem::Kind::kReal: {
      double v;
      if (value.quoted || value.scanner.ToReal(0, &v) != ParseStatus::kOk)
        return kErrListSyntax;
      *cursor.real() = v;
      return 0;
    }
  }
  return 0;
}

// Stores `value` into the cursor's next `repeat` variables. Returns 0 or 59.
int Store(ListCursor& cursor, const FreeFormValue& value, std::int64_t repeat) {
  for (; repeat > 0 && !cursor.done(); --repeat) {
    int status = StoreOne(cursor, value);
    if (status != 0) return status;
    cursor.Advance(1);
  }
  // Copies beyond the list's last variable are dropped, and counted.
  if (repeat > 0) cursor.Advance(static_cast<std::size_t>(repeat));
  return 0;
}

// What follows the '*' of a repeat count r*: a quoted text, nothing (r
// nulls), or the start of the unquoted value.
enum class AfterCount { kQuoted, kNulls, kUnquoted };

AfterCount ReadAfterCount(InputChannel& channel, FreeFormValue* value) {
  value->Clear();
  int next = channel.Peek();
  if (IsQuote(next)) {
    channel.Get();
    ReadQuoted(channel, next, value);
    return AfterCount::kQuoted;
  }
  return IsFreeFormSeparator(next) ? AfterCount::kNulls : AfterCount::kUnquoted;
}

}  // namespace

int ReadFreeFormValue(InputChannel& channel, ListCursor& cursor,
                      FreeFormValue* value) {
  value->Clear();
  int c = channel.Peek();
  if (IsQuote(c)) {
    channel.Get();
    ReadQuoted(channel, c, value);
    return Store(cursor, *value, 1);
  }
  std::int64_t repeat = 1;
  bool counted = false;     // a repeat count r* was read
  bool digits_only = true;  // the token so far is all digits
  std::int64_t count = 0;
  std::size_t chars = 0;
  while (!IsFreeFormSeparator(c = channel.Peek())) {
    channel.Get();
    if (!counted && c == '*' && digits_only && chars > 0) {
      counted = true;
      repeat = count;
      if (repeat == 0) return kErrListSyntax;
      AfterCount after = ReadAfterCount(channel, value);
      if (after == AfterCount::kQuoted) return Store(cursor, *value, repeat);
      if (after == AfterCount::kNulls) {
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
        cursor.item().kind == ListItem::Kind::kText)
      SkipTokenRest(channel);
  }
  return Store(cursor, *value, repeat);
}

}  // namespace lpgm
