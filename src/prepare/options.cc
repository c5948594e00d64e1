#include "prepare/options.h"

#include <cmath>
#include <cstdint>

#include "prepare/text_scan.h"

namespace lpgm::prepare {

std::string_view HelpText() {
  return R"(Usage: lpgm-prepare [OPTIONS] RECORD -o CASE_FOLDER
       lpgm-prepare [OPTIONS] RECORD... -o CASES_FOLDER
       lpgm-prepare [--force] --manifest FILE
       lpgm-prepare --definition FILE [--title TEXT] --faults FOLDER...
                    --cases FOLDER... [--force]

Converts a strong-motion record into CASE_FOLDER/加速度波形.acc, the
acceleration record lpgm reads: samples at 0.02 s in cm/s2, 8 to a line,
CR LF. A record at another time step is low-passed (Kaiser FIR, linear
phase, flat within 0.1 % to 20 Hz, 80 dB down from 25 Hz) and resampled.
Beside the case file, prepare-record.txt (UTF-8) says what was done: the
source (name, size, SHA-256), its header lines, units, scale, baseline,
filter, time steps and counts, PGA and PGV, the case file's SHA-256.
Prints one line: what was read, what was done, PGA and PGV at 0.02 s, and
any warning.

With several RECORDs, each goes into CASES_FOLDER/NAME (NAME: the record's
file name without its extension); with --manifest, each line of FILE names
a record, its case folder and its options:
  # comment
  RECORD  CASE_FOLDER  [OPTION ...]
(words with blanks in double quotes; paths from the manifest's folder).
Two records are converted at a time; each gets a progress line in input
order, then a table of all. A record that fails stops no other.

--definition writes lpgm's definition file (Shift-JIS, CR LF) for 1 to 6
fault folders (each holding Korvel長周期.csv) and 1 to 21 case folders
(each holding 加速度波形.acc), the folders as given.

Options:
  --format at2|knet|table  the record's format; at2 (PEER, NGA-West2 and the
                           older header) and knet (NIED K-NET/KiK-net ASCII)
                           are recognised by their headers, a table never
  --dt S                   table: time step in seconds
  --units g|m/s2|cm/s2|gal table: units of the values (any case)
  --skip N                 table: header lines to pass over (default 0)
  --column K               table: take column K of every line (default:
                           every value in reading order)
  --scale X                multiply the record in cm/s2 by X
  --baseline none|mean|linear
                           remove nothing (default), the mean, or the
                           least-squares line before resampling (K-NET
                           records always have their mean removed)
  --force                  replace an existing 加速度波形.acc (or FILE)
  -o, --output FOLDER      the case folder (or the folder of the cases);
                           made when missing
  --manifest FILE          convert the records listed in FILE
  --help                   show this text and exit
  --version                show the version and exit

Exit status: 0 converted (warnings included), 2 a record or a case folder
cannot be used (error with file and line; nothing written for it; with
several records, the others are converted and the table names it),
64 usage error, 70 an internal fault of the program.
)";
}

namespace {

struct Parser {
  std::span<const std::string_view> args;
  std::size_t next = 0;
  Arguments result;

