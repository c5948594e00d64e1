// lpgm-match's command line.
#ifndef LPGM_MATCH_COMMAND_LINE_H_
#define LPGM_MATCH_COMMAND_LINE_H_

#include <span>
#include <string>
#include <variant>

#include "compute/motion_baseline.h"
#include "compute/response_spectrum.h"
#include "compute/spectral_match.h"

namespace lpgm::match {

struct CommandLine {
  std::string target;  // UTF-8 paths
  std::string phase;
  std::string output;
  std::string case_folder;  // empty: none
  std::string html;         // empty: none
  SpectrumKind kind = SpectrumKind::kPsv;
  double damping = 0.05;
  double duration = 0.0;  // s; 0: the phase record's length
  int iterations = 20;
  MotionBaseline baseline = MotionBaseline::kEnds;
  MatchCriteria criteria;
  bool json = false;
  bool help = false;
  bool version = false;
};

// The defaults: lpgm's two input-use files in the current directory.
inline constexpr const char* kDefaultTarget = "入力用･目標速度スペクトル.csv";
inline constexpr const char* kDefaultPhase = "入力用･位相用加速度波形.csv";

struct UsageError {
  std::string message;
};

// Options as --name VALUE or --name=VALUE; -o FILE. Every value is checked
// here (numbers finite and in range), so what parses can be run.
std::variant<CommandLine, UsageError> ParseCommandLine(
    std::span<const std::string> args);

// The text of --help.
std::string HelpText();

}  // namespace lpgm::match

#endif  // LPGM_MATCH_COMMAND_LINE_H_
