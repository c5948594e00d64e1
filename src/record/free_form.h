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

#include <initializer_list>

#include "record/input_channel.h"
#include "record/variables.h"

namespace lpgm {

// Text variables of a free-form read hold at most this many positions.
inline constexpr std::size_t kMaxFreeFormText = 512;

// Reads values into `variables`. A value that cannot be read for its
// variable is failure 59; end of file is failure 24.
void ReadFreeForm(InputChannel& channel,
                  std::initializer_list<Variables> variables);

// As ReadFreeForm, but hands failure 59 back as its status (0 on success)
// instead of ending the run. End of file still ends the run.
int ReadFreeFormWithStatus(InputChannel& channel,
                           std::initializer_list<Variables> variables);

}  // namespace lpgm

#endif  // LPGM_RECORD_FREE_FORM_H_
