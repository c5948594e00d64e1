#include "check/command_line.h"

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
  error    definition-error        the definition file cannot be opened or
                                   lpgm would stop on it
  error    cannot-open             a fault or case file cannot be opened
  error    read-failure            a file ends too early or holds a
                                   malformed field
  error    sample-capacity         a header count above 100000
  warning  header-time-step        the header's time step is not 0 or 0.02
  warning  samples-ended-early     a slash ends the samples before the count
  warning  extra-samples           values follow the count's last sample
  warning  no-samples              a header count of 0 or less
  warning  acceleration-range      PGA below 5 or above 3000 cm/s2
  warning  velocity-drift          |end velocity| above 0.2 x PGV
  warning  non-finite              an infinite or NaN sample or spectrum value
  warning  field-overflow          a value an output file shows as asterisks
  warning  period-grid             a fault's periods differ from fault 1's
  warning  period-order            fault 1's periods not increasing or not
                                   positive
  warning  spectrum-short-row      a row without field 28 (Sv read as 0.0)
  warning  spectrum-nonpositive    an Sv of 0 or less
  warning  same-folder             two faults or two cases name one folder
  warning  definition-encoding     the definition file is UTF-8 or UTF-16
  warning  stale-output            an output file older than an input
  warning  definition-name-long    a name longer than the 40 bytes lpgm keeps
  note     definition-name-quoting the name must be quoted at lpgm's prompt
  note     folder-name-literal     a folder name with commas, quotes or a
                                   leading blank
  note     record-duration         a record shorter than 10 s or longer
                                   than 600 s at 0.02 s
  note     near-tie                the phase case's PGV within 1 % of a
                                   neighbouring rank's
  note     even-cases              an even number of cases
)";
  return text;
}

}  // namespace lpgm::check
