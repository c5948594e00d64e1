#include "compute/velocity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "state/run_state.h"

namespace lpgm {
namespace {

class VelocityTest : public ::testing::Test {
 protected:
  VelocityTest() : state_(std::make_unique<RunState>()) {
    InitializeRunState(*state_);
  }
  // Case i holds `samples`; NCASE becomes at least i.
  void SetCase(int i, const std::vector<double>& samples) {
    state_->NPTS(i) = static_cast<int>(samples.size());
    for (std::size_t j = 0; j < samples.size(); ++j)
      state_->ACC(i, static_cast<int>(j) + 1) = samples[j];
    if (state_->NCASE < i) state_->NCASE = i;
  }
  std::vector<double> Velocities(int i, int n) {
    std::vector<double> v;
    for (int j = 1; j <= n; ++j) v.push_back(state_->VEL(i, j));
    return v;
  }
  std::unique_ptr<RunState> state_;
};

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST_F(VelocityTest, SingleSampleIsHalfAStepOfIt) {
  SetCase(1, {100.0});
  ComputeVelocities(*state_);
  EXPECT_EQ(state_->VEL(1, 1), 1.0);
  EXPECT_EQ(state_->VMAX(1), 1.0);
  EXPECT_EQ(state_->VEL(1, 2), 0.0);
}

// Case by case, in any order, touches only that case: the same table and
// peaks as all cases at once.
TEST_F(VelocityTest, OneCaseAtATimeInAnyOrderGivesTheSameTable) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-500.0, 500.0);
  for (int i = 1; i <= 5; ++i) {
    std::vector<double> samples(static_cast<std::size_t>(i * 37 - 30));
    for (double& x : samples) x = value(random);
    SetCase(i, samples);
  }
  SetCase(6, {});
  auto other = std::make_unique<RunState>(*state_);
  ComputeVelocities(*state_);
  for (int i : {4, 1, 6, 3, 5, 2}) ComputeVelocity(*other, i);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(other->VMAX(i), state_->VMAX(i)) << i;
    EXPECT_EQ(Velocities(i, 200), [&] {
      std::vector<double> v;
      for (int j = 1; j <= 200; ++j) v.push_back(other->VEL(i, j));
      return v;
    }()) << i;
  }
}

TEST_F(VelocityTest, TrapezoidsFromRest) {
  SetCase(1, {100.0, 0.0, 0.0, 0.0});
  ComputeVelocities(*state_);
  EXPECT_EQ(Velocities(1, 4), (std::vector<double>{1.0, 2.0, 2.0, 2.0}));
  EXPECT_EQ(state_->VMAX(1), 2.0);
}

TEST_F(VelocityTest, ConstantAccelerationGrowsByOddMultiples) {
  for (double a : {100.0, -3.7, 981.0, 0.123456789}) {
    SCOPED_TRACE(a);
    const int n = 500;
    SetCase(1, std::vector<double>(n, a));
    ComputeVelocities(*state_);
    // The recurrence in its written order, and the closed form it
    // approximates.
    const double h = 0.02 * 0.5;
    double v = h * a;
    double peak = std::fabs(v);
    EXPECT_EQ(state_->VEL(1, 1), v);
    for (int j = 2; j <= n; ++j) {
      v = (a + a) * h + v;
      ASSERT_EQ(state_->VEL(1, j), v) << j;
      EXPECT_NEAR(state_->VEL(1, j), 0.01 * a * (2 * j - 1),
                  1e-12 * std::fabs(a) * n * n);
      peak = std::fabs(v);
    }
    EXPECT_EQ(state_->VMAX(1), peak);
  }
  SetCase(1, std::vector<double>(5, 100.0));
  ComputeVelocities(*state_);
  EXPECT_EQ(Velocities(1, 5), (std::vector<double>{1, 3, 5, 7, 9}));
  EXPECT_EQ(state_->VMAX(1), 0.01 * 100.0 * (2 * 5 - 1));
}

TEST_F(VelocityTest, PeakIsOfTheAbsoluteValue) {
  // Velocities -5, 3, 3.
  SetCase(1, {-500.0, 1300.0, -1300.0});
  ComputeVelocities(*state_);
  EXPECT_EQ(Velocities(1, 3), (std::vector<double>{-5.0, 3.0, 3.0}));
  EXPECT_EQ(state_->VMAX(1), 5.0);
}

TEST_F(VelocityTest, EmptyRecordsHaveNoVelocitiesAndPeakZero) {
  SetCase(1, {});
  SetCase(2, {50.0, 50.0});
  state_->NPTS(2) = -3;
  SetCase(3, std::vector<double>(10, 0.0));
  for (int i = 1; i <= 3; ++i) state_->VMAX(i) = 99.0;
  ComputeVelocities(*state_);
  EXPECT_EQ(state_->VMAX(1), 0.0);
  EXPECT_EQ(state_->VMAX(2), 0.0);
  EXPECT_EQ(state_->VEL(2, 1), 0.0);
  EXPECT_EQ(state_->VMAX(3), 0.0);
  EXPECT_EQ(Velocities(3, 10), std::vector<double>(10, 0.0));
}

