#include "prepare/convert.h"

#include <cmath>
#include <cstdio>

#include "base/case_record.h"
#include "compute/velocity.h"
#include "prepare/acc_writer.h"

namespace lpgm::prepare {

namespace {

// " s to 0.02 s", " samples at 0.02 s": the step as messages show it.
const std::string kAtStep = " " + std::string(kTimeStepText) + " s";

}  // namespace

std::variant<Conversion, InputError> Convert(const SourceRecord& record,
                                             const ConvertOptions& options,
                                             std::string_view file) {
  std::optional<Ratio> ratio = RatioOfSteps(record.dt, kTimeStep);
  if (!ratio)
    return InputError{std::string(file), 0,
                      "cannot resample a time step of " +
                          std::to_string(record.dt) + " s to" + kAtStep +
                          " (no ratio of whole numbers up to 1000)"};
  const double factor = FactorToCentimetres(record.units);
  std::vector<double> samples;
  samples.reserve(record.values.size());
  for (double v : record.values) samples.push_back(v * factor * options.scale);
  RemoveBaseline(samples, options.baseline);
  Conversion conversion;
  conversion.ratio = *ratio;
  if (ratio->up == 1 && ratio->down == 1) {
    conversion.samples = std::move(samples);
  } else {
    conversion.filter = DesignAntiAlias(1.0 / record.dt, ratio->up);
    conversion.samples = UpFilterDown(samples, conversion.filter->taps, *ratio);
  }
  for (double a : conversion.samples) {
    if (!std::isfinite(a))
      return InputError{std::string(file), 0,
                        "a value beyond the range of numbers after the units "
                        "and --scale"};
  }
  if (conversion.samples.size() > static_cast<std::size_t>(kSampleCapacity))
    return InputError{std::string(file), 0,
                      std::to_string(conversion.samples.size()) +
                          " samples at" + kAtStep + ", more than the " +
                          std::string(kSampleCapacityText) +
                          " that lpgm takes; cut the record first"};
  return conversion;
}

Peaks MeasurePeaks(std::span<const double> samples) {
  Peaks peaks;
  for (double a : samples)
    if (std::fabs(a) > peaks.pga) peaks.pga = std::fabs(a);
  std::vector<double> velocity(samples.size());
  peaks.pgv = IntegrateRecord(samples, kTimeStep, velocity);
  peaks.end_velocity = velocity.empty() ? 0.0 : velocity.back();
  return peaks;
}

namespace {

std::string Printf(const char* format, double a, double b = 0.0) {
  char buffer[200];
  std::snprintf(buffer, sizeof buffer, format, a, b);
  return buffer;
}

}  // namespace

std::vector<std::string> Warnings(const Peaks& peaks, double dt_in) {
  std::vector<std::string> warnings;
  if (peaks.pga < kPlausiblePgaLow || peaks.pga > kPlausiblePgaHigh)
    warnings.push_back(Printf("PGA %.4g cm/s2 is outside ", peaks.pga) +
                       std::string(kPlausiblePgaText) +
                       " cm/s2: check --units");
  if (std::fabs(peaks.end_velocity) > kDriftShare * peaks.pgv)
    warnings.push_back(
        Printf("end velocity %.4g cm/s is above ", peaks.end_velocity) +
        std::string(kDriftShareText) +
        " x PGV: consider --baseline linear (or mean)");
  if (dt_in > kTimeStep)
    warnings.push_back(Printf("time step %g s is above", dt_in) + kAtStep +
                       Printf(": up-sampled, nothing above %g Hz is in the "
                              "record",
                              0.5 / dt_in));
  return warnings;
}

std::string BaselinePart(const SourceRecord& record,
                         const ConvertOptions& options) {
  std::string text = "baseline " + std::string(BaselineName(options.baseline));
  if (record.mean_removed) {
    text = options.baseline == Baseline::kNone
               ? "baseline mean (K-NET)"
               : "baseline mean (K-NET), then " +
                     std::string(BaselineName(options.baseline));
  }
  return text;
}

std::string FilterPart(const Conversion& conversion) {
  if (!conversion.filter) return "no filter (already at" + kAtStep + ")";
  const AntiAliasFilter& f = *conversion.filter;
  std::string text =
      "Kaiser low-pass " + std::to_string(f.order.taps) + " taps" +
      Printf(" (beta %.3f, pass %g Hz", f.order.beta, f.pass_hz) +
      Printf(", stop %g Hz), ", f.stop_hz);
  if (conversion.ratio.up == 1)
    return text + "decimated by " + std::to_string(conversion.ratio.down);
  return text + "resampled by " + std::to_string(conversion.ratio.up) + "/" +
         std::to_string(conversion.ratio.down);
}

std::string SummaryLine(std::string_view file, const SourceRecord& record,
                        const ConvertOptions& options,
                        const Conversion& conversion, const Peaks& peaks,
                        const std::vector<std::string>& warnings) {
  std::string line =
      std::string(file) + ": " + std::string(FormatName(record.format)) + ", " +
      std::to_string(record.values.size()) + " samples at " +
      Printf("%g s", record.dt) + " in " + std::string(UnitsName(record.units));
  if (options.scale != 1.0) line += Printf(" x %g", options.scale);
  line += "; " + BaselinePart(record, options) + "; " + FilterPart(conversion);
  line += "; " + std::to_string(conversion.samples.size()) + " samples at" +
          kAtStep +
          Printf("; PGA %.2f cm/s2, PGV %.2f cm/s", peaks.pga, peaks.pgv);
  for (const std::string& warning : warnings) line += "; warning: " + warning;
  return line;
}

}  // namespace lpgm::prepare
