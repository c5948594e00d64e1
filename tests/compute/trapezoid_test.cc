#include "compute/trapezoid.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "compute/velocity.h"
#include "run/run_state.h"

namespace lpgm {
namespace {

TEST(TrapezoidTest, SmallRecordsFromRest) {
  EXPECT_EQ(IntegrateFromRest({}, 0.02).peak, 0.0);
  EXPECT_EQ(IntegrateFromRest({}, 0.02).last, 0.0);
  std::vector<double> one = {100.0};
  EXPECT_EQ(IntegrateFromRest(one, 0.02).peak, 1.0);
  std::vector<double> swing = {100.0, 0.0, -700.0};  // v: 1, 2, -5
  VelocityPeak v = IntegrateFromRest(swing, 0.02);
  EXPECT_EQ(v.peak, 5.0);
  EXPECT_EQ(v.last, -5.0);
  std::vector<double> nan = {100.0, std::numeric_limits<double>::quiet_NaN()};
  EXPECT_EQ(IntegrateFromRest(nan, 0.02).peak, 1.0);
}

// The same peak, bit for bit, as the velocity waveforms of a run.
TEST(TrapezoidTest, PeakIsVmaxOfARun) {
  auto state = std::make_unique<RunState>();
  InitializeRunState(*state);
  std::mt19937_64 random(12);
  std::normal_distribution<double> noise(3.0, 150.0);
  std::vector<double> acc(20000);
  for (double& a : acc) a = noise(random);
  state->NCASE = 1;
  state->NPTS(1) = static_cast<int>(acc.size());
  for (std::size_t j = 0; j < acc.size(); ++j)
    state->ACC(1, static_cast<int>(j + 1)) = acc[j];
  ComputeVelocities(*state);
  VelocityPeak v = IntegrateFromRest(acc, state->DT);
  EXPECT_EQ(v.peak, state->VMAX(1));
  EXPECT_EQ(v.last, state->VEL(1, static_cast<int>(acc.size())));
  EXPECT_EQ(state->DT, 0.02);
}

}  // namespace
}  // namespace lpgm
