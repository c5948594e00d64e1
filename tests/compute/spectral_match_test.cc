#include "compute/spectral_match.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "compute/motion_baseline.h"

namespace lpgm {
namespace {

constexpr double kDt = 0.02;

// 55 periods from 0.1 to 10 s, evenly in log period, as lpgm's.
std::vector<double> Periods() {
  std::vector<double> p(55);
  for (std::size_t k = 0; k < p.size(); ++k)
    p[k] = 0.1 * std::pow(100.0, static_cast<double>(k) / 54.0);
  return p;
}

// Band-limited noise under an envelope: a record with a rough spectrum.
std::vector<double> NoiseRecord(std::size_t n, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> normal(0.0, 50.0);
  std::vector<double> acc(n);
  double smooth = 0.0;
  for (std::size_t j = 0; j < n; ++j) {
    const double t = static_cast<double>(j) * kDt;
    smooth = 0.7 * smooth + normal(rng);
    acc[j] = smooth * (t / 5.0) * std::exp(1.0 - t / 5.0);
  }
  return acc;
}

MatchTarget SmoothTarget(SpectrumKind kind) {
  MatchTarget t;
  t.periods = Periods();
  t.kind = kind;
  for (const double p : t.periods)
    t.values.push_back(80.0 * p / (0.5 + p));  // rises, then flat
  return t;
}

// With its own spectrum as the target and no baseline change, the phase
// record is already the answer: nothing is changed.
TEST(SpectralMatchTest, SelfMatchGivesThePhaseRecordBack) {
  const std::vector<double> phase = NoiseRecord(2500, 7);
  MatchTarget target = SmoothTarget(SpectrumKind::kPsv);
  target.values =
      TargetKindSpectrum(phase, kDt, target, platform::Kernel::kScalar);
  MatchOptions options;
  options.baseline = MotionBaseline::kNone;
  const MatchResult r = MatchGround(phase, kDt, target, options);
  EXPECT_EQ(r.best_iteration, 0);
  EXPECT_EQ(r.acc, phase);
  EXPECT_TRUE(r.failed.empty());
  EXPECT_DOUBLE_EQ(r.phase_kept, 1.0);
}

// A rough record fitted to a smooth target, of either kind: the criteria
// are met, the phase is kept, and with the default baseline correction the
// motion ends at rest.
TEST(SpectralMatchTest, NoiseFitsASmoothTargetKeepingPhaseWithoutDrift) {
  for (const SpectrumKind kind : {SpectrumKind::kPsv, SpectrumKind::kSv}) {
    const std::vector<double> phase = NoiseRecord(6000, 11);
    const MatchTarget target = SmoothTarget(kind);
    MatchOptions options;
    options.length = 8000;  // 40 s of zeros for the long periods to ring out
    const MatchResult r = MatchGround(phase, kDt, target, options);
    SCOPED_TRACE(SpectrumKindName(kind));
    EXPECT_TRUE(r.failed.empty()) << r.failed.front();
    EXPECT_GE(r.fit.min_ratio, 0.85);
    EXPECT_GE(r.fit.mean_ratio, 1.0 - 1e-6);
    EXPECT_LE(r.fit.cv, 0.05);
    EXPECT_GE(r.phase_kept, 0.9);
    ASSERT_EQ(r.acc.size(), 8000U);
    const std::vector<double> v = IntegrateTrapezoid(r.acc, kDt);
    const std::vector<double> d = IntegrateTrapezoid(v, kDt);
    double pgv = 0.0;
    double pgd = 0.0;
    for (std::size_t j = 0; j < v.size(); ++j) {
      pgv = std::max(pgv, std::fabs(v[j]));
      pgd = std::max(pgd, std::fabs(d[j]));
    }
    EXPECT_LE(std::fabs(v.back()), 0.01 * pgv);
    EXPECT_LE(std::fabs(d.back()), 0.05 * pgd);
    // The figures reported are those of the motion returned.
    const std::vector<double> again =
        TargetKindSpectrum(r.acc, kDt, target, platform::Kernel::kScalar);
    EXPECT_EQ(again, r.achieved);
  }
}

TEST(SpectralMatchTest, GainIsInterpolatedInLogPeriodAndTapersToOne) {
  const std::vector<double> periods = {1.0, 4.0};
  const std::vector<double> gains = {2.0, 3.0};
  EXPECT_DOUBLE_EQ(InterpolatedGain(periods, gains, 1.0), 2.0);
  EXPECT_DOUBLE_EQ(InterpolatedGain(periods, gains, 0.25), 3.0);
  EXPECT_NEAR(InterpolatedGain(periods, gains, 0.5), 2.5, 1e-12);  // 2 s
  // Half way through the taper beyond each end, half the edge's excess.
  const double half = std::sqrt(kTaperFactor);
  EXPECT_NEAR(InterpolatedGain(periods, gains, half), 1.5, 1e-12);
  EXPECT_NEAR(InterpolatedGain(periods, gains, 1.0 / (4.0 * half)), 2.0, 1e-12);
  // Beyond the taper the amplitudes are left as they are.
  EXPECT_EQ(InterpolatedGain(periods, gains, 1.0 / 6.1), 1.0);
  EXPECT_EQ(InterpolatedGain(periods, gains, 1.6), 1.0);
  EXPECT_EQ(InterpolatedGain(periods, gains, 0.0), 1.0);
}

TEST(SpectralMatchTest, FitFiguresAndCriteria) {
  const std::vector<double> periods = {1.0, 2.0, 3.0, 4.0};
  const std::vector<double> target = {10.0, 10.0, 10.0, 10.0};
  const std::vector<double> achieved = {8.0, 10.0, 12.0, 10.0};
  const FitFigures f = MeasureFit(periods, target, achieved);
  EXPECT_DOUBLE_EQ(f.min_ratio, 0.8);
  EXPECT_DOUBLE_EQ(f.max_ratio, 1.2);
  EXPECT_DOUBLE_EQ(f.mean_ratio, 1.0);
  EXPECT_NEAR(f.cv, std::sqrt(0.08 / 4.0), 1e-15);
  EXPECT_NEAR(f.si_ratio, (9.0 + 11.0 + 11.0) / 30.0, 1e-15);
  const std::vector<std::string> failed = FailedCriteria(f, MatchCriteria{});
  ASSERT_EQ(failed.size(), 2U);
  EXPECT_EQ(failed[0], "min ratio 0.8000 < 0.8500");
  EXPECT_EQ(failed[1], "CV 0.1414 > 0.0500");
}

TEST(SpectralMatchTest, PhaseKeptIsOneForScaledCopiesAndMinusOneForNegated) {
  const std::vector<double> a = NoiseRecord(1000, 3);
  std::vector<double> scaled = a;
  std::vector<double> negated = a;
  for (double& v : scaled) v *= 3.0;
  for (double& v : negated) v = -v;
  EXPECT_NEAR(PhaseKept(scaled, a, kDt, 0.1, 10.0), 1.0, 1e-12);
  EXPECT_NEAR(PhaseKept(negated, a, kDt, 0.1, 10.0), -1.0, 1e-12);
}

TEST(SpectralMatchTest, RequestsThatCannotBeMatchedAreNamed) {
  const std::vector<double> phase = NoiseRecord(100, 1);
  struct Case {
    const char* what;
    void (*spoil)(std::vector<double>&, MatchTarget&, MatchOptions&);
    const char* error;
  };
  const Case cases[] = {
      {"empty", [](auto& p, auto&, auto&) { p.clear(); },
       "the phase record has no samples"},
      {"nan", [](auto& p, auto&, auto&) { p[5] = std::nan(""); },
       "the phase record has a value not finite"},
      {"order", [](auto&, auto& t, auto&) { t.periods[3] = t.periods[2]; },
       "the target periods do not increase"},
      {"value", [](auto&, auto& t, auto&) { t.values[0] = 0.0; },
       "a target value is not a finite number > 0"},
      {"long period", [](auto&, auto& t, auto&) { t.periods.back() = 1e6; },
       "the longest target period is too long for the time step (the "
       "padded record would pass 2^22 samples)"},
      {"short", [](auto&, auto&, auto& o) { o.length = 50; },
       "the length asked for is shorter than the phase record"},
  };
  for (const Case& c : cases) {
    std::vector<double> p = phase;
    MatchTarget t = SmoothTarget(SpectrumKind::kPsv);
    MatchOptions o;
    c.spoil(p, t, o);
    EXPECT_EQ(MatchRequestError(p, kDt, t, o), c.error) << c.what;
    EXPECT_THROW(MatchGround(p, kDt, t, o), std::invalid_argument) << c.what;
  }
}

}  // namespace
}  // namespace lpgm
