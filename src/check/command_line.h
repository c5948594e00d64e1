// The command line of lpgm-check:
//   lpgm-check [--json] [--html FILE] DEFINITION_FILE
//   lpgm-check --help | --version
#ifndef LPGM_CHECK_COMMAND_LINE_H_
#define LPGM_CHECK_COMMAND_LINE_H_

#include <optional>
#include <span>
#include <string>

namespace lpgm::check {

// Exit statuses of lpgm-check besides 0, 1 and 2 (see ExitStatusOf).
inline constexpr int kExitUsage = 64;        // a bad command line
inline constexpr int kExitInternal = 70;     // a fault of the checker itself
inline constexpr int kExitCannotWrite = 73;  // the report cannot be written

struct CommandLine {
  bool help = false;
  bool version = false;
  bool json = false;
  std::optional<std::string> html;  // --html FILE
  std::string definition;
  std::string error;  // non-empty: the command line is bad
};

// Parses the arguments after the program name. "--" ends the options;
// "--html=FILE" is taken as well as "--html FILE".
CommandLine ParseCommandLine(std::span<const std::string> args);

// One line: "usage: lpgm-check [--json] [--html FILE] DEFINITION_FILE".
const char* UsageLine();
// The --help text: usage, options, exit statuses and every finding id.
std::string HelpText();

}  // namespace lpgm::check

#endif  // LPGM_CHECK_COMMAND_LINE_H_
