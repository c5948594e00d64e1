// The process's standard output as a raw byte stream: no console encoding
// rule, the bytes written are the bytes that leave (a JSON report, a file
// of another program's making).
#ifndef LPGM_PLATFORM_STANDARD_OUTPUT_H_
#define LPGM_PLATFORM_STANDARD_OUTPUT_H_

#include "platform/stream.h"

namespace lpgm::platform {

OutputStream& RawStandardOutput();

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_STANDARD_OUTPUT_H_
