// Reading one record by a layout.
//
// Fields are taken left to right at their widths. A numeric field ends early
// at a comma, which is consumed with it; blanks inside a numeric field are
// ignored; a numeric field that is blank, empty or past the record's end is
// zero. Text fields are never cut at a comma and are blank-filled past the
// record's end. When the variables are all filled the rest of the record is
// left unread; when the layout runs out first, reading goes on with the next
// record at the layout's reversion point.
#ifndef LPGM_RECORD_FIELD_READ_H_
#define LPGM_RECORD_FIELD_READ_H_

#include <initializer_list>

#include "record/input_channel.h"
#include "record/layout.h"
#include "record/list_item.h"

namespace lpgm {

// What the numeric fields of a read held, for a reader that reports it.
struct FieldsSeen {
  int filled = 0;            // numeric fields holding more than blanks
  bool last_filled = false;  // the last numeric field read did
};

// Reads the next record into `variables`. A field that does not convert is
// failure 64 (input conversion error), end of file failure 24. `seen`, when
// given, receives what the numeric fields held.
void ReadRecord(InputChannel& channel, const Layout& layout,
                std::initializer_list<ListItem> variables,
                FieldsSeen* seen = nullptr);

}  // namespace lpgm

#endif  // LPGM_RECORD_FIELD_READ_H_
