// The exact piecewise-linear oscillator against closed forms.
#include "compute/response_spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <stdexcept>
#include <vector>

namespace lpgm {
namespace {

constexpr double kPi = std::numbers::pi;

SpectralPeaks PeaksOf(const std::vector<double>& acc, double dt, Oscillator osc,
                      int substeps = 1) {
  SpectralPeaks peaks;
  SpectrumOptions options;
  options.substeps = substeps;
  ComputeSpectralPeaks(acc, dt, {&osc, 1}, options, {&peaks, 1});
  return peaks;
}

// A step of height A: Sd = A / w^2 (1 + exp(-pi h / sqrt(1 - h^2))). The
// ramp of the first step is short next to the period, so the peak is the
// step's within 1e-6.
TEST(ResponseSpectrum, StepOvershootMatchesClosedForm) {
  const double a = 100.0;
  const double dt = 1e-4;
  for (const double h : {0.0, 0.02, 0.05, 0.2}) {
    for (const double period : {0.5, 1.0, 3.0}) {
      const std::vector<double> acc(static_cast<std::size_t>(period / dt) * 2,
                                    a);
      const double w = 2.0 * kPi / period;
      const double expected =
          a / (w * w) * (1.0 + std::exp(-kPi * h / std::sqrt(1.0 - h * h)));
      EXPECT_NEAR(PeaksOf(acc, dt, {period, h}).sd / expected, 1.0, 1e-6)
          << "h " << h << " T " << period;
    }
  }
}

// Harmonic ground motion at the oscillator's own period: the steady
// amplitudes are A / (2 h w^2) and A / (2 h w).
TEST(ResponseSpectrum, ResonanceReachesSteadyAmplitudes) {
  const double a = 100.0, h = 0.05, period = 2.0, dt = 0.005;
  const double w = 2.0 * kPi / period;
  std::vector<double> acc(80000);
  for (std::size_t j = 0; j < acc.size(); ++j)
    acc[j] = a * std::sin(w * static_cast<double>(j) * dt);
  const SpectralPeaks peaks = PeaksOf(acc, dt, {period, h}, 4);
  EXPECT_NEAR(peaks.sd / (a / (2.0 * h * w * w)), 1.0, 2e-4);
  EXPECT_NEAR(peaks.sv / (a / (2.0 * h * w)), 1.0, 2e-4);
}

// A triangle pulse of area I over two tiny steps is an impulse: u(t) =
// -(I / wd) exp(-h w t) sin(wd t), measured from the pulse's centre.
TEST(ResponseSpectrum, ImpulseResponseMatchesClosedForm) {
  const double impulse = 2.0, h = 0.05, dt = 1e-5;
  std::vector<double> acc(60000, 0.0);
  acc[0] = impulse / dt;
  const ResponseHistory history = ComputeResponseHistory(acc, dt, {1.0, h});
  const double w = 2.0 * kPi, wd = w * std::sqrt(1.0 - h * h);
  for (const std::size_t j : {1000u, 12345u, 59999u}) {
    const double t = static_cast<double>(j) * dt;
    const double expected =
        -(impulse / wd) * std::exp(-h * w * t) * std::sin(wd * t);
    EXPECT_NEAR(history.displacement[j], expected, 1e-6 * impulse / wd);
  }
}

TEST(ResponseSpectrum, SubStepsNeverLowerAPeak) {
  std::vector<double> acc(3000);
  for (std::size_t j = 0; j < acc.size(); ++j)
    acc[j] = std::sin(0.37 * static_cast<double>(j)) * 50.0;
  for (const double period : {0.1, 0.3, 1.0}) {
    const SpectralPeaks one = PeaksOf(acc, 0.02, {period, 0.05}, 1);
    const SpectralPeaks ten = PeaksOf(acc, 0.02, {period, 0.05}, 10);
    EXPECT_GE(ten.sd, one.sd);
    EXPECT_GE(ten.sv, one.sv);
    EXPECT_GE(ten.sa, one.sa);
  }
}

TEST(ResponseSpectrum, RefusesRequestsItCannotCompute) {
  const std::vector<double> acc(10, 1.0);
  SpectralPeaks peaks;
  struct Bad {
    double dt;
    Oscillator osc;
    int substeps;
  };
  for (const Bad& bad :
       {Bad{0.0, {1.0, 0.05}, 1}, Bad{0.02, {0.0, 0.05}, 1},
        Bad{0.02, {1.0, 1.0}, 1}, Bad{0.02, {1.0, -0.1}, 1},
        Bad{0.02, {NAN, 0.05}, 1}, Bad{0.02, {1.0, 0.05}, 0}}) {
    SpectrumOptions options;
    options.substeps = bad.substeps;
    EXPECT_FALSE(SpectrumRequestError(bad.dt, {&bad.osc, 1}, options).empty());
    EXPECT_THROW(
        ComputeSpectralPeaks(acc, bad.dt, {&bad.osc, 1}, options, {&peaks, 1}),
        std::invalid_argument);
  }
}

// A noisy record with a drift and a pulse, the kind of input that exercises
// every branch of the peaks.
std::vector<double> NoisyRecord(std::size_t n, unsigned seed) {
  std::mt19937_64 random(seed);
  std::normal_distribution<double> noise(0.0, 80.0);
  std::vector<double> acc(n);
  for (std::size_t j = 0; j < n; ++j)
    acc[j] = noise(random) + 30.0 * std::sin(0.013 * static_cast<double>(j));
  if (n > 100) acc[n / 3] = 900.0;
  return acc;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every kernel, on one thread or two, over many records and a grid of
// periods and dampings whose size is no multiple of any vector width, gives
// the scalar reference's bits.
TEST(ResponseSpectrum, EveryKernelGivesTheReferenceBits) {
  std::vector<Oscillator> grid;
  for (int k = 0; k < 59; ++k)
    grid.push_back({0.03 * std::pow(1.09, k), k % 3 == 0 ? 0.0 : 0.01 * k});
  grid.push_back({1e-4, 0.05});  // far shorter than the step
  grid.push_back({1e4, 0.99});
  std::vector<std::vector<double>> data;
  std::vector<RecordSamples> records;
  for (unsigned r = 0; r < 5; ++r) data.push_back(NoisyRecord(1500 + 7 * r, r));
  data.push_back({});  // an empty record: zero peaks
  for (std::size_t r = 0; r < data.size(); ++r)
    records.push_back({data[r], r % 2 == 0 ? 0.01 : 0.005});
  for (const int substeps : {1, 3}) {
    SpectrumOptions reference_options;
    reference_options.substeps = substeps;
    std::vector<SpectralPeaks> reference(records.size() * grid.size());
    for (std::size_t r = 0; r < records.size(); ++r)
      ComputeSpectralPeaks(records[r].acc, records[r].dt, grid,
                           reference_options,
                           std::span(reference).subspan(r * grid.size()));
    for (const platform::Kernel kernel :
         {platform::Kernel::kScalar, platform::Kernel::kSse2,
          platform::Kernel::kAvx2}) {
      if (!platform::KernelRuns(kernel)) continue;
      for (const int threads : {1, 2}) {
        SpectrumOptions options = reference_options;
        options.kernel = kernel;
        std::vector<SpectralPeaks> out(reference.size());
        ComputeSpectralPeaksOfRecords(records, grid, options, threads, out);
        for (std::size_t i = 0; i < out.size(); ++i) {
          ASSERT_TRUE(SameBits(out[i].sd, reference[i].sd) &&
                      SameBits(out[i].sv, reference[i].sv) &&
                      SameBits(out[i].sa, reference[i].sa))
              << platform::KernelName(kernel) << " threads " << threads
              << " substeps " << substeps << " item " << i;
        }
      }
    }
  }
}

TEST(ResponseSpectrum, ManyRecordsRefuseABadRecordOrAShortOutput) {
  const std::vector<double> acc(10, 1.0);
  const Oscillator osc{1.0, 0.05};
  const RecordSamples good{acc, 0.01}, bad{acc, 0.0};
  std::vector<SpectralPeaks> out(2);
  const RecordSamples with_bad[] = {good, bad};
  EXPECT_THROW(ComputeSpectralPeaksOfRecords(with_bad, {&osc, 1}, {}, 2, out),
               std::invalid_argument);
  const RecordSamples three[] = {good, good, good};
  EXPECT_THROW(ComputeSpectralPeaksOfRecords(three, {&osc, 1}, {}, 2, out),
               std::invalid_argument);
}

}  // namespace
}  // namespace lpgm
