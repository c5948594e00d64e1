// Response spectra of a ground acceleration record: the peaks of damped
// single-degree-of-freedom oscillators under it, computed by the exact
// solution for ground acceleration linear between samples. No I/O.
//
// Each oscillator obeys u'' + 2 h w u' + w^2 u = -ag(t), w = 2 pi / T,
// starting at rest one step before the first sample with ag = 0 there (the
// trapezoid convention of the velocity waveforms: the first step ramps from 0
// to the first sample). Units follow the record: cm/s2 in, cm, cm/s, cm/s2
// out.
#ifndef LPGM_COMPUTE_RESPONSE_SPECTRUM_H_
#define LPGM_COMPUTE_RESPONSE_SPECTRUM_H_

#include <span>
#include <string_view>
#include <vector>

#include "platform/kernel.h"

namespace lpgm {

struct Oscillator {
  double period = 1.0;    // T, s; finite and > 0
  double damping = 0.05;  // h; 0 <= h < 1
};

// The peaks of absolute values over the record of one oscillator.
struct SpectralPeaks {
  double sd = 0.0;  // relative displacement, cm
  double sv = 0.0;  // relative velocity, cm/s
  double sa = 0.0;  // absolute acceleration |2 h w u' + w^2 u|, cm/s2
};

// pSv = w Sd and pSa = w^2 Sd of an oscillator of period `period`.
double PseudoVelocity(const SpectralPeaks& peaks, double period);
double PseudoAcceleration(const SpectralPeaks& peaks, double period);

// The five quantities a spectrum can be drawn or matched in.
enum class SpectrumKind { kSd, kSv, kSa, kPsv, kPsa };
double SpectralValue(const SpectralPeaks& peaks, double period,
                     SpectrumKind kind);
// "Sd", "Sv", "Sa", "pSv", "pSa".
std::string_view SpectrumKindName(SpectrumKind kind);

struct SpectrumOptions {
  // Peaks looked for at `substeps` points per sample step (1: at the sample
  // times only). The input is linear within a step, so sub-steps add no
  // approximation.
  int substeps = 1;
  // kScalar steps one oscillator at a time; kSse2 and kAvx2 step two or
  // four side by side, with the same result (a kernel the processor lacks
  // gives way to platform::BestKernel()).
  platform::Kernel kernel = platform::Kernel::kScalar;
};

// Why a request cannot be computed; empty when it can.
std::string_view SpectrumRequestError(double dt,
                                      std::span<const Oscillator> oscillators,
                                      const SpectrumOptions& options);

// out[k] = the peaks of oscillators[k] under `acc` sampled every `dt`.
// An empty record gives zero peaks. Throws std::invalid_argument when
// SpectrumRequestError is not empty or out is shorter than oscillators.
void ComputeSpectralPeaks(std::span<const double> acc, double dt,
                          std::span<const Oscillator> oscillators,
                          const SpectrumOptions& options,
                          std::span<SpectralPeaks> out);

// A record and its time step.
struct RecordSamples {
  std::span<const double> acc;
  double dt = 0.02;
};

// out[r * oscillators.size() + k] = the peaks of oscillators[k] under
// records[r], each exactly as ComputeSpectralPeaks gives them (the same bits
// on every kernel). The work, by record and by group of oscillators, is
// shared by `threads` threads (the caller's and threads - 1 more; values
// below 1 count as 1). Throws std::invalid_argument when a record's request
// is not valid or out is too short, before any work starts.
void ComputeSpectralPeaksOfRecords(std::span<const RecordSamples> records,
                                   std::span<const Oscillator> oscillators,
                                   const SpectrumOptions& options, int threads,
                                   std::span<SpectralPeaks> out);

// One oscillator's response at each sample time (index j is the time of
// acc[j]): relative displacement, relative velocity and absolute
// acceleration.
struct ResponseHistory {
  std::vector<double> displacement;
  std::vector<double> velocity;
  std::vector<double> absolute_acceleration;
};
ResponseHistory ComputeResponseHistory(std::span<const double> acc, double dt,
                                       const Oscillator& oscillator);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_RESPONSE_SPECTRUM_H_
