#include "prepare/units.h"

#include <gtest/gtest.h>

#include <vector>

#include "prepare/baseline.h"

namespace lpgm::prepare {
namespace {

TEST(UnitsTest, FactorsToCentimetresPerSecondSquared) {
  EXPECT_EQ(FactorToCentimetres(*ParseUnits("g")), 980.665);
  EXPECT_EQ(FactorToCentimetres(*ParseUnits("m/s2")), 100.0);
  EXPECT_EQ(FactorToCentimetres(*ParseUnits("cm/s2")), 1.0);
  EXPECT_EQ(FactorToCentimetres(*ParseUnits("gal")), 1.0);
  for (const char* name : {"g", "m/s2", "cm/s2", "gal"})
    EXPECT_EQ(UnitsName(*ParseUnits(name)), name);
  // As PEER and NIED write them: case does not matter.
  EXPECT_EQ(ParseUnits("G"), Units::kG);
  EXPECT_EQ(ParseUnits("GAL"), Units::kGal);
  EXPECT_EQ(ParseUnits("CM/S2"), Units::kCentimetresPerSecond2);
  EXPECT_FALSE(ParseUnits("cm/s/s"));
  EXPECT_FALSE(ParseUnits(""));
}

TEST(BaselineTest, MeanAndLineAreRemoved) {
  std::vector<double> x = {1, 2, 3, 6};
  RemoveBaseline(x, Baseline::kMean);
  EXPECT_EQ(x, (std::vector<double>{-2, -1, 0, 3}));
  // A line plus a zero-mean wiggle orthogonal to it leaves the wiggle.
  std::vector<double> y = {10 + 1, 12 - 1, 14 - 1, 16 + 1};
  RemoveBaseline(y, Baseline::kLinear);
  std::vector<double> wiggle = {1, -1, -1, 1};
  for (std::size_t j = 0; j < y.size(); ++j)
    EXPECT_NEAR(y[j], wiggle[j], 1e-12);
  std::vector<double> one = {5};
  RemoveBaseline(one, Baseline::kLinear);
  EXPECT_EQ(one, std::vector<double>{0});
  std::vector<double> kept = {1, 2};
  RemoveBaseline(kept, Baseline::kNone);
  EXPECT_EQ(kept, (std::vector<double>{1, 2}));
  std::vector<double> empty;
  RemoveBaseline(empty, Baseline::kLinear);
  EXPECT_TRUE(empty.empty());
  EXPECT_FALSE(ParseBaseline("quadratic"));
}

}  // namespace
}  // namespace lpgm::prepare
