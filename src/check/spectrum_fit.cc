#include "check/spectrum_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lpgm::check {

std::optional<SpectrumRatio> RatioToTarget(std::span<const double> period,
                                           std::span<const double> spectrum,
                                           std::span<const double> target) {
  const std::size_t n =
      std::min({period.size(), spectrum.size(), target.size()});
  SpectrumRatio r;
  double sum = 0;
  for (std::size_t j = 0; j < n; ++j) {
    if (!std::isfinite(spectrum[j]) || !std::isfinite(target[j]) ||
        !(target[j] > 0))
      continue;
    const double ratio = spectrum[j] / target[j];
    if (!std::isfinite(ratio)) continue;
    if (r.points == 0 || ratio < r.min) {
      r.min = ratio;
      r.min_period = period[j];
    }
    if (r.points == 0 || ratio > r.max) {
      r.max = ratio;
      r.max_period = period[j];
    }
    sum += ratio;
    ++r.points;
  }
  if (r.points == 0) return std::nullopt;
  r.mean = sum / r.points;
  return r;
}

std::optional<std::vector<double>> LogSpectrum(
    std::span<const double> spectrum) {
  if (spectrum.empty()) return std::nullopt;
  std::vector<double> logs;
  logs.reserve(spectrum.size());
  for (double v : spectrum) {
    if (!std::isfinite(v) || !(v > 0)) return std::nullopt;
    logs.push_back(std::log10(v));
  }
  return logs;
}

std::vector<double> MedianLogSpectrum(
    std::span<const std::vector<double>> logs) {
  std::vector<double> median(logs.front().size());
  std::vector<double> column(logs.size());
  const std::size_t mid = logs.size() / 2;
  for (std::size_t j = 0; j < median.size(); ++j) {
    for (std::size_t i = 0; i < logs.size(); ++i) column[i] = logs[i][j];
    std::sort(column.begin(), column.end());
    median[j] = logs.size() % 2 == 1 ? column[mid]
                                     : (column[mid - 1] + column[mid]) / 2;
  }
  return median;
}

double MeanLogRatio(std::span<const double> log_spectrum,
                    std::span<const double> log_reference) {
  double sum = 0;
  for (std::size_t j = 0; j < log_spectrum.size(); ++j)
    sum += log_spectrum[j] - log_reference[j];
  return sum / static_cast<double>(log_spectrum.size());
}

void CompareLevels(CheckResult& result) {
  std::vector<std::optional<std::vector<double>>> logs;
  std::vector<std::vector<double>> whole;
  for (const CaseSummary& c : result.cases) {
    logs.push_back(LogSpectrum(c.spectrum));
    if (logs.back()) whole.push_back(*logs.back());
  }
  std::optional<std::vector<double>> target = LogSpectrum(result.target);
  if (target && !whole.empty() && target->size() != whole[0].size())
    target.reset();
  result.levels_against_target = whole.size() < 3;
  std::optional<std::vector<double>> yardstick = target;
  if (!result.levels_against_target) {
    yardstick = MedianLogSpectrum(whole);
    if (target)
      result.set_level_ratio =
          std::pow(10.0, MeanLogRatio(*yardstick, *target));
  }
  if (!yardstick) return;
  for (std::size_t i = 0; i < result.cases.size(); ++i) {
    if (logs[i] && logs[i]->size() == yardstick->size())
      result.cases[i].level_ratio =
          std::pow(10.0, MeanLogRatio(*logs[i], *yardstick));
  }
}

}  // namespace lpgm::check
