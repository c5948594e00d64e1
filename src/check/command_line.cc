#include "check/command_line.h"

#include "check/rules.h"

namespace lpgm::check {

CommandLine ParseCommandLine(std::span<const std::string> args) {
  CommandLine cl;
  bool options_end = false;
  int positional = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!options_end && a == "--") {
      options_end = true;
    } else if (!options_end && a == "--help") {
      cl.help = true;
    } else if (!options_end && a == "--version") {
      cl.version = true;
    } else if (!options_end && a == "--json") {
      cl.json = true;
    } else if (!options_end && a == "--html") {
      if (i + 1 == args.size()) {
        cl.error = "--html needs a file name";
        return cl;
      }
      cl.html = args[++i];
    } else if (!options_end && a.starts_with("--html=")) {
      cl.html = a.substr(7);
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
  return "usage: lpgm-check [--json] [--html FILE] DEFINITION_FILE";
}

std::string HelpText() {
  std::string text = UsageLine();
  text += R"(

Checks the inputs of lpgm before they are used: reads the definition file and
every file it names through lpgm's own readers, computes what lpgm would
compute, and reports a summary and every finding. Run it in the directory
where lpgm would run. It never writes lpgm's output files nor any input.

Options:
  --json         one JSON object (UTF-8) on standard output instead of text
  --html FILE    also write a report page with charts to FILE
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
