// What the record layer adds to RunStop (base/run_stop.h): the error number
// of a file that cannot be opened.
#ifndef LPGM_RECORD_FAILURE_H_
#define LPGM_RECORD_FAILURE_H_

#include "base/run_stop.h"
#include "platform/file_system.h"

namespace lpgm {

// The failure that an output file which cannot be opened ends the run with:
// 43 for a name the system cannot take, 9 without permission, 30 otherwise.
int OpenFailureNumber(platform::OpenError error);

}  // namespace lpgm

#endif  // LPGM_RECORD_FAILURE_H_
