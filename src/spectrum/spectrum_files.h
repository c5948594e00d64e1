// The two files lpgm-spectrum writes: a long-period spectrum file that lpgm
// reads as a fault's, and a plain CSV for plotting.
#ifndef LPGM_SPECTRUM_SPECTRUM_FILES_H_
#define LPGM_SPECTRUM_SPECTRUM_FILES_H_

#include <span>
#include <string>
#include <vector>

#include "compute/response_spectrum.h"

namespace lpgm::spectrum {

// The dampings of a fault file, in the order of its fields.
inline constexpr double kFaultDampings[] = {0.01, 0.02, 0.03, 0.05, 0.10, 0.20};

// The peaks of every oscillator: peaks[d * periods.size() + p] for
// dampings[d] and periods[p].
struct SpectrumTable {
  std::vector<double> periods;
  std::vector<double> dampings;
  std::vector<SpectralPeaks> peaks;

  const SpectralPeaks& At(std::size_t d, std::size_t p) const {
    return peaks[d * periods.size() + p];
  }
};

// What the header of a fault file says of the record (UTF-8).
struct RecordNote {
  std::string name;  // as typed
  std::string kind;  // "case file", "at2", ...
  double dt = 0.0;
  std::size_t samples = 0;
  double pga = 0.0;
  int substeps = 1;
  bool default_periods = true;
};

// The fault file (CP932, CR LF): 7 lines saying what the table is, the
// column names, the column numbers 1 to 28, then one row of 28 fields per
// period: period, frequency, Sd at the six dampings, Sv at all but 0.05,
// Sa at the six, pSv at the six, pSa at 0.05, Sa / PGA at 0.05, and Sv at
// 0.05 last (the column lpgm reads). `table` holds kFaultDampings.
std::string FaultFileText(const SpectrumTable& table, const RecordNote& note);

// The CSV (UTF-8, LF): a header naming each column with its kind, damping
// and unit, then per period the period and Sd, Sv, Sa, pSv, pSa at each
// damping in turn.
std::string CsvText(const SpectrumTable& table);

// `value` with `decimals` digits after the point, correctly rounded.
std::string Fixed(double value, int decimals);

}  // namespace lpgm::spectrum

#endif  // LPGM_SPECTRUM_SPECTRUM_FILES_H_
