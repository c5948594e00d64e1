#include "prepare/baseline.h"

#include <cstddef>

namespace lpgm::prepare {

std::optional<Baseline> ParseBaseline(std::string_view name) {
  if (name == "none") return Baseline::kNone;
  if (name == "mean") return Baseline::kMean;
  if (name == "linear") return Baseline::kLinear;
  return std::nullopt;
}

std::string_view BaselineName(Baseline baseline) {
  switch (baseline) {
    case Baseline::kNone:
      return "none";
    case Baseline::kMean:
      return "mean";
    case Baseline::kLinear:
      return "linear";
  }
  return "?";
}

namespace {

double Mean(const std::vector<double>& samples) {
  double sum = 0.0;
  for (double v : samples) sum += v;
  return sum / static_cast<double>(samples.size());
}

// The slope is fitted about the centre index, so that the sums stay small
// and the fit does not lose digits on long records.
void RemoveLine(std::vector<double>& samples) {
  const double mean = Mean(samples);
  const double centre = static_cast<double>(samples.size() - 1) / 2.0;
  double sxy = 0.0;
  double sxx = 0.0;
  for (std::size_t j = 0; j < samples.size(); ++j) {
    double x = static_cast<double>(j) - centre;
    sxy += x * (samples[j] - mean);
    sxx += x * x;
  }
  const double slope = sxx > 0.0 ? sxy / sxx : 0.0;
  for (std::size_t j = 0; j < samples.size(); ++j)
    samples[j] -= mean + slope * (static_cast<double>(j) - centre);
}

}  // namespace

void RemoveBaseline(std::vector<double>& samples, Baseline baseline) {
  if (samples.empty() || baseline == Baseline::kNone) return;
  if (baseline == Baseline::kLinear) {
    RemoveLine(samples);
    return;
  }
  const double mean = Mean(samples);
  for (double& v : samples) v -= mean;
}

}  // namespace lpgm::prepare
