// The process's standard output and standard error as raw byte streams: no
// console encoding rule, the bytes written are the bytes that leave (a JSON
// report, a file of another program's making, UTF-8 lines).
#ifndef LPGM_PLATFORM_STANDARD_OUTPUT_H_
#define LPGM_PLATFORM_STANDARD_OUTPUT_H_

#include "platform/stream.h"

namespace lpgm::platform {

OutputStream& RawStandardOutput();
OutputStream& RawStandardError();

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_STANDARD_OUTPUT_H_
