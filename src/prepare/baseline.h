// Baseline correction of a record before it is resampled.
#ifndef LPGM_PREPARE_BASELINE_H_
#define LPGM_PREPARE_BASELINE_H_

#include <optional>
#include <string_view>
#include <vector>

namespace lpgm::prepare {

enum class Baseline { kNone, kMean, kLinear };

// "none", "mean" or "linear"; nullopt for anything else.
std::optional<Baseline> ParseBaseline(std::string_view name);
std::string_view BaselineName(Baseline baseline);

// kMean subtracts the mean of the samples; kLinear the least-squares
// straight line over the sample index (which removes the mean too); kNone
// leaves them. An empty record is left as it is.
void RemoveBaseline(std::vector<double>& samples, Baseline baseline);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_BASELINE_H_
