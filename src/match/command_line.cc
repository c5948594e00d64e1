#include "match/command_line.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace lpgm::match {

namespace {

std::optional<double> Number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

struct Parser {
  CommandLine cl;
  std::optional<UsageError> error;

  void Fail(std::string message) {
    if (!error) error = UsageError{std::move(message)};
  }

  // A number within [low, high] for option `name`.
  double Real(std::string_view name, const std::string& value, double low,
              double high) {
    std::optional<double> v = Number(value);
    if (!v || *v < low || *v > high) {
      Fail(std::string(name) + " needs a number from " + Show(low) + " to " +
           Show(high) + ", not '" + value + "'");
      return 0.0;
    }
    return *v;
  }

  static std::string Show(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
  }

  bool Flag(std::string_view name) {
    if (name == "--json") return cl.json = true;
    if (name == "--help" || name == "-h") return cl.help = true;
    if (name == "--version") return cl.version = true;
    return false;
  }

  void Take(std::string_view name, const std::string& value);
};

void Parser::Take(std::string_view name, const std::string& value) {
  if (name == "--target") {
    cl.target = value;
  } else if (name == "--phase") {
    cl.phase = value;
  } else if (name == "-o" || name == "--output") {
    cl.output = value;
  } else if (name == "--case-folder") {
    cl.case_folder = value;
  } else if (name == "--html") {
    cl.html = value;
  } else if (name == "--spectrum") {
    if (value == "psv")
      cl.kind = SpectrumKind::kPsv;
    else if (value == "sv")
      cl.kind = SpectrumKind::kSv;
    else
      Fail("--spectrum needs psv or sv, not '" + value + "'");
  } else if (name == "--damping") {
    cl.damping = Real(name, value, 0.0, 0.99);
  } else if (name == "--duration") {
    cl.duration = Real(name, value, 0.0, 2000.0);
  } else if (name == "--min-ratio") {
    cl.criteria.min_ratio = Real(name, value, 0.0, 10.0);
  } else if (name == "--mean-ratio") {
    cl.criteria.mean_ratio = Real(name, value, 0.0, 10.0);
  } else if (name == "--max-cv") {
    cl.criteria.max_cv = Real(name, value, 0.0, 10.0);
  } else if (name == "--iterations") {
    cl.iterations = static_cast<int>(Real(name, value, 0.0, 1000.0));
    if (std::to_string(cl.iterations) != value)
      Fail("--iterations needs a whole number from 0 to 1000");
  } else if (name == "--baseline") {
    if (std::optional<MotionBaseline> b = ParseMotionBaseline(value))
      cl.baseline = *b;
    else
      Fail("--baseline needs none, ends or poly, not '" + value + "'");
  } else {
    Fail("unknown option '" + std::string(name) + "'");
  }
}

}  // namespace

std::variant<CommandLine, UsageError> ParseCommandLine(
    std::span<const std::string> args) {
  Parser p;
  p.cl.target = kDefaultTarget;
  p.cl.phase = kDefaultPhase;
  for (std::size_t i = 0; i < args.size() && !p.error; ++i) {
    const std::string& arg = args[i];
    if (p.Flag(arg)) continue;
    const std::size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      p.Take(std::string_view(arg).substr(0, eq), arg.substr(eq + 1));
    } else if (arg.rfind("-", 0) == 0 && arg.size() > 1) {
      if (i + 1 == args.size()) {
        p.Fail(arg + " needs a value");
        break;
      }
      p.Take(arg, args[++i]);
    } else {
      p.Fail("unexpected argument '" + arg + "'");
    }
  }
  if (p.error) return *p.error;
  if (!p.cl.help && !p.cl.version && p.cl.output.empty())
    return UsageError{"-o FILE is required"};
  return p.cl;
}

std::string HelpText() {
  return R"(Usage: lpgm-match [options] -o FILE

Makes a design ground motion: the phase record's Fourier amplitude corrected
until its response spectrum fits the target, its phase kept.

Inputs (default: lpgm's two input-use files in the current directory):
  --target FILE      target spectrum: lpgm's input-use target file, or a
                     fault's long-period spectrum file (field 28)
  --phase FILE       phase record: lpgm's input-use phase file, a case file
                     (加速度波形.acc), or a PEER AT2 / K-NET record
                     (resampled to 0.02 s as lpgm-prepare does)
Method:
  --spectrum psv|sv  kind of the target: pseudo velocity (default) or
                     relative velocity
  --damping H        damping of the target (default 0.05)
  --duration S       output length in s (zeros appended to the phase record
                     before the fit; default: the phase record's length)
  --iterations N     at most N corrections (default 20; the best is kept)
  --baseline none|ends|poly
                     after the fit: none; ends (default: the least linear
                     correction of the acceleration that brings the end
                     velocity and displacement to zero); poly (a cubic fitted
                     to the displacement removed, then ends)
Criteria (over the target's periods):
  --min-ratio R      every ratio at least R (default 0.85)
  --mean-ratio R     the mean ratio at least R (default 1.0)
  --max-cv C         the coefficient of variation at most C (default 0.05)
Output:
  -o FILE            the motion: CP932, CR LF, time, acceleration (cm/s2),
                     velocity (cm/s), displacement (cm)
  --case-folder DIR  also as DIR/加速度波形.acc (DIR must exist)
  --json             the figures as JSON on standard output
  --html FILE        a self-contained report page
  --help, --version

Exit status: 0 written and the criteria met; 1 written but a criterion not
met (named on standard error); 2 an input cannot be used, nothing written;
64 usage error.
)";
}

}  // namespace lpgm::match