  bool Fail(std::string message) {
    result.action = Action::kUsageError;
    result.error = std::move(message);
    return false;
  }
  // The value of option `name`: after '=' or the next argument.
  std::optional<std::string_view> Value(
      std::string_view name, std::optional<std::string_view> inline_value) {
    if (inline_value) return inline_value;
    if (next < args.size()) return args[next++];
    Fail("option " + std::string(name) + " needs a value");
    return std::nullopt;
  }
  bool TakeOption(std::string_view name, std::optional<std::string_view> value);
  bool TakeValue(std::string_view name, std::string_view value);
  bool Check();
};

bool Parser::TakeValue(std::string_view name, std::string_view value) {
  Options& o = result.options;
  std::string bad =
      "invalid value '" + std::string(value) + "' for " + std::string(name);
  if (name == "--format") {
    o.format = ParseFormat(value);
    return o.format ? true : Fail(bad + " (at2, knet or table)");
  }
  if (name == "--units") {
    o.units = ParseUnits(value);
    return o.units ? true : Fail(bad + " (g, m/s2, cm/s2 or gal)");
  }
  if (name == "--baseline") {
    std::optional<Baseline> b = ParseBaseline(value);
    if (!b) return Fail(bad + " (none, mean or linear)");
    o.baseline = *b;
    return true;
  }
  if (name == "--dt" || name == "--scale") {
    std::optional<double> x = ParseReal(value);
    if (!x || (name == "--dt" && !(*x > 0.0)) || *x == 0.0)
      return Fail(bad + (name == "--dt" ? " (a positive number of seconds)"
                                        : " (a number other than 0)"));
    if (name == "--dt")
      o.dt = *x;
    else
      o.scale = *x;
    return true;
  }
  if (name == "--manifest") {
    if (!result.manifest.empty()) return Fail("only one --manifest");
    result.manifest = value;
    return result.manifest.empty() ? Fail("empty manifest name") : true;
  }
  if (name == "-o" || name == "--output") {
    if (!o.folder.empty()) return Fail("only one output folder");
    o.folder = value;
    return o.folder.empty() ? Fail("empty output folder") : true;
  }
  std::optional<std::int64_t> n = ParseInteger(value);
  int lowest = name == "--skip" ? 0 : 1;
  if (!n || *n < lowest || *n > 1000000000)
    return Fail(bad + (lowest == 0 ? " (a whole number, 0 or more)"
                                   : " (a whole number, 1 or more)"));
  (name == "--skip" ? o.skip : o.column) = static_cast<int>(*n);
  return true;
}

bool Parser::TakeOption(std::string_view name,
                        std::optional<std::string_view> inline_value) {
  static constexpr std::string_view kValued[] = {
      "--format", "--dt",       "--units", "--skip",   "--column",
      "--scale",  "--baseline", "-o",      "--output", "--manifest"};
  for (std::string_view valued : kValued) {
    if (name != valued) continue;
    std::optional<std::string_view> value = Value(name, inline_value);
    return value && TakeValue(name, *value);
  }
  if (inline_value)
    return Fail("option " + std::string(name) + " takes no value");
  if (name == "--force") {
    result.options.force = true;
    return true;
  }
  return Fail("unknown option " + std::string(name));
}

bool Parser::Check() {
  Options& o = result.options;
  bool table_options = o.dt || o.units || o.skip || o.column;
  if (!result.manifest.empty()) {
    if (!result.records.empty() || !o.folder.empty() || table_options ||
        o.format || o.scale != 1.0 || o.baseline != Baseline::kNone)
      return Fail(
          "--manifest takes no RECORD, -o or conversion options: they are "
          "given on its lines");
    return true;
  }
  if (result.records.empty()) return Fail("no RECORD given");
  o.record = result.records.front();
  bool table = o.format == Format::kTable;
  if (!table && table_options)
    return Fail(
        "--dt, --units, --skip and --column describe a table: "
        "give --format table");
  if (table && (!o.dt || !o.units))
    return Fail("a table needs --dt and --units");
  return true;
}

}  // namespace

Arguments ParseArguments(std::span<const std::string_view> args) {
  for (std::string_view arg : args) {
    if (arg == "--help") return Arguments{Action::kHelp, {}, {}, {}, {}};
    if (arg == "--version") return Arguments{Action::kVersion, {}, {}, {}, {}};
  }
  Parser parser{args, 0, {}};
  while (parser.next < args.size()) {
    std::string_view arg = args[parser.next++];
    bool is_option = arg.size() > 1 && arg.front() == '-';
    if (!is_option) {
      parser.result.records.emplace_back(arg);
      continue;
    }
    std::optional<std::string_view> inline_value;
    std::size_t equals = arg.find('=');
    if (arg.starts_with("--") && equals != std::string_view::npos) {
      inline_value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    }
    if (!parser.TakeOption(arg, inline_value)) return parser.result;
  }
  parser.Check();
  return parser.result;
}

}  // namespace lpgm::prepare
