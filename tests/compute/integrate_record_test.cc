#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "compute/velocity.h"
#include "state/run_state.h"

namespace lpgm {
namespace {

double Integrate(const std::vector<double>& acc, std::vector<double>* vel) {
  vel->assign(acc.size(), 0.0);
  return IntegrateRecord(acc, 0.02, *vel);
}

TEST(IntegrateRecordTest, SmallRecordsFromRest) {
  std::vector<double> vel;
  EXPECT_EQ(Integrate({}, &vel), 0.0);
  EXPECT_EQ(Integrate({100.0}, &vel), 1.0);
  EXPECT_EQ(Integrate({100.0, 0.0, -700.0}, &vel), 5.0);  // v: 1, 2, -5
  EXPECT_EQ(vel.back(), -5.0);
  EXPECT_EQ(Integrate({100.0, std::numeric_limits<double>::quiet_NaN()}, &vel),
            1.0);
}

TEST(IntegrateRecordTest, ShortVelocityColumnIsRefused) {
  std::vector<double> acc = {1.0, 2.0};
  std::vector<double> vel(1);
  EXPECT_THROW(IntegrateRecord(acc, 0.02, vel), std::out_of_range);
}

// A record integrated alone gives VMAX and VEL of a run, bit for bit.
TEST(IntegrateRecordTest, PeakIsVmaxOfARun) {
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
  std::vector<double> vel;
  EXPECT_EQ(Integrate(acc, &vel), state->VMAX(1));
  EXPECT_EQ(vel.back(), state->VEL(1, static_cast<int>(acc.size())));
}

}  // namespace
}  // namespace lpgm
