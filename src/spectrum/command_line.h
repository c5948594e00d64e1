// The command line of lpgm-spectrum.
#ifndef LPGM_SPECTRUM_COMMAND_LINE_H_
#define LPGM_SPECTRUM_COMMAND_LINE_H_

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "prepare/formats.h"
#include "prepare/units.h"

namespace lpgm::spectrum {

enum class OutputKind { kCsv, kFaultFile };

// How to read the record: lpgm-prepare's record options.
struct RecordOptions {
  std::optional<prepare::Format> format;  // from the header when absent
  std::optional<double> dt;               // table only, > 0
  std::optional<prepare::Units> units;    // table only
  std::optional<int> skip;                // table only, >= 0
  std::optional<int> column;              // table only, >= 1
  double scale = 1.0;                     // finite, not 0
};

struct Command {
  std::vector<double> dampings;  // empty: 0.05 (the fault file has its six)
  std::string periods_file;      // empty: the 55 log-spaced periods
  int substeps = 1;
  OutputKind output_kind = OutputKind::kCsv;
  RecordOptions record_options;
  std::string record;  // UTF-8 names, as typed
  std::string output;
};

enum class Action { kCompute, kHelp, kVersion, kUsageError };

struct ParsedCommand {
  Action action = Action::kCompute;
  Command command;
  std::string error;  // for kUsageError: what is wrong, one sentence
};

// Reads the arguments after the program name. Options take their value as
// the next argument or after '='. Needs exactly one RECORD and -o FILE;
// --help and --version win over everything else.
ParsedCommand ParseCommandLine(std::span<const std::string_view> args);

// The text of --help (ends in a line end).
std::string_view HelpText();

}  // namespace lpgm::spectrum

#endif  // LPGM_SPECTRUM_COMMAND_LINE_H_
