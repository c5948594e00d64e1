// Used length of a blank-padded text field: the position of its last
// non-blank byte, and 1 when the field is all blank. Only the blank (byte 32)
// counts as trailing; a tab or a zero byte ends the scan.
#ifndef LPGM_RECORD_TRIMMED_LENGTH_H_
#define LPGM_RECORD_TRIMMED_LENGTH_H_

#include "base/text_field.h"

namespace lpgm {

int LCHR40(const Text40& text);    // 1 to 40
int LCHR400(const Text400& text);  // 1 to 400

}  // namespace lpgm

#endif  // LPGM_RECORD_TRIMMED_LENGTH_H_
