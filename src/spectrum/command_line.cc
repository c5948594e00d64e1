#include "spectrum/command_line.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace lpgm::spectrum {

std::string_view HelpText() {
  return R"(Usage: lpgm-spectrum [OPTIONS] RECORD -o FILE

Computes the response spectra of one ground acceleration record: the peaks
of damped oscillators under it (relative displacement Sd, relative velocity
Sv, absolute acceleration Sa, pseudo velocity pSv = (2 pi/T) Sd and pseudo
acceleration pSa = (2 pi/T)^2 Sd), by the exact solution for acceleration
linear between samples, from rest, at the record's own time step.

RECORD is a case file 加速度波形.acc (0.02 s, read as lpgm reads it) or a
record lpgm-prepare reads: PEER AT2, K-NET, or a table with --format table.

Options:
  --csv                    write a UTF-8 CSV: the period, then Sd, Sv, Sa,
                           pSv and pSa at each damping (default)
  --fault-file             write a long-period spectrum file that lpgm reads
                           as a fault's Korvel長周期.csv: CP932, CR LF, 9
                           header lines, 55 rows of 28 fields at h = 0.01,
                           0.02, 0.03, 0.05, 0.10, 0.20 (Sv at 0.05 last)
  --damping H[,H...]       damping ratios for --csv, 0 <= H < 1 (default
                           0.05)
  --periods FILE           the 55 periods of an lpgm spectrum or target file
                           (default: 0.1 to 10 s, log-spaced, 4 decimals)
  --substeps N             look for the peaks at N points a sample step, 1
                           to 1000 (default 1: at the sample times)
  --format at2|knet|table  the record's format (at2 and knet are recognised
                           by their headers)
  --dt S                   table: time step in seconds
  --units g|m/s2|cm/s2|gal table: units of the values
  --skip N                 table: header lines to pass over (default 0)
  --column K               table: take column K of every line (default:
                           every value in reading order)
  --scale X                multiply the record in cm/s2 by X
  -o, --output FILE        the file to write (replaced when it exists)
  --help                   show this text and exit
  --version                show the version and exit

Exit status: 0 written, 2 the record, the periods or the output cannot be
used (error with file and line; nothing written), 64 usage error.
)";
}

