// From a record as read to the samples of a case file: units, scale,
// baseline, resampling to 0.02 s; then the peaks and the warnings.
#ifndef LPGM_PREPARE_CONVERT_H_
#define LPGM_PREPARE_CONVERT_H_

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "prepare/baseline.h"
#include "prepare/fir_design.h"
#include "prepare/formats.h"
#include "prepare/resample.h"

namespace lpgm::prepare {

struct ConvertOptions {
  double scale = 1.0;  // applied after the units, to the record in cm/s2
  Baseline baseline = Baseline::kNone;
};

struct Conversion {
  std::vector<double> samples;  // cm/s2 at 0.02 s
  Ratio ratio;                  // 1/1: passed unchanged, no filter
  std::optional<AntiAliasFilter> filter;
};

// value x units factor x scale, the baseline removed, then resampled with
// the anti-alias filter when the step is not 0.02 s. Fails, naming the file,
// when the step is no ratio of small whole numbers to 0.02 s, a value
// overflows, or the result has more samples than lpgm takes.
std::variant<Conversion, InputError> Convert(const SourceRecord& record,
                                             const ConvertOptions& options,
                                             std::string_view file);

struct Peaks {
  double pga = 0.0;           // largest |a|, cm/s2
  double pgv = 0.0;           // VMAX as lpgm computes it, cm/s
  double end_velocity = 0.0;  // velocity at the last sample, cm/s
};

// The peaks of the samples as written, at 0.02 s.
Peaks MeasurePeaks(std::span<const double> samples);

// The warnings for a converted record, each one sentence with what to do:
// PGA outside 5 to 3000 cm/s2 (units?), |end velocity| above 0.2 PGV (a
// baseline?), and a step above 0.02 s (up-sampled).
std::vector<std::string> Warnings(const Peaks& peaks, double dt_in);

// What was done to the baseline ("baseline none", "baseline mean (K-NET)",
// ...) and by the filter ("no filter (already at 0.02 s)", "Kaiser low-pass
// 205 taps (beta 7.967, pass 20 Hz, stop 25 Hz), decimated by 4"), as the
// summary line says it.
std::string BaselinePart(const SourceRecord& record,
                         const ConvertOptions& options);
std::string FilterPart(const Conversion& conversion);

// The one line that reports a conversion (no line end).
std::string SummaryLine(std::string_view file, const SourceRecord& record,
                        const ConvertOptions& options,
                        const Conversion& conversion, const Peaks& peaks,
                        const std::vector<std::string>& warnings);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_CONVERT_H_
