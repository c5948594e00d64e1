// The command line of lpgm-check:
//   lpgm-check [--json] [--html FILE] [--spectrum sv|psv] [--damping H]
//              DEFINITION_FILE
//   lpgm-check --help | --version
#ifndef LPGM_CHECK_COMMAND_LINE_H_
#define LPGM_CHECK_COMMAND_LINE_H_

#include <optional>
#include <span>
#include <string>

#include "compute/response_spectrum.h"

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
  // The kind and damping of the target: the cases' spectra are computed in
  // them (--spectrum, --damping).
  SpectrumKind spectrum = SpectrumKind::kPsv;
  double damping = 0.05;
  std::string definition;
  std::string error;  // non-empty: the command line is bad
};

// Parses the arguments after the program name. "--" ends the options;
// "--opt=VALUE" is taken as well as "--opt VALUE" for the options with a
// value.
CommandLine ParseCommandLine(std::span<const std::string> args);

// The usage line.
const char* UsageLine();
// The --help text: usage, options, exit statuses and every finding id.
std::string HelpText();

}  // namespace lpgm::check

#endif  // LPGM_CHECK_COMMAND_LINE_H_
