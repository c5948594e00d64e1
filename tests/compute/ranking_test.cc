#include "compute/ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "state/run_state.h"

namespace lpgm {
namespace {

class RankingTest : public ::testing::Test {
 protected:
  RankingTest() : state_(std::make_unique<RunState>()) {
    InitializeRunState(*state_);
  }
  // Ranks cases with peaks `peaks`; returns their ranks.
  std::vector<int> Rank(const std::vector<double>& peaks) {
    for (int i = 1; i <= kCaseSlots; ++i) {
      state_->IRANK(i) = 0;
      state_->VMAX(i) = 0.0;
    }
    state_->IMED = 0;
    state_->NCASE = static_cast<int>(peaks.size());
    for (std::size_t i = 0; i < peaks.size(); ++i)
      state_->VMAX(static_cast<int>(i) + 1) = peaks[i];
    RankCases(*state_);
    std::vector<int> ranks;
    for (int i = 1; i <= state_->NCASE; ++i) ranks.push_back(state_->IRANK(i));
    return ranks;
  }
  std::unique_ptr<RunState> state_;
};

TEST_F(RankingTest, LargestPeakIsRankOneAndTheMiddleRankIsThePhaseCase) {
  EXPECT_EQ(Rank({4.0}), (std::vector<int>{1}));
  EXPECT_EQ(state_->IMED, 1);
  EXPECT_EQ(Rank({3.0, 5.0}), (std::vector<int>{2, 1}));
  EXPECT_EQ(state_->IMED, 2);
  EXPECT_EQ(Rank({10, 40, 20, 30}), (std::vector<int>{4, 1, 3, 2}));
  EXPECT_EQ(state_->IMED, 4);
}

TEST_F(RankingTest, EqualPeaksGetConsecutiveRanksInCaseOrder) {
  EXPECT_EQ(Rank({5.0, 7.0, 5.0}), (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(state_->IMED, 1);
  EXPECT_EQ(Rank({2.0, 9.0, 9.0, 2.0, 9.0}), (std::vector<int>{4, 1, 2, 5, 3}));
  EXPECT_EQ(state_->IMED, 5);
}

TEST_F(RankingTest, AllPeaksZeroFollowTheCaseNumbers) {
  for (int n = 1; n <= kMaxCases; ++n) {
    SCOPED_TRACE(n);
    std::vector<int> expected(static_cast<std::size_t>(n));
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(Rank(std::vector<double>(static_cast<std::size_t>(n), 0.0)),
              expected);
    EXPECT_EQ(state_->IMED, (n + 1) / 2);
  }
}

TEST_F(RankingTest, PeaksThatDifferInTheLastBitAreDifferent) {
  const double one = 1.0;
  const double above = std::nextafter(one, 2.0);
  const double below = std::nextafter(one, 0.0);
  EXPECT_EQ(Rank({one, above, below}), (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(state_->IMED, 1);
  const double tiny = std::numeric_limits<double>::denorm_min();
  EXPECT_EQ(Rank({0.0, tiny}), (std::vector<int>{2, 1}));
}

TEST_F(RankingTest, InfinitePeaksRankFirstAndEqualInfinitiesAreEqual) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Rank({inf, 5.0, inf, 1e308}), (std::vector<int>{1, 4, 2, 3}));
  EXPECT_EQ(state_->IMED, 3);
}

TEST_F(RankingTest, CasesAboveNCASEAreNotRanked) {
  state_->NCASE = 2;
  state_->VMAX(1) = 1.0;
  state_->VMAX(2) = 2.0;
  state_->VMAX(3) = 100.0;
  RankCases(*state_);
  EXPECT_EQ(state_->IRANK(1), 2);
  EXPECT_EQ(state_->IRANK(2), 1);
  EXPECT_EQ(state_->IRANK(3), 0);
  EXPECT_EQ(state_->IMED, 2);
}

// Against a stable sort by descending peak: ranks are a permutation, ties
// go to the lower case number first, and the phase case holds rank
// (NCASE + 1) / 2.
TEST_F(RankingTest, AgreesWithAStableSortOnRandomPeaks) {
  std::mt19937 random(3);
  SCOPED_TRACE("seed 3");
  std::uniform_int_distribution<int> count(1, kMaxCases);
  std::uniform_int_distribution<int> level(0, 6);  // few levels: many ties
  for (int trial = 0; trial < 2000; ++trial) {
    const int n = count(random);
    std::vector<double> peaks;
    for (int i = 0; i < n; ++i) peaks.push_back(level(random) * 0.5);
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return peaks[static_cast<std::size_t>(a)] >
             peaks[static_cast<std::size_t>(b)];
    });
    std::vector<int> expected(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r)
      expected[static_cast<std::size_t>(order[static_cast<std::size_t>(r)])] =
          r + 1;
    ASSERT_EQ(Rank(peaks), expected) << "trial " << trial;
    ASSERT_EQ(state_->IMED,
              order[static_cast<std::size_t>((n + 1) / 2 - 1)] + 1)
        << "trial " << trial;
  }
}

}  // namespace
}  // namespace lpgm
