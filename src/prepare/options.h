// The command line of lpgm-prepare.
#ifndef LPGM_PREPARE_OPTIONS_H_
#define LPGM_PREPARE_OPTIONS_H_

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "prepare/baseline.h"
#include "prepare/formats.h"
#include "prepare/units.h"

namespace lpgm::prepare {

struct Options {
  std::optional<Format> format;  // detected from the header when absent
  std::optional<double> dt;      // table only, > 0
  std::optional<Units> units;    // table only
  std::optional<int> skip;       // table only, >= 0
  std::optional<int> column;     // table only, >= 1
  double scale = 1.0;            // finite, not 0
  Baseline baseline = Baseline::kNone;
  bool force = false;
  std::string record;  // the input file
  std::string folder;  // the case folder (-o)
};

enum class Action { kConvert, kHelp, kVersion, kUsageError };

struct Arguments {
  Action action = Action::kConvert;
  Options options;    // options.record is the first of `records`
  std::string error;  // for kUsageError: what is wrong, one sentence
  std::vector<std::string> records;  // every RECORD, in order
  std::string manifest;              // --manifest FILE
};

// Reads the arguments after the program name. Options take their value as
// the next argument or after '='. Needs one RECORD and -o CASE_FOLDER, or
// several RECORDs and -o CASES_FOLDER (each record's case folder is made in
// it), or RECORDs alone (as dropped on the program in Explorer: each case
// folder is made beside its record), or --manifest FILE alone (with --force
// at most); --dt and --units
// with --format table, and --dt, --units, --skip, --column with no other
// format. --help and --version win over everything else.
Arguments ParseArguments(std::span<const std::string_view> args);

// The text of --help (ends in a line end).
std::string_view HelpText();

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_OPTIONS_H_
