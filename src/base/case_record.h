// The fixed facts of the records every program of the suite reads or
// writes: the time step, the capacity, the files' names, and the range in
// which a case record is plausible. Each number comes with the text that
// messages show for it, so that no message spells it out on its own.
#ifndef LPGM_BASE_CASE_RECORD_H_
#define LPGM_BASE_CASE_RECORD_H_

#include <string_view>

namespace lpgm {

// The time step of every acceleration record, in seconds: lpgm integrates
// at it whatever a file's header says.
inline constexpr double kTimeStep = 0.02;
inline constexpr std::string_view kTimeStepText = "0.02";

// The most samples a case holds (the rows of ACC and VEL).
inline constexpr int kSampleCapacity = 100000;
inline constexpr std::string_view kSampleCapacityText = "100000";

// The file of each case folder and of each fault folder (UTF-8; the system
// composes them in CP932 after a backslash).
inline constexpr char kCaseFileName[] = "加速度波形.acc";
inline constexpr char kSpectrumFileName[] = "Korvel長周期.csv";

// A case record whose PGA lies outside this range, in cm/s2, was most
// likely given in other units.
inline constexpr double kPlausiblePgaLow = 5.0;
inline constexpr double kPlausiblePgaHigh = 3000.0;
inline constexpr std::string_view kPlausiblePgaText = "5 to 3000";

// A record whose velocity at its end exceeds this share of its PGV drifts:
// a baseline offset that integration turns into a ramp.
inline constexpr double kDriftShare = 0.2;
inline constexpr std::string_view kDriftShareText = "0.2";
inline constexpr std::string_view kDriftPercentText = "20 %";

}  // namespace lpgm

#endif  // LPGM_BASE_CASE_RECORD_H_
