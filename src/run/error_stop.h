// The error stop: every failure that the system detects itself ends the run
// through it. The message (CP932, without a line end) is shown on the console,
// one line is read and discarded, and the run ends with exit status 1. The
// definition file, the only file that can be open then, is closed as the
// stop travels up to the driver.
#ifndef LPGM_RUN_ERROR_STOP_H_
#define LPGM_RUN_ERROR_STOP_H_

#include <string>
#include <string_view>

namespace lpgm {

// Ends the run through the error stop with `message`. Does not return.
[[noreturn]] void ErrorStop(std::string message);

// The message for a file that cannot be opened: `path` + " not exist ! [Enter]".
std::string NotExistMessage(std::string_view path);

}  // namespace lpgm

#endif  // LPGM_RUN_ERROR_STOP_H_