TEST_F(VelocityTest, NotANumberNeverReachesThePeak) {
  SetCase(1, {100.0, kNaN, 100.0, 100.0});
  SetCase(2, {kNaN, 1.0});
  SetCase(3, {kInf, 0.0});
  SetCase(4, {-kInf, kInf, 1.0});
  ComputeVelocities(*state_);
  EXPECT_EQ(state_->VEL(1, 1), 1.0);
  EXPECT_TRUE(std::isnan(state_->VEL(1, 2)));
  EXPECT_TRUE(std::isnan(state_->VEL(1, 4)));
  EXPECT_EQ(state_->VMAX(1), 1.0);
  EXPECT_EQ(state_->VMAX(2), 0.0);
  EXPECT_EQ(state_->VEL(3, 2), kInf);
  EXPECT_EQ(state_->VMAX(3), kInf);
  EXPECT_EQ(state_->VEL(4, 1), -kInf);
  EXPECT_TRUE(std::isnan(state_->VEL(4, 2)));
  EXPECT_EQ(state_->VMAX(4), kInf);
}

TEST_F(VelocityTest, CasesAboveNCASEAreNotTouched) {
  SetCase(1, {1.0});
  state_->NPTS(2) = 3;
  state_->ACC(2, 1) = 100.0;
  state_->VMAX(2) = 7.0;
  ComputeVelocities(*state_);
  EXPECT_EQ(state_->VEL(2, 1), 0.0);
  EXPECT_EQ(state_->VMAX(2), 7.0);
}

TEST_F(VelocityTest, MatchesTheWrittenOrderBitForBitOnRandomRecords) {
  std::mt19937_64 random(11);
  SCOPED_TRACE("seed 11");
  std::normal_distribution<double> acceleration(0.0, 200.0);
  std::uniform_int_distribution<int> length(0, 3000);
  const int cases = kMaxCases;
  std::vector<std::vector<double>> records(cases);
  for (int i = 1; i <= cases; ++i) {
    records[static_cast<std::size_t>(i - 1)].resize(
        static_cast<std::size_t>(length(random)));
    for (double& a : records[static_cast<std::size_t>(i - 1)])
      a = acceleration(random);
    SetCase(i, records[static_cast<std::size_t>(i - 1)]);
  }
  SetCase(cases, std::vector<double>(kSampleCapacity, 1.0));
  records[cases - 1] = std::vector<double>(kSampleCapacity, 1.0);
  ComputeVelocities(*state_);
  for (int i = 1; i <= cases; ++i) {
    const std::vector<double>& acc = records[static_cast<std::size_t>(i - 1)];
    const double h = state_->DT * 0.5;
    double v = 0.0;
    double peak = 0.0;
    for (std::size_t j = 0; j < acc.size(); ++j) {
      v = j == 0 ? h * acc[0] : (acc[j] + acc[j - 1]) * h + v;
      if (std::fabs(v) >= peak) peak = std::fabs(v);
      ASSERT_EQ(state_->VEL(i, static_cast<int>(j) + 1), v)
          << "case " << i << " sample " << j + 1;
    }
    EXPECT_EQ(state_->VMAX(i), peak) << "case " << i;
    if (acc.size() < static_cast<std::size_t>(kSampleCapacity)) {
      EXPECT_EQ(state_->VEL(i, static_cast<int>(acc.size()) + 1), 0.0);
    }
  }
}

// The run's shortcut: the peaks alone while reading, then the accelerations
// turned into the velocities in place. Both give what ComputeVelocities
// gives, bit for bit, NaN, infinities and empty cases included.
TEST_F(VelocityTest, PeaksAloneAndVelocitiesInPlaceMatchTheTable) {
  std::mt19937_64 random(13);
  std::normal_distribution<double> acceleration(0.0, 200.0);
  std::vector<double> record(5000);
  for (double& a : record) a = acceleration(random);
  SetCase(1, record);
  record[1200] = kNaN;
  SetCase(2, record);
  SetCase(3, {});
  SetCase(4, {kInf, 1.0, -kInf});
  SetCase(5, {3.0, -3.0, 3.0, -3.0});  // equal peaks
  auto copy = std::make_unique<RunState>(*state_);
  ComputeVelocities(*copy);
  for (int i = 1; i <= state_->NCASE; ++i) {
    ComputePeakVelocity(*state_, i);
    EXPECT_EQ(std::signbit(state_->VMAX(i)), false) << "case " << i;
    EXPECT_EQ(state_->VMAX(i), copy->VMAX(i)) << "case " << i;
  }
  TurnAccelerationsIntoVelocities(*state_);
  for (int i = 1; i <= state_->NCASE; ++i) {
    for (int j = 1; j <= kSampleCapacity; ++j) {
      const double want = copy->VEL(i, j);
      const double got = state_->ACC(i, j);
      ASSERT_TRUE(got == want || (std::isnan(got) && std::isnan(want)))
          << "case " << i << " sample " << j;
    }
    EXPECT_EQ(state_->VEL(i, 1), 0.0) << "VEL is never touched";
  }
}

}  // namespace
}  // namespace lpgm
