// Resampling a record to another time step: the ratio of the two steps as
// small whole numbers, and the zero-phase up-sample, filter, down-sample.
#ifndef LPGM_PREPARE_RESAMPLE_H_
#define LPGM_PREPARE_RESAMPLE_H_

#include <optional>
#include <span>
#include <vector>

namespace lpgm::prepare {

// new rate / old rate = up / down, in lowest terms.
struct Ratio {
  int up = 1;
  int down = 1;
};

// up / down = dt_in / dt_out within 1e-9 of its value, both at most 1000
// (the closest such fraction, by continued fractions); nullopt when none is
// (a step such as 1e-6 s against 0.02 s). Needs both steps positive.
std::optional<Ratio> RatioOfSteps(double dt_in, double dt_out);

// Inserts up - 1 zeros after every sample, filters by the symmetric `taps`
// (odd in number) centred on each sample, and keeps every down-th sample,
// the first at the time of the first input sample. The record is taken to
// be 0 before its first and after its last sample. ceil(n * up / down)
// samples out.
std::vector<double> UpFilterDown(std::span<const double> x,
                                 std::span<const double> taps, Ratio ratio);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_RESAMPLE_H_
