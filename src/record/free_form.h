// The free-form read: values separated by blanks, tabs, commas and record
// ends, with no layout.
//
// - Every read begins with the next record and takes as many records as its
//   variables need; empty records are passed over.
// - A comma directly after another comma, or before the first value, is a
//   null value: the variable keeps its value. r*v stands for r copies of v,
//   r* for r nulls.
// - A slash ends the read; the variables not yet read keep their values.
// - Texts in apostrophes or quotation marks are taken as written (blanks,
//   commas and slashes included; the delimiter written twice stands for one;
//   the text may go on over records). Without delimiters a text runs to the
//   next blank, tab, comma, slash or record end. The text is cut or
//   blank-padded to its variable's length.
// - What remains of the last record read is discarded.
#ifndef LPGM_RECORD_FREE_FORM_H_
#define LPGM_RECORD_FREE_FORM_H_

#include <cstddef>
#include <initializer_list>

#include "platform/kernel.h"
#include "record/free_form_value.h"
#include "record/input_channel.h"
#include "record/list_item.h"

namespace lpgm {

// How a free-form read ended, for a reader that reports what it saw.
struct FreeFormEnd {
  long slash_line = 0;  // line of a slash that ended the read early; 0: none
  std::size_t values_before_slash = 0;  // variables the read had reached
  std::size_t past_end = 0;  // copies of a repeat count r*v past the list
  // When the read failed (end of file, or a value that could not be read):
  // the variables it had reached by then.
  std::size_t values_at_failure = 0;
};

// Reads values into the variables of `items` (text variables of at most
// kMaxFreeFormText positions). A value that cannot be read for its variable
// is failure 59; end of file is failure 24. Both end the run. `end`, when
// given, receives how the read ended. Runs of plain reals are read 64 bytes
// at a time by `kernel` (one that runs on this processor; the long sample
// arrays pass the run's choice, short reads may keep the scalar code): every
// kernel stores the same values.
void ReadFreeForm(InputChannel& channel, std::initializer_list<ListItem> items,
                  FreeFormEnd* end = nullptr,
                  platform::Kernel kernel = platform::Kernel::kScalar);

// As ReadFreeForm, but hands failure 59 back as its status (0 on success)
// instead of ending the run. End of file still ends the run.
int TryReadFreeForm(InputChannel& channel,
                    std::initializer_list<ListItem> items,
                    FreeFormEnd* end = nullptr,
                    platform::Kernel kernel = platform::Kernel::kScalar);

// Reads on after a free-form read that took its whole list, which the read
// itself never does: the line of the first value left in the file (in the
// rest of the last record or after it, up to a slash), 0 when none is.
long LineOfValueAfterRead(InputChannel& channel);

}  // namespace lpgm

#endif  // LPGM_RECORD_FREE_FORM_H_
