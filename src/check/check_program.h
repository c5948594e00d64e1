// The driver of lpgm-check: the command line, the check, the output and
// the exit status. Only main ends the process.
#ifndef LPGM_CHECK_CHECK_PROGRAM_H_
#define LPGM_CHECK_CHECK_PROGRAM_H_

#include <span>
#include <string>

#include "check/file_probe.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/stream.h"
#include "state/run_state.h"

namespace lpgm::check {

struct CheckEnvironment {
  platform::Console& console;   // text output (console encoding), errors
  platform::FileSystem& files;  // the inputs
  FileProbe& probe;             // sizes and times of files
  RunState& state;
  platform::OutputStream& raw_out;  // standard output unconverted: the JSON
  std::string working_directory;    // UTF-8
  std::string checked_at;           // local time
};

// Runs lpgm-check with `args` (after the program name); returns the exit
// status.
int RunCheckProgram(std::span<const std::string> args, CheckEnvironment& env);

// The version of lpgm that the checker belongs to.
const char* CheckerVersion();

}  // namespace lpgm::check

#endif  // LPGM_CHECK_CHECK_PROGRAM_H_
