// The driver of lpgm-match: the command line, the inputs, the match, the
// outputs and the exit status. Only main ends the process.
#ifndef LPGM_MATCH_MATCH_PROGRAM_H_
#define LPGM_MATCH_MATCH_PROGRAM_H_

#include <span>
#include <string>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/kernel.h"
#include "platform/stream.h"

namespace lpgm::match {

inline constexpr int kExitMet = 0;
inline constexpr int kExitNotMet = 1;
inline constexpr int kExitInput = 2;
inline constexpr int kExitUsage = 64;

struct MatchEnvironment {
  platform::Console& console;       // the summary line, the errors
  platform::FileSystem& files;      // inputs and outputs
  platform::OutputStream& raw_out;  // standard output unconverted: the JSON
  platform::Kernel kernel = platform::Kernel::kScalar;
};

// Runs lpgm-match with `args` (after the program name); returns the exit
// status (see HelpText in command_line.h).
int RunMatchProgram(std::span<const std::string> args, MatchEnvironment& env);

}  // namespace lpgm::match

#endif  // LPGM_MATCH_MATCH_PROGRAM_H_
