// The comparison of the cases' spectra: ratios to the target, the median
// spectrum as the yardstick of levels, and where the chart puts its labels.
#include "check/spectrum_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "check/spectrum_charts.h"

namespace lpgm::check {
namespace {

TEST(SpectrumFit, RatioToTargetSkipsWhatCannotBeDivided) {
  const std::vector<double> period = {0.1, 0.2, 0.5, 1, 2, 5};
  const std::vector<double> spectrum = {1, 8, std::nan(""), 3, 4, 10};
  const std::vector<double> target = {2, 4, 2, 0, 8, 10};
  const std::optional<SpectrumRatio> r =
      RatioToTarget(period, spectrum, target);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->points, 4);  // the NaN and the zero target left out
  EXPECT_EQ(r->min, 0.5);
  EXPECT_EQ(r->min_period, 0.1);  // the first of equal minima
  EXPECT_EQ(r->max, 2.0);
  EXPECT_EQ(r->max_period, 0.2);
  EXPECT_DOUBLE_EQ(r->mean, (0.5 + 2 + 0.5 + 1) / 4);
  EXPECT_FALSE(RatioToTarget(period, spectrum, std::vector<double>(6, 0)));
  EXPECT_FALSE(RatioToTarget({}, {}, {}));
}

TEST(SpectrumFit, LogSpectrumOnlyOfWholePositiveSpectra) {
  EXPECT_TRUE(LogSpectrum(std::vector<double>{1, 10, 100}));
  EXPECT_EQ((*LogSpectrum(std::vector<double>{1, 10, 100}))[2], 2.0);
  for (const std::vector<double>& bad : {std::vector<double>{},
                                         {1, 0, 2},
                                         {1, -1},
                                         {1, INFINITY},
                                         {std::nan("")}})
    EXPECT_FALSE(LogSpectrum(bad)) << bad.size();
}

TEST(SpectrumFit, MedianLogSpectrumPeriodByPeriod) {
  const std::vector<std::vector<double>> odd = {{0, 5}, {2, 1}, {1, 3}};
  EXPECT_EQ(MedianLogSpectrum(odd), (std::vector<double>{1, 3}));
  const std::vector<std::vector<double>> even = {
      {0, 4}, {2, 0}, {1, 1}, {3, 2}};
  EXPECT_EQ(MedianLogSpectrum(even), (std::vector<double>{1.5, 1.5}));
}

CaseSummary CaseAt(double level, int n = 4) {
  CaseSummary c;
  c.spectrum.assign(static_cast<std::size_t>(n), level);
  return c;
}

TEST(SpectrumFit, OneWrongCaseDoesNotMoveTheOthersYardstick) {
  CheckResult r;
  r.target.assign(4, 100.0);
  for (double level : {20.0, 40.0, 0.4, 80.0, 30.0})
    r.cases.push_back(CaseAt(level));
  CompareLevels(r);
  EXPECT_FALSE(r.levels_against_target);
  // The median of all five, the wrong one included, is 30.
  EXPECT_NEAR(*r.cases[0].level_ratio, 20.0 / 30, 1e-12);
  EXPECT_NEAR(*r.cases[2].level_ratio, 0.4 / 30, 1e-12);
  EXPECT_NEAR(*r.set_level_ratio, 0.3, 1e-12);
}

TEST(SpectrumFit, FewerThanThreeWholeSpectraAgainstTheTarget) {
  CheckResult r;
  r.target.assign(4, 100.0);
  r.cases.push_back(CaseAt(50));
  r.cases.push_back(CaseAt(0));  // no whole spectrum: no level
  r.cases.push_back(CaseSummary());
  CompareLevels(r);
  EXPECT_TRUE(r.levels_against_target);
  EXPECT_NEAR(*r.cases[0].level_ratio, 0.5, 1e-12);
  EXPECT_FALSE(r.cases[1].level_ratio);
  EXPECT_FALSE(r.set_level_ratio);
  r.target.clear();  // and without a target, nothing to compare with
  r.cases[0].level_ratio.reset();
  CompareLevels(r);
  EXPECT_FALSE(r.cases[0].level_ratio);
}

TEST(SpreadLabels, ApartInsideTheRangeAndInOrder) {
  struct Case {
    std::vector<double> wanted;
    std::vector<double> at;
  };
  const Case cases[] = {
      {{}, {}},
      {{50}, {50}},
      {{10, 40, 90}, {10, 40, 90}},   // far enough apart already
      {{50, 52, 54}, {50, 60, 70}},   // pushed down
      {{95, 98, 99}, {80, 90, 100}},  // pushed back up from the end
      {{-20, 0, 200}, {0, 10, 100}},  // clamped into the range
      {{0, 0, 0, 0, 0, 0}, {0, 10, 20, 30, 40, 50}},  // spread from the top
  };
  for (const Case& c : cases)
    EXPECT_EQ(SpreadLabels(c.wanted, 10, 0, 100), c.at) << c.wanted.size();
  // 21 labels in a range for 11: squeezed evenly over it.
  const std::vector<double> at =
      SpreadLabels(std::vector<double>(21, 50), 10, 0, 100);
  for (std::size_t i = 0; i < at.size(); ++i)
    EXPECT_NEAR(at[i], 5.0 * static_cast<double>(i), 1e-9);
}

}  // namespace
}  // namespace lpgm::check
