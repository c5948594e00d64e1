// The fast path of a free-form read: plain reals taken straight from the
// channel's buffer, for the long arrays of the acceleration records.
#ifndef LPGM_RECORD_FREE_FORM_FAST_H_
#define LPGM_RECORD_FREE_FORM_FAST_H_

#include "platform/kernel.h"
#include "record/input_channel.h"
#include "record/list_cursor.h"

namespace lpgm {

// Reads reals into the cursor's current real array straight from the
// channel's buffer, for as long as the input keeps to plain numbers,
// blanks, commas and record ends that are followed by more input. Stores
// exactly what the byte-at-a-time reading would store. Returns with the
// cursor and the channel where that reading must go on: at a slash, a
// repeat count, a text, a value that is no number, a record end at the end
// of the input, or a variable that is not a real. `after_value` says whether
// a value was read since the last comma, before and after the call. The
// blocks are classified by `kernel`, which must run on this processor;
// every kernel stores the same values.
void ReadRealsFast(InputChannel& channel, ListCursor& cursor, bool* after_value,
                   platform::Kernel kernel);

}  // namespace lpgm

#endif  // LPGM_RECORD_FREE_FORM_FAST_H_
