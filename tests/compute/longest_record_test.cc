#include "compute/longest_record.h"

#include <gtest/gtest.h>

#include <memory>

namespace lpgm {
namespace {

TEST(LongestRecordTest, LargestCountOfTheCasesInUseAndNeverBelowZero) {
  auto state = std::make_unique<RunState>();
  state->NCASE = 3;
  state->NPTS(1) = 7;
  state->NPTS(2) = 12;
  state->NPTS(3) = -4;
  state->NPTS(4) = 500;  // beyond NCASE: not a case of this run
  state->NPMAX = 99;
  ComputeLongestRecord(*state);
  EXPECT_EQ(state->NPMAX, 12);

  for (int i = 1; i <= 3; ++i) state->NPTS(i) = -1;
  EXPECT_EQ(LongestRecord(*state), 0);
  state->NCASE = 0;
  EXPECT_EQ(LongestRecord(*state), 0);
}

}  // namespace
}  // namespace lpgm
