#include "compute/spectral_match.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <numbers>
#include <stdexcept>

#include "compute/fft.h"

namespace lpgm {

namespace {

constexpr double kTolerance = 1e-6;

std::string Figure(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", v);
  return text;
}

// The weight of the band's edge value beyond the band: 1 at the edge,
// falling by a half cosine in log period to 0 at kTaperFactor beyond it.
double TaperWeight(double log_distance) {
  const double width = std::log(kTaperFactor);
  if (log_distance >= width) return 0.0;
  return 0.5 * (1.0 + std::cos(std::numbers::pi * log_distance / width));
}

std::size_t FftLengthFor(std::size_t length, double dt, double period_max) {
  const double pad = std::ceil(kPaddingPeriods * period_max / dt);
  return NextPowerOfTwo(length + static_cast<std::size_t>(pad));
}

std::vector<double> Ratios(std::span<const double> target,
                           std::span<const double> achieved) {
  std::vector<double> r(target.size());
  for (std::size_t k = 0; k < target.size(); ++k)
    r[k] = achieved[k] / target[k];
  return r;
}

// One correction: the motion's amplitudes times the gain, phases kept.
void CorrectOnce(std::vector<double>& motion, std::size_t length,
                 const RealFft& fft, double dt, const MatchTarget& target,
                 std::span<const double> ratios) {
  std::vector<double> gain_ratio(ratios.size());
  for (std::size_t k = 0; k < ratios.size(); ++k) {
    const double g = ratios[k] > 0.0 ? 1.0 / ratios[k] : kMaxStepGain;
    gain_ratio[k] = std::clamp(g, 1.0 / kMaxStepGain, kMaxStepGain);
  }
  std::vector<std::complex<double>> spectrum;
  fft.Forward(motion, spectrum);
  const double df = 1.0 / (static_cast<double>(fft.size()) * dt);
  for (std::size_t k = 1; k < spectrum.size(); ++k) {
    spectrum[k] *= InterpolatedGain(target.periods, gain_ratio,
                                    static_cast<double>(k) * df);
  }
  std::vector<double> back;
  fft.Inverse(spectrum, back);
  motion.assign(back.begin(),
                back.begin() + static_cast<std::ptrdiff_t>(length));
}

}  // namespace

FitFigures MeasureFit(std::span<const double> periods,
                      std::span<const double> target,
                      std::span<const double> achieved) {
  FitFigures f;
  const std::size_t n = target.size();
  if (n == 0) return f;
  const std::vector<double> r = Ratios(target, achieved);
  f.min_ratio = *std::min_element(r.begin(), r.end());
  f.max_ratio = *std::max_element(r.begin(), r.end());
  double sum = 0.0;
  for (const double x : r) {
    sum += x;
    f.deviation = std::max(f.deviation, std::fabs(std::log(x)));
  }
  f.mean_ratio = sum / static_cast<double>(n);
  double squares = 0.0;
  for (const double x : r) squares += (x - f.mean_ratio) * (x - f.mean_ratio);
  f.cv = f.mean_ratio > 0.0
             ? std::sqrt(squares / static_cast<double>(n)) / f.mean_ratio
             : 0.0;
  double area_target = 0.0;
  double area_achieved = 0.0;
  for (std::size_t k = 1; k < n; ++k) {
    const double w = 0.5 * (periods[k] - periods[k - 1]);
    area_target += w * (target[k] + target[k - 1]);
    area_achieved += w * (achieved[k] + achieved[k - 1]);
  }
  f.si_ratio = area_target > 0.0 ? area_achieved / area_target : f.mean_ratio;
  if (!std::isfinite(f.deviation)) f.deviation = HUGE_VAL;
  return f;
}

std::vector<std::string> FailedCriteria(const FitFigures& fit,
                                        const MatchCriteria& criteria) {
  std::vector<std::string> failed;
  if (fit.min_ratio < criteria.min_ratio * (1.0 - kTolerance))
    failed.push_back("min ratio " + Figure(fit.min_ratio) + " < " +
                     Figure(criteria.min_ratio));
  if (fit.mean_ratio < criteria.mean_ratio * (1.0 - kTolerance))
    failed.push_back("mean ratio " + Figure(fit.mean_ratio) + " < " +
                     Figure(criteria.mean_ratio));
  if (fit.cv > criteria.max_cv * (1.0 + kTolerance) + kTolerance)
    failed.push_back("CV " + Figure(fit.cv) + " > " + Figure(criteria.max_cv));
  return failed;
}

double InterpolatedGain(std::span<const double> periods,
                        std::span<const double> ratios, double frequency) {
  if (periods.empty() || !(frequency > 0.0)) return 1.0;
  const double t = 1.0 / frequency;
  const std::size_t n = periods.size();
  if (t <= periods[0]) {
    const double w = TaperWeight(std::log(periods[0] / t));
    return 1.0 + (ratios[0] - 1.0) * w;
  }
  if (t >= periods[n - 1]) {
    const double w = TaperWeight(std::log(t / periods[n - 1]));
    return 1.0 + (ratios[n - 1] - 1.0) * w;
  }
  const auto upper = std::upper_bound(periods.begin(), periods.end(), t);
  const std::size_t k = static_cast<std::size_t>(upper - periods.begin());
  const double x =
      std::log(t / periods[k - 1]) / std::log(periods[k] / periods[k - 1]);
  return ratios[k - 1] + (ratios[k] - ratios[k - 1]) * x;
}

double PhaseKept(std::span<const double> a, std::span<const double> b,
                 double dt, double period_min, double period_max) {
  const std::size_t length = std::max(a.size(), b.size());
  const RealFft fft(FftLengthFor(length, dt, period_max));
  std::vector<std::complex<double>> fa;
  std::vector<std::complex<double>> fb;
  fft.Forward(a, fa);
  fft.Forward(b, fb);
  const double df = 1.0 / (static_cast<double>(fft.size()) * dt);
  double dot = 0.0;
  double norm = 0.0;
  for (std::size_t k = 1; k < fa.size(); ++k) {
    const double f = static_cast<double>(k) * df;
    if (f < 1.0 / period_max || f > 1.0 / period_min) continue;
    dot += (fa[k] * std::conj(fb[k])).real();
    norm += std::abs(fa[k]) * std::abs(fb[k]);
  }
  return norm > 0.0 ? dot / norm : 0.0;
}

std::vector<double> TargetKindSpectrum(std::span<const double> acc, double dt,
                                       const MatchTarget& target,
                                       platform::Kernel kernel) {
  std::vector<Oscillator> oscillators;
  oscillators.reserve(target.periods.size());
  for (const double t : target.periods)
    oscillators.push_back({t, target.damping});
  std::vector<SpectralPeaks> peaks(oscillators.size());
  SpectrumOptions options;
  options.kernel = kernel;
  ComputeSpectralPeaks(acc, dt, oscillators, options, peaks);
  std::vector<double> values(peaks.size());
  for (std::size_t k = 0; k < peaks.size(); ++k)
    values[k] = SpectralValue(peaks[k], target.periods[k], target.kind);
  return values;
}

std::string MatchRequestError(std::span<const double> phase, double dt,
                              const MatchTarget& target,
                              const MatchOptions& options) {
  if (phase.empty()) return "the phase record has no samples";
  if (!(dt > 0.0) || !std::isfinite(dt)) return "the time step is not > 0";
  bool moves = false;
  for (const double a : phase) {
    if (!std::isfinite(a)) return "the phase record has a value not finite";
    moves = moves || a != 0.0;
  }
  if (!moves) return "the phase record has no motion (every sample 0)";
  const std::size_t n = target.periods.size();
  if (n < 2) return "the target has fewer than 2 periods";
  if (target.values.size() != n)
    return "the target has not one value per period";
  for (std::size_t k = 0; k < n; ++k) {
    const double t = target.periods[k];
    if (!std::isfinite(t) || !(t > 0.0))
      return "a target period is not a finite number > 0";
    if (k > 0 && !(t > target.periods[k - 1]))
      return "the target periods do not increase";
    if (!std::isfinite(target.values[k]) || !(target.values[k] > 0.0))
      return "a target value is not a finite number > 0";
  }
  if (!(target.damping >= 0.0 && target.damping < 1.0))
    return "the damping is not within 0 <= h < 1";
  if (options.length != 0 && options.length < phase.size())
    return "the length asked for is shorter than the phase record";
  if (options.iterations < 0) return "the number of iterations is negative";
  const double length =
      static_cast<double>(options.length != 0 ? options.length : phase.size());
  const double padded =
      length + std::ceil(kPaddingPeriods * target.periods.back() / dt);
  if (!(padded <= static_cast<double>(kMaxFftLength)))
    return "the longest target period is too long for the time step (the "
           "padded record would pass 2^22 samples)";
  return {};
}

MatchResult MatchGround(std::span<const double> phase, double dt,
                        const MatchTarget& target,
                        const MatchOptions& options) {
  const std::string error = MatchRequestError(phase, dt, target, options);
  if (!error.empty()) throw std::invalid_argument(error);
  MatchResult result;
  const std::size_t length =
      options.length != 0 ? options.length : phase.size();
  result.phase.assign(phase.begin(), phase.end());
  result.phase.resize(length, 0.0);
  result.fft_length = FftLengthFor(length, dt, target.periods.back());
  const RealFft fft(result.fft_length);

  std::vector<double> motion = result.phase;
  std::vector<double> best = motion;
  double best_deviation = HUGE_VAL;
  for (int i = 0;; ++i) {
    const std::vector<double> achieved =
        TargetKindSpectrum(motion, dt, target, options.kernel);
    const FitFigures fit = MeasureFit(target.periods, target.values, achieved);
    result.iterations.push_back(fit);
    if (i == 0) result.initial = achieved;
    if (fit.deviation < best_deviation) {
      best_deviation = fit.deviation;
      best = motion;
      result.best_iteration = i;
    }
    if (fit.deviation < kConvergedDeviation || i >= options.iterations) break;
    CorrectOnce(motion, length, fft, dt, target,
                Ratios(target.values, achieved));
  }

  result.acc = CorrectBaseline(best, dt, options.baseline);
  result.achieved = TargetKindSpectrum(result.acc, dt, target, options.kernel);
  result.fit = MeasureFit(target.periods, target.values, result.achieved);
  const MatchCriteria& c = options.criteria;
  if (result.fit.mean_ratio > 0.0 &&
      result.fit.mean_ratio < c.mean_ratio * (1.0 - kTolerance)) {
    result.scale = c.mean_ratio / result.fit.mean_ratio;
    for (double& a : result.acc) a *= result.scale;
    result.achieved =
        TargetKindSpectrum(result.acc, dt, target, options.kernel);
    result.fit = MeasureFit(target.periods, target.values, result.achieved);
  }
  result.failed = FailedCriteria(result.fit, c);
  result.phase_kept = PhaseKept(result.acc, result.phase, dt,
                                target.periods.front(), target.periods.back());
  return result;
}

}  // namespace lpgm
