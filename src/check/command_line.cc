#include "check/command_line.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "check/rules.h"

namespace lpgm::check {
namespace {

// The value of an option that takes one: "--opt VALUE" or "--opt=VALUE".
// Returns false when `a` is not `name`; sets `error` when the value is
// missing.
bool TakeValue(std::span<const std::string> args, std::size_t& i,
               std::string_view name, std::string& value, std::string& error) {
  const std::string& a = args[i];
  if (a == name) {
    if (i + 1 == args.size()) {
      error = std::string(name) + " needs a value";
      return true;
    }
    value = args[++i];
    return true;
  }
  if (a.size() > name.size() && a.starts_with(name) && a[name.size()] == '=') {
    value = a.substr(name.size() + 1);
    return true;
  }
  return false;
}

void SetSpectrum(const std::string& value, CommandLine& cl) {
  if (value == "psv" || value == "pSv") {
    cl.spectrum = SpectrumKind::kPsv;
  } else if (value == "sv" || value == "Sv") {
    cl.spectrum = SpectrumKind::kSv;
  } else {
    cl.error = "--spectrum takes sv or psv, not \"" + value + "\"";
  }
}

void SetDamping(const std::string& value, CommandLine& cl) {
  char* end = nullptr;
  errno = 0;
  const double h = value.empty() ? NAN : std::strtod(value.c_str(), &end);
  if (value.empty() || end != value.c_str() + value.size() || errno != 0 ||
      !(h >= 0 && h < 1)) {
    cl.error =
        "--damping takes a ratio at least 0 and below 1 (0.05 for "
        "5 %), not \"" +
        value + "\"";
    return;
  }
  cl.damping = h;
}

// Takes one option at args[i]; false when it is none of lpgm-check's.
bool TakeOption(std::span<const std::string> args, std::size_t& i,
                CommandLine& cl) {
  const std::string& a = args[i];
  std::string value;
  if (a == "--help") {
    cl.help = true;
  } else if (a == "--version") {
    cl.version = true;
  } else if (a == "--json") {
    cl.json = true;
  } else if (TakeValue(args, i, "--html", value, cl.error)) {
    if (cl.error.empty()) cl.html = value;
  } else if (TakeValue(args, i, "--spectrum", value, cl.error)) {
    if (cl.error.empty()) SetSpectrum(value, cl);
  } else if (TakeValue(args, i, "--damping", value, cl.error)) {
    if (cl.error.empty()) SetDamping(value, cl);
  } else {
    return false;
  }
  return true;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> args) {
  CommandLine cl;
  bool options_end = false;
  int positional = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!options_end && a == "--") {
      options_end = true;
    } else if (!options_end && TakeOption(args, i, cl)) {
      if (!cl.error.empty()) return cl;
    } else if (!options_end && a.size() > 1 && a[0] == '-') {
      cl.error = "unknown option " + a;
      return cl;
    } else {
      ++positional;
      cl.definition = a;
    }
  }
  if (cl.help || cl.version) return cl;
  if (cl.html && cl.html->empty()) cl.error = "--html needs a file name";
  if (positional == 0) cl.error = "no definition file given";
  if (positional == 1 && cl.definition.empty())
    cl.error = "the definition file's name is empty";
  if (positional > 1) cl.error = "more than one definition file given";
  return cl;
}

const char* UsageLine() {
  return "usage: lpgm-check [--json] [--html FILE] [--spectrum sv|psv] "
         "[--damping H] DEFINITION_FILE";
}

std::string HelpText() {
  std::string text = UsageLine();
  text += R"(

Checks the inputs of lpgm before they are used: reads the definition file and
every file it names through lpgm's own readers, computes what lpgm would
compute, and reports a summary and every finding. Run it in the directory
where lpgm would run. It never writes lpgm's output files nor any input.

Each case's response spectrum is computed at the target's periods, in the
kind and at the damping of the target, and compared with the target and with
the other cases (peaks at the 0.02 s sample times, from rest).

Options:
  --json         one JSON object (UTF-8) on standard output instead of text
  --html FILE    also write a report page with charts to FILE
  --spectrum K   the kind of the target and the faults' field 28: psv (pseudo
                 velocity, w Sd; the default) or sv (relative velocity)
  --damping H    the damping ratio of the target (default 0.05)
  --help         this text
  --version      the version

Exit status:
  0   no finding is a warning or an error
  1   warnings, no error
  2   an error: lpgm would stop or fail on these inputs
  64  a bad command line
  70  an internal fault of the checker
  73  the --html FILE cannot be written (or names an input file)

Findings (severity, id):
)";
  text += RulesHelp();
  return text;
}

}  // namespace lpgm::check
