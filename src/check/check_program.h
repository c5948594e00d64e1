// The driver of lpgm-check: the command line, the check, the output and
// the exit status. It catches every failure (exit status 70); only main
// ends the process.
#ifndef LPGM_CHECK_CHECK_PROGRAM_H_
#define LPGM_CHECK_CHECK_PROGRAM_H_

#include <span>
#include <string>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/stream.h"
#include "state/run_state.h"

namespace lpgm::check {

struct CheckEnvironment {
  platform::Console& console;   // text output (console encoding), errors
  platform::FileSystem& files;  // the inputs, their status, the report
  RunState& state;
  platform::OutputStream& raw_out;  // standard output unconverted: the JSON
  std::string checked_at;           // local time
};

// Runs lpgm-check with `args` (after the program name); returns the exit
// status. Nothing escapes it.
int RunCheckProgram(std::span<const std::string> args,
                    CheckEnvironment& env) noexcept;

// The version of lpgm that the checker belongs to.
const char* CheckerVersion();

}  // namespace lpgm::check

#endif  // LPGM_CHECK_CHECK_PROGRAM_H_
