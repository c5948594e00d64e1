// Reading lpgm-match's two inputs: the target spectrum and the phase record.
// Every reader reads the whole file before it answers, names the file and,
// where it can, the line of the first fault, and never changes the file.
#ifndef LPGM_MATCH_MATCH_INPUTS_H_
#define LPGM_MATCH_MATCH_INPUTS_H_

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/file_system.h"

namespace lpgm::match {

// A fault in an input file; `line` 0 when it concerns no one line.
struct InputProblem {
  std::string file;  // as the user gave it (UTF-8)
  long line = 0;
  std::string message;
};

// "FILE:LINE: error: MESSAGE" ("FILE: error: MESSAGE" without a line).
std::string Describe(const InputProblem& problem);

struct TargetSpectrum {
  std::vector<double> periods;  // s
  std::vector<double> values;   // cm/s
  std::string source;           // "input-use file" or "fault file field 28"
};

// Either of the files a target comes from, told apart by their first line:
// - lpgm's input-use target file: the header "周期(s),..." (CP932), then one
//   row of period and value per line, to the end of the file;
// - a fault's long-period spectrum file: 9 header lines, then the 55 rows
//   lpgm reads by (28F20.0), the period in field 1 and the value in field 28.
// The periods must be finite, > 0 and increasing, the values finite and > 0.
std::variant<TargetSpectrum, InputProblem> ReadTargetFile(
    platform::FileSystem& files, std::string_view utf8_path);

struct PhaseRecord {
  std::vector<double> acc;  // cm/s2
  double dt = 0.02;         // s
  std::string source;       // what kind of file it was read as
};

// Any of:
// - lpgm's input-use phase file (or lpgm-match's own output): the header
//   "時刻(s),..." (CP932), then time and acceleration per line; the times
//   must be 0, dt, 2 dt, ... as their four decimals show;
// - a PEER AT2 or K-NET record, read and resampled to 0.02 s as lpgm-prepare
//   does (no baseline change, no scale);
// - a case file as lpgm reads it: the count by (I20,F20.0), then the samples
//   in free form, at 0.02 s.
// At least one sample, at most 100000, each finite.
std::variant<PhaseRecord, InputProblem> ReadPhaseFile(
    platform::FileSystem& files, std::string_view utf8_path);

// The same readers over bytes already in memory (for tests and fuzzing).
std::variant<TargetSpectrum, InputProblem> ParseTarget(
    std::string_view bytes, std::string_view utf8_path);
std::variant<PhaseRecord, InputProblem> ParsePhase(std::string_view bytes,
                                                   std::string_view utf8_path);

}  // namespace lpgm::match

#endif  // LPGM_MATCH_MATCH_INPUTS_H_