namespace {

std::optional<double> Real(std::string_view text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<int> Whole(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

struct Parser {
  std::span<const std::string_view> args;
  std::size_t next = 0;
  ParsedCommand result;
  bool csv = false;

  bool Fail(std::string message) {
    result.action = Action::kUsageError;
    result.error = std::move(message);
    return false;
  }
  bool TakeOption(std::string_view name, std::optional<std::string_view> value);
  bool TakeValue(std::string_view name, std::string_view value);
  bool TakeRecordValue(std::string_view name, std::string_view value);
  bool TakeDampings(std::string_view value);
  bool Check();
};

bool Parser::TakeDampings(std::string_view value) {
  std::vector<double>& out = result.command.dampings;
  out.clear();
  while (true) {
    const std::size_t comma = value.find(',');
    const std::optional<double> h = Real(value.substr(0, comma));
    if (!h || *h < 0.0 || *h >= 1.0)
      return Fail("invalid damping '" + std::string(value.substr(0, comma)) +
                  "' (a ratio at least 0 and below 1)");
    out.push_back(*h);
    if (comma == std::string_view::npos) return true;
    value.remove_prefix(comma + 1);
  }
}

bool Parser::TakeRecordValue(std::string_view name, std::string_view value) {
  RecordOptions& o = result.command.record_options;
  const std::string bad =
      "invalid value '" + std::string(value) + "' for " + std::string(name);
  if (name == "--format") {
    o.format = prepare::ParseFormat(value);
    return o.format ? true : Fail(bad + " (at2, knet or table)");
  }
  if (name == "--units") {
    o.units = prepare::ParseUnits(value);
    return o.units ? true : Fail(bad + " (g, m/s2, cm/s2 or gal)");
  }
  if (name == "--dt") {
    o.dt = Real(value);
    return o.dt && *o.dt > 0.0 ? true : Fail(bad + " (seconds, above 0)");
  }
  if (name == "--scale") {
    const std::optional<double> scale = Real(value);
    if (!scale || *scale == 0.0) return Fail(bad + " (a number, not 0)");
    o.scale = *scale;
    return true;
  }
  const std::optional<int> n = Whole(value);
  if (name == "--skip") {
    o.skip = n;
    return n && *n >= 0 ? true : Fail(bad + " (a whole number, 0 or more)");
  }
  o.column = n;
  return n && *n >= 1 ? true : Fail(bad + " (a whole number, 1 or more)");
}

bool Parser::TakeValue(std::string_view name, std::string_view value) {
  Command& c = result.command;
  if (name == "--damping") return TakeDampings(value);
  if (name == "--periods") {
    c.periods_file = std::string(value);
    return true;
  }
  if (name == "-o" || name == "--output") {
    if (!c.output.empty()) return Fail("more than one output file");
    c.output = std::string(value);
    return !c.output.empty() || Fail("the output file name is empty");
  }
  if (name == "--substeps") {
    const std::optional<int> n = Whole(value);
    if (!n || *n < 1 || *n > 1000)
      return Fail("invalid value '" + std::string(value) +
                  "' for --substeps (1 to 1000)");
    c.substeps = *n;
    return true;
  }
  return TakeRecordValue(name, value);
}

constexpr std::string_view kValued[] = {
    "--damping", "--periods", "--substeps", "--format", "--dt",    "--units",
    "--skip",    "--column",  "--scale",    "-o",       "--output"};

bool Parser::TakeOption(std::string_view name,
                        std::optional<std::string_view> value) {
  for (const std::string_view valued : kValued) {
    if (name != valued) continue;
    if (!value) {
      if (next >= args.size())
        return Fail("option " + std::string(name) + " needs a value");
      value = args[next++];
    }
    return TakeValue(name, *value);
  }
  if (value) return Fail("option " + std::string(name) + " takes no value");
  if (name == "--csv") {
    csv = true;
    return true;
  }
  if (name == "--fault-file") {
    result.command.output_kind = OutputKind::kFaultFile;
    return true;
  }
  return Fail("unknown option " + std::string(name));
}

bool Parser::Check() {
  const Command& c = result.command;
  const RecordOptions& o = c.record_options;
  if (csv && c.output_kind == OutputKind::kFaultFile)
    return Fail("--csv and --fault-file exclude each other");
  if (c.output_kind == OutputKind::kFaultFile && !c.dampings.empty())
    return Fail("--fault-file has its own six dampings; leave out --damping");
  if (c.record.empty()) return Fail("no record given");
  if (c.output.empty()) return Fail("no output file given (-o FILE)");
  const bool table = o.format == prepare::Format::kTable;
  const bool other = o.format && !table;
  if (other && (o.dt || o.units || o.skip || o.column))
    return Fail("--dt, --units, --skip and --column are for tables only");
  if (table && (!o.dt || !o.units))
    return Fail("a table needs --dt and --units");
  return true;
}

}  // namespace

ParsedCommand ParseCommandLine(std::span<const std::string_view> args) {
  for (const std::string_view a : args) {
    if (a == "--help") return {Action::kHelp, {}, {}};
  }
  for (const std::string_view a : args) {
    if (a == "--version") return {Action::kVersion, {}, {}};
  }
  Parser p{args, 0, {}, false};
  bool options_end = false;
  while (p.next < args.size()) {
    const std::string_view arg = args[p.next++];
    if (!options_end && arg == "--") {
      options_end = true;
      continue;
    }
    if (!options_end && arg.size() > 1 && arg[0] == '-') {
      const std::size_t eq = arg.find('=');
      std::optional<std::string_view> value;
      if (eq != std::string_view::npos) value = arg.substr(eq + 1);
      if (!p.TakeOption(arg.substr(0, eq), value)) return p.result;
      continue;
    }
    if (!p.result.command.record.empty()) {
      p.Fail("more than one record: '" + p.result.command.record + "' and '" +
             std::string(arg) + "'");
      return p.result;
    }
    p.result.command.record = std::string(arg);
  }
  p.Check();
  return p.result;
}

}  // namespace lpgm::spectrum
