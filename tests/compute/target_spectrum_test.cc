#include "compute/target_spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

#include "state/run_state.h"

namespace lpgm {
namespace {

class TargetSpectrumTest : public ::testing::Test {
 protected:
  TargetSpectrumTest() : state_(std::make_unique<RunState>()) {
    InitializeRunState(*state_);
  }
  std::unique_ptr<RunState> state_;
};

TEST_F(TargetSpectrumTest, TwoFaultsOfThreeAndFourGiveFiveOverOnePointOne) {
  state_->NFAULT = 2;
  for (int j = 1; j <= 55; ++j) {
    state_->SVF(1, j) = 3.0;
    state_->SVF(2, j) = 4.0;
  }
  ComputeTargetSpectrum(*state_);
  for (int j = 1; j <= 55; ++j) {
    EXPECT_EQ(state_->SVTGT(j), 5.0 / 1.1) << j;
    EXPECT_EQ(state_->SVTGT(j), 4.545454545454545) << j;
  }
}

TEST_F(TargetSpectrumTest, OneFaultGivesItsMagnitudeOverOnePointOne) {
  state_->NFAULT = 1;
  state_->SVF(1, 1) = 12.5;
  state_->SVF(1, 2) = -12.5;
  state_->SVF(1, 3) = 0.0;
  state_->SVF(1, 55) = 1e-300;
  ComputeTargetSpectrum(*state_);
  EXPECT_EQ(state_->SVTGT(1), 12.5 / 1.1);
  EXPECT_EQ(state_->SVTGT(2), 12.5 / 1.1);
  EXPECT_EQ(state_->SVTGT(3), 0.0);
  EXPECT_FALSE(std::signbit(state_->SVTGT(3)));
  // The square underflows to zero.
  EXPECT_EQ(state_->SVTGT(55), 0.0);
}

TEST_F(TargetSpectrumTest, OnlyFaultsUpToNFAULTAndPointsUpToNPEREnter) {
  state_->NFAULT = 2;
  for (int j = 1; j <= kPeriodPoints; ++j) {
    state_->SVF(1, j) = 6.0;
    state_->SVF(2, j) = 8.0;
    for (int i = 3; i <= kFaultSlots; ++i) state_->SVF(i, j) = 1e6;
  }
  state_->SVTGT(56) = -1.0;
  state_->SVTGT(100) = -1.0;
  ComputeTargetSpectrum(*state_);
  for (int j = 1; j <= 55; ++j) EXPECT_EQ(state_->SVTGT(j), 10.0 / 1.1) << j;
  EXPECT_EQ(state_->SVTGT(56), -1.0);
  EXPECT_EQ(state_->SVTGT(100), -1.0);
}

TEST_F(TargetSpectrumTest, OverflowGivesInfinityWithoutStopping) {
  state_->NFAULT = 2;
  state_->SVF(1, 1) = 1e200;
  state_->SVF(1, 2) = -1e200;
  state_->SVF(2, 3) = std::numeric_limits<double>::infinity();
  state_->SVF(2, 4) = 1e154;
  ComputeTargetSpectrum(*state_);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(state_->SVTGT(1), inf);
  EXPECT_EQ(state_->SVTGT(2), inf);
  EXPECT_EQ(state_->SVTGT(3), inf);
  EXPECT_EQ(state_->SVTGT(4), 1e154 / 1.1);
  EXPECT_EQ(state_->SVTGT(5), 0.0);
}

TEST_F(TargetSpectrumTest, MatchesTheWrittenOrderBitForBitOnRandomSpectra) {
  std::mt19937_64 random(7);
  SCOPED_TRACE("seed 7");
  std::uniform_real_distribution<double> digits(-1.0, 1.0);
  std::uniform_real_distribution<double> scale(-6.0, 6.0);
  std::uniform_int_distribution<int> faults(1, kMaxFaults);
  int differs_reversed = 0;
  int differs_reciprocal = 0;
  for (int trial = 0; trial < 200; ++trial) {
    state_->NFAULT = faults(random);
    for (int j = 1; j <= 55; ++j)
      for (int i = 1; i <= kFaultSlots; ++i)
        state_->SVF(i, j) = digits(random) * std::pow(10.0, scale(random));
    ComputeTargetSpectrum(*state_);
    for (int j = 1; j <= 55; ++j) {
      double sv[kFaultSlots];
      for (int i = 1; i <= kFaultSlots; ++i) sv[i - 1] = state_->SVF(i, j);
      // The sum in ascending fault order, each square added to the running
      // sum, then the root, then a true division by 1.1.
      double sum = 0.0;
      for (int i = 1; i <= state_->NFAULT; ++i)
        sum = sv[i - 1] * sv[i - 1] + sum;
      const double root = std::sqrt(sum);
      const double expected = root / 1.1;
      ASSERT_EQ(state_->SVTGT(j), expected) << "trial " << trial << " j " << j;
      // The data must be able to tell the order and the division apart.
      double reversed = 0.0;
      for (int i = state_->NFAULT; i >= 1; --i)
        reversed = sv[i - 1] * sv[i - 1] + reversed;
      if (std::sqrt(reversed) / 1.1 != expected) ++differs_reversed;
      if (root * (1.0 / 1.1) != expected) ++differs_reciprocal;
    }
  }
  EXPECT_GT(differs_reversed, 0);
  EXPECT_GT(differs_reciprocal, 0);
}

}  // namespace
}  // namespace lpgm
