// Spectral matching with the phase kept: the Fourier amplitude of a phase
// record corrected, iteration by iteration, until its response spectrum fits
// a target, its Fourier phase left as it is. No I/O.
//
// Each iteration: the spectrum of the current motion at the target's periods;
// the ratios target / current turned into a gain over frequency
// (interpolated in log period between the target's points, tapered to 1
// within a factor kTaperFactor beyond each end of the band, 1 further out,
// so the long periods beyond the band are left as they are); the motion,
// padded with zeros (at least kPaddingPeriods times the longest target
// period beyond its end, to a power of two) so nothing wraps around,
// transformed, multiplied by the gain, transformed back and cut to its
// length. The iteration with the smallest worst deviation max |ln ratio| is
// kept (iteration 0 is the phase record itself), and the iterations stop
// once that deviation is below kConvergedDeviation. Then the baseline
// correction, and the fit computed again on the final motion: the figures
// reported are those of the motion written.
#ifndef LPGM_COMPUTE_SPECTRAL_MATCH_H_
#define LPGM_COMPUTE_SPECTRAL_MATCH_H_

#include <complex>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "compute/motion_baseline.h"
#include "compute/response_spectrum.h"
#include "platform/kernel.h"

namespace lpgm {

inline constexpr double kTaperFactor = 1.5;
inline constexpr double kPaddingPeriods = 4.0;
inline constexpr double kConvergedDeviation = 0.01;
// The gain of one iteration is held within [1/kMaxStepGain, kMaxStepGain].
inline constexpr double kMaxStepGain = 10.0;
// The longest padded record transformed (2^22 samples, 32 MiB a copy).
inline constexpr std::size_t kMaxFftLength = std::size_t{1} << 22;

struct MatchTarget {
  std::vector<double> periods;  // s, finite, > 0, strictly increasing
  std::vector<double> values;   // cm/s, finite, > 0, one per period
  SpectrumKind kind = SpectrumKind::kPsv;
  double damping = 0.05;
};

struct MatchCriteria {
  double min_ratio = 0.85;  // every ratio at least this
  double mean_ratio = 1.0;  // the mean ratio at least this
  double max_cv = 0.05;     // the coefficient of variation at most this
};

struct MatchOptions {
  int iterations = 20;     // at most this many corrections
  std::size_t length = 0;  // samples out; 0: the phase record's length
  MotionBaseline baseline = MotionBaseline::kEnds;
  MatchCriteria criteria;
  platform::Kernel kernel = platform::Kernel::kScalar;
};

// The fit of a spectrum to the target over the target's periods.
struct FitFigures {
  double min_ratio = 0.0;
  double mean_ratio = 0.0;
  double max_ratio = 0.0;
  double cv = 0.0;         // population standard deviation / mean
  double si_ratio = 0.0;   // integral over period of spectrum / of target
  double deviation = 0.0;  // max |ln ratio|
};

// The figures of `achieved` against `target` (same length, >= 1).
FitFigures MeasureFit(std::span<const double> periods,
                      std::span<const double> target,
                      std::span<const double> achieved);

// Which criteria `fit` fails, each as "name value < limit" (empty: met).
// A figure is taken as meeting its limit within a relative 1e-6, the
// rounding of the six decimals the files carry.
std::vector<std::string> FailedCriteria(const FitFigures& fit,
                                        const MatchCriteria& criteria);

// The gain at frequency f (Hz) from the ratios at the target's periods.
double InterpolatedGain(std::span<const double> periods,
                        std::span<const double> ratios, double frequency);

// Amplitude-weighted mean cosine of the phase difference of a and b over the
// frequencies of the band [1 / period_max, 1 / period_min]: sum Re(A conj B)
// / sum |A| |B|, both transformed at the same padded length. 1 when the
// phases agree everywhere; 0 for a band with no energy.
double PhaseKept(std::span<const double> a, std::span<const double> b,
                 double dt, double period_min, double period_max);

struct MatchIteration {
  FitFigures fit;  // of the motion before this iteration's correction
};

struct MatchResult {
  std::vector<double> acc;       // the design motion, cm/s2
  std::vector<double> phase;     // the phase record, extended to its length
  std::vector<double> achieved;  // its spectrum at the target's periods
  std::vector<double> initial;   // the phase record's spectrum there
  FitFigures fit;                // of `acc`, after the baseline correction
  std::vector<FitFigures> iterations;  // [0] the phase record itself
  int best_iteration = 0;
  double scale = 1.0;  // the final scaling (see MatchGround)
  double phase_kept = 0.0;
  std::size_t fft_length = 0;
  std::vector<std::string> failed;  // FailedCriteria of `fit`
};

// Why a match cannot be made; empty when it can.
std::string MatchRequestError(std::span<const double> phase, double dt,
                              const MatchTarget& target,
                              const MatchOptions& options);

// Matches `phase` (sample step dt) to `target`. After the best iteration,
// when the mean ratio falls short of the criterion, the motion is scaled up
// (every ratio scales with it) to meet it exactly. Throws
// std::invalid_argument when MatchRequestError is not empty.
MatchResult MatchGround(std::span<const double> phase, double dt,
                        const MatchTarget& target, const MatchOptions& options);

// The spectrum of `acc` at the target's periods, kind and damping.
std::vector<double> TargetKindSpectrum(std::span<const double> acc, double dt,
                                       const MatchTarget& target,
                                       platform::Kernel kernel);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_SPECTRAL_MATCH_H_
