#include "record/free_form.h"

#include <stdexcept>

#include "base/run_stop.h"
#include "record/free_form_fast.h"
#include "record/free_form_value.h"
#include "record/list_cursor.h"

namespace lpgm {

int TryReadFreeForm(InputChannel& channel,
                    std::initializer_list<ListItem> items, FreeFormEnd* end,
                    platform::Kernel kernel) {
  ListCursor cursor(items.begin(), items.end());
  if (cursor.done()) {
    channel.SkipRecord();
    return 0;
  }
  for (const ListItem& item : items) {
    if (item.kind == ListItem::Kind::kText &&
        item.text_length > kMaxFreeFormText)
      throw std::logic_error("free-form text variable too long");
  }
  channel.BeginRecordOrFail();
  FreeFormValue value;
  bool after_value = false;  // a value was read since the last comma
  while (!cursor.done()) {
    if (cursor.item().kind == ListItem::Kind::kReal &&
        !channel.at_end_of_record()) {
      ReadRealsFast(channel, cursor, &after_value, kernel);
      if (cursor.done()) break;
    }
    const int c = channel.Peek();
    if (c == InputChannel::kEndOfRecord) {
      if (!channel.BeginRecord()) {
        if (end != nullptr)
          end->values_at_failure = cursor.taken(items.begin());
        channel.Fail(kErrEndOfFile);
      }
    } else if (c == ' ' || c == '\t') {
      channel.Get();
    } else if (c == ',') {
      channel.Get();
      if (!after_value)
        cursor.Advance(1);  // null: the variable keeps its value
      after_value = false;
    } else if (c == '/') {
      channel.Get();
      if (end != nullptr) {
        end->slash_line = channel.records_begun();
        end->values_before_slash = cursor.taken(items.begin());
      }
      break;
    } else {
      int status = ReadFreeFormValue(channel, cursor, &value);
      if (status != 0) {
        if (end != nullptr)
          end->values_at_failure = cursor.taken(items.begin());
        return status;
      }
      after_value = true;
    }
  }
  if (end != nullptr) end->past_end = cursor.past_end();
  return 0;
}

void ReadFreeForm(InputChannel& channel, std::initializer_list<ListItem> items,
                  FreeFormEnd* end, platform::Kernel kernel) {
  int status = TryReadFreeForm(channel, items, end, kernel);
  if (status != 0) channel.Fail(status);
}

long LineOfValueAfterRead(InputChannel& channel) {
  for (;;) {
    const int c = channel.Get();
    if (c == InputChannel::kEndOfRecord) {
      if (!channel.BeginRecord()) return 0;
    } else if (c == '/') {
      return 0;
    } else if (c != ' ' && c != '\t' && c != ',' && c != '\r') {
      return channel.records_begun();
    }
  }
}

}  // namespace lpgm
