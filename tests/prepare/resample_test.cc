#include "prepare/resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "prepare/filter_response.h"
#include "prepare/fir_design.h"

namespace lpgm::prepare {
namespace {

using testing::Sine;

TEST(RatioOfStepsTest, FindsSmallWholeRatios) {
  auto expect = [](double dt, int up, int down) {
    std::optional<Ratio> r = RatioOfSteps(dt, 0.02);
    ASSERT_TRUE(r) << dt;
    EXPECT_EQ(r->up, up) << dt;
    EXPECT_EQ(r->down, down) << dt;
  };
  expect(0.02, 1, 1);
  expect(0.01, 1, 2);
  expect(0.005, 1, 4);
  expect(0.004, 1, 5);
  expect(0.0125, 5, 8);
  expect(0.025, 5, 4);
  expect(1.0 / 100.0, 1, 2);  // K-NET's 100Hz
  expect(1.0 / 128.0, 25, 64);
}

TEST(RatioOfStepsTest, RefusesStepsWithNoSmallRatio) {
  EXPECT_FALSE(RatioOfSteps(1e-6, 0.02));
  EXPECT_FALSE(RatioOfSteps(0.0200001234567, 0.02));
  EXPECT_FALSE(RatioOfSteps(100.0, 0.02));
}

// The record converted as lpgm-prepare converts it from step dt.
std::vector<double> ToCaseStep(const std::vector<double>& x, double dt) {
  Ratio ratio = *RatioOfSteps(dt, 0.02);
  AntiAliasFilter filter = DesignAntiAlias(1.0 / dt, ratio.up);
  return UpFilterDown(x, filter.taps, ratio);
}

// Largest |y| away from the first and last 2 s, where the record's start
// and end from rest shape the output.
double InnerPeak(const std::vector<double>& y) {
  double peak = 0.0;
  for (std::size_t k = 100; k + 100 < y.size(); ++k)
    peak = std::max(peak, std::fabs(y[k]));
  return peak;
}

TEST(ResampleTest, LengthIsCeilingOfTheNewRate) {
  EXPECT_EQ(ToCaseStep(std::vector<double>(9625, 1.0), 0.005).size(), 2407u);
  EXPECT_EQ(ToCaseStep(std::vector<double>(37500, 1.0), 0.004).size(), 7500u);
  EXPECT_EQ(ToCaseStep(std::vector<double>(801, 1.0), 0.0125).size(), 501u);
  EXPECT_EQ(ToCaseStep(std::vector<double>(400, 1.0), 0.025).size(), 500u);
}

// A sine in the pass band keeps its amplitude and phase: the output equals
// the same sine sampled at 0.02 s, to 0.1 % of the amplitude.
TEST(ResampleTest, PassBandSineComesThroughUnchanged) {
  for (double dt : {0.01, 0.005, 0.004, 0.0125}) {
    for (double f : {0.3, 5.0, 19.0, 20.0}) {
      std::vector<double> y = ToCaseStep(Sine(30000, f, dt, 100.0, 0.3), dt);
      std::vector<double> expected = Sine(y.size(), f, 0.02, 100.0, 0.3);
      double worst = 0.0;
      for (std::size_t k = 100; k + 100 < y.size(); ++k)
        worst = std::max(worst, std::fabs(y[k] - expected[k]));
      EXPECT_LE(worst, 0.1) << dt << " s, " << f << " Hz";
    }
  }
}

TEST(ResampleTest, StopBandSineIsEightyDbDown) {
  for (double dt : {0.01, 0.005, 0.004, 0.0125}) {
    for (double f : {25.0, 26.0, 30.0, 0.45 / dt}) {
      std::vector<double> y = ToCaseStep(Sine(30000, f, dt, 1000.0), dt);
      EXPECT_LE(InnerPeak(y), 0.1) << dt << " s, " << f << " Hz";
    }
  }
}

TEST(ResampleTest, UpSamplingKeepsTheRecordsBand) {
  std::vector<double> y = ToCaseStep(Sine(4000, 10.0, 0.025, 1.0), 0.025);
  std::vector<double> expected = Sine(y.size(), 10.0, 0.02, 1.0);
  for (std::size_t k = 100; k + 100 < y.size(); ++k)
    ASSERT_NEAR(y[k], expected[k], 1e-3) << k;
}

// Linear phase, centred: a smooth pulse keeps its peak at the same time.
TEST(ResampleTest, PulsePeakDoesNotMove) {
  for (double dt : {0.01, 0.005, 0.004, 0.0125, 0.025}) {
    const double centre = 7.0;  // s, a multiple of 0.02 s and of dt
    std::vector<double> x(static_cast<std::size_t>(std::lround(14.0 / dt)));
    for (std::size_t j = 0; j < x.size(); ++j) {
      double t = static_cast<double>(j) * dt - centre;
      x[j] = std::exp(-t * t / (2.0 * 0.1 * 0.1));
    }
    std::vector<double> y = ToCaseStep(x, dt);
    auto peak = std::max_element(y.begin(), y.end()) - y.begin();
    EXPECT_EQ(peak, 350) << dt;
    EXPECT_NEAR(y[349], y[351], 1e-9) << dt;  // symmetric about it
  }
}

TEST(ResampleTest, DecimationKeepsTheFirstSampleTime) {
  // With a single tap of 1 the filter is the identity: every k-th sample.
  std::vector<double> x = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  std::vector<double> identity = {1.0};
  EXPECT_EQ(UpFilterDown(x, identity, Ratio{1, 4}),
            (std::vector<double>{1, 5, 9}));
  // Up by 2 with a 3-tap interpolator: zeros between, halves around them.
  std::vector<double> interpolate = {0.5, 1.0, 0.5};
  EXPECT_EQ(UpFilterDown(std::vector<double>{2, 4}, interpolate, Ratio{2, 1}),
            (std::vector<double>{2, 3, 4, 2}));
}

}  // namespace
}  // namespace lpgm::prepare
