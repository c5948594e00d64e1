// What lpgm-check found: the summary of every fault and case, the computed
// spectra and waveforms, and the findings. The checker fills it; the text,
// JSON and HTML writers only read it.
//
// Texts are UTF-8 (folder and file names decoded from CP932 as the file
// system sees them). Numbers count from 1 as the system's tables do; 0 means
// "none" for a fault, case, line or rank.
#ifndef LPGM_CHECK_CHECK_RESULT_H_
#define LPGM_CHECK_CHECK_RESULT_H_

#include <array>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lpgm::check {

enum class Severity { kError, kWarning, kNote };

struct Finding {
  std::string id;  // stable, e.g. "header-time-step"
  Severity severity = Severity::kNote;
  int fault = 0;        // 0: not about one fault
  int case_number = 0;  // 0: not about one case
  std::string file;     // UTF-8; empty: not about one file
  long line = 0;        // 0: no line
  std::string message;  // UTF-8: what lpgm will do and what to check
};

// One input file as found on disk when the check ran.
struct InputFile {
  std::string role;  // "definition", "spectrum", "acceleration", "provenance"
  std::string path;  // UTF-8, as the file system sees it
  bool exists = false;
  long long size = 0;
  std::string modified;  // local time "YYYY-MM-DD HH:MM:SS", empty if absent
};

struct FaultSummary {
  int fault = 0;
  std::string folder;    // UTF-8
  bool read_ok = false;  // the file was opened and read whole
  int rows = 0;          // data rows read (55 when read_ok)
  double period_min = 0, period_max = 0;
  bool grid_matches = true;  // periods equal fault 1's at 4 decimals
  double sv_min = 0, sv_max = 0;
  std::vector<double> period;  // this file's own periods, one per row
  std::vector<double> sv;      // SVF(fault, 1..55)
};

// A case's response spectrum against the target over the periods where
// both are known and the target is above 0: the ratio case / target at
// each, its extremes with their periods, and its mean.
struct SpectrumRatio {
  double min = 0, min_period = 0;
  double mean = 0;
  double max = 0, max_period = 0;
  int points = 0;
};

// The extremes of a series' finite values, how many values are not finite
// and the first of those (from 1; 0: none).
struct SeriesExtremes {
  double min = std::numeric_limits<double>::infinity();
  double max = -std::numeric_limits<double>::infinity();
  long non_finite = 0;
  long first_non_finite = 0;
};

struct CaseSummary {
  int case_number = 0;
  std::string folder;    // UTF-8
  bool read_ok = false;  // the file was opened and read whole
  int npts = 0;
  std::optional<double> header_time_step;  // the header's second field
  double duration = 0;                     // npts x 0.02 s
  double pga = 0, pga_time = 0;            // cm/s2, s
  double pgv = 0, pgv_time = 0;            // cm/s (= VMAX), s
  double end_velocity = 0;                 // VEL at the last sample
  int rank = 0;                            // IRANK; 0 when not ranked
  bool phase = false;
  // The response spectrum at the result's periods, of its kind and damping;
  // NaN at a period no oscillator can have (not finite, not positive).
  // Empty when the case has no samples or the periods are not known.
  std::vector<double> spectrum;
  std::optional<SpectrumRatio> ratio;  // against the target, when computed
  // The spectrum's level against the yardstick's: 10 to the mean over the
  // periods of log10(spectrum / yardstick), the yardstick being the cases'
  // median spectrum (this case's included) or, when fewer than three cases
  // have a whole spectrum, the target. Unset when either is not known.
  std::optional<double> level_ratio;
  // Of acc and vel (series_stats.h); set with them.
  SeriesExtremes acc_extremes, vel_extremes;
  std::array<double, 3> lag_correlation{};  // acc at lags 1, 2, 3
  // ACC and VEL of samples 1..npts; they point into the run state, which
  // outlives the result.
  std::span<const double> acc;
  std::span<const double> vel;
};

struct CheckResult {
  std::string definition;         // UTF-8, as given on the command line
  std::string working_directory;  // UTF-8
  std::string checked_at;         // local time "YYYY-MM-DD HH:MM:SS"
  std::string version;            // lpgm's version
  bool definition_ok = false;     // the definition file was read whole
  std::vector<InputFile> inputs;
  std::vector<FaultSummary> faults;
  std::vector<CaseSummary> cases;
  bool computed = false;       // every input read: spectra and ranks valid
  std::vector<double> period;  // PERIOD(1..55)
  std::vector<double> srss;    // sqrt(sum of SVF^2)
  std::vector<double> target;  // SVTGT(1..55) = srss / 1.1
  // The kind ("pSv" or "Sv") and damping ratio the cases' spectra are
  // computed in: the kind and damping the user says the target is.
  std::string spectrum_kind = "pSv";
  double damping = 0.05;
  bool levels_against_target = false;  // the yardstick of level_ratio
  // The cases' median spectrum against the target, as level_ratio; set
  // with three or more cases and the target.
  std::optional<double> set_level_ratio;
  int phase_case = 0;             // IMED; 0 when not computed
  std::vector<Finding> findings;  // in the order found
};

// 0 when no finding is a warning or an error, 1 with warnings and no error,
// 2 with an error.
int ExitStatusOf(const CheckResult& result);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_CHECK_RESULT_H_
