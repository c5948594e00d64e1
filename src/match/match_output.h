// What lpgm-match writes: the motion file, the case file, the summary line
// and the JSON report. Everything is built in memory; the driver writes it
// once every input has been read and the match made.
#ifndef LPGM_MATCH_MATCH_OUTPUT_H_
#define LPGM_MATCH_MATCH_OUTPUT_H_

#include <string>
#include <vector>

#include "compute/spectral_match.h"

namespace lpgm::match {

// The design motion with its figures, as every output shows it.
struct MatchReport {
  std::string target_file;  // UTF-8
  std::string target_source;
  std::string phase_file;
  std::string phase_source;
  MatchTarget target;
  MatchOptions options;
  double dt = 0.02;
  MatchResult result;
  std::vector<double> velocity;      // cm/s, of result.acc
  std::vector<double> displacement;  // cm
  double pga = 0.0;
  double pgv = 0.0;
  double pgd = 0.0;
};

// Fills the waveforms and peaks of `report` from its result.
void MeasureMotion(MatchReport& report);

// The length below which the summary notes the national procedure's 500 s.
inline constexpr double kLongPeriodDuration = 500.0;

// lpgm's layout: the header line, then per sample the time by F12.4 and the
// acceleration, velocity and displacement by F14.6, separated by commas,
// each line ending in CR LF. CP932.
std::string FormatMotionFile(const MatchReport& report);

// "pSv h=0.05" and the like.
std::string KindText(const MatchTarget& target);

// One line (no line end): iterations, ratios, CV, peaks, ends, duration.
std::string SummaryLine(const MatchReport& report);

// The figures, the criteria and the spectra at each period, as JSON (UTF-8,
// ending in a line feed).
std::string JsonReport(const MatchReport& report);

}  // namespace lpgm::match

#endif  // LPGM_MATCH_MATCH_OUTPUT_H_
