#include "check/chart_axis.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace lpgm::check {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Axis Linear(std::vector<double> values, bool zero = false, int ticks = 8) {
  const std::array<std::span<const double>, 1> series = {values};
  return MakeLinearAxis(series, "x", ticks, zero);
}

Axis Log(std::vector<double> values) {
  const std::array<std::span<const double>, 1> series = {values};
  return MakeLogAxis(series, "x");
}

std::vector<std::string> Labels(const Axis& axis) {
  std::vector<std::string> labels;
  for (const Tick& t : axis.ticks) {
    if (!t.label.empty()) labels.push_back(t.label);
  }
  return labels;
}

// Every axis, whatever its data, is finite and increasing with finite ticks
// inside it.
void ExpectSound(const Axis& axis) {
  ASSERT_TRUE(std::isfinite(axis.lo) && std::isfinite(axis.hi));
  EXPECT_LT(axis.lo, axis.hi);
  if (axis.scale == Scale::kLog) {
    EXPECT_GT(axis.lo, 0);
  }
  EXPECT_FALSE(axis.ticks.empty());
  for (const Tick& t : axis.ticks) {
    EXPECT_TRUE(std::isfinite(t.value));
    const double f = axis.Fraction(t.value);
    EXPECT_TRUE(f >= -1e-9 && f <= 1 + 1e-9) << t.value;
  }
}

TEST(ChartAxis, NiceStepsAreOneTwoOrFiveTimesAPowerOfTen) {
  EXPECT_DOUBLE_EQ(NiceStep(0.7), 1);
  EXPECT_DOUBLE_EQ(NiceStep(1), 1);
  EXPECT_DOUBLE_EQ(NiceStep(1.01), 2);
  EXPECT_DOUBLE_EQ(NiceStep(0.2), 0.2);
  EXPECT_DOUBLE_EQ(NiceStep(3), 5);
  EXPECT_DOUBLE_EQ(NiceStep(23), 50);
  EXPECT_DOUBLE_EQ(NiceStep(0.0031), 0.005);
  EXPECT_DOUBLE_EQ(NiceStep(7e5), 1e6);
  EXPECT_DOUBLE_EQ(NiceStep(0), 1);
  EXPECT_DOUBLE_EQ(NiceStep(-3), 1);
  EXPECT_DOUBLE_EQ(NiceStep(kNaN), 1);
}

TEST(ChartAxis, LinearAxisWidensToRoundTicksAroundTheData) {
  const Axis a = Linear({3.2, 139.69, 25.9});
  EXPECT_EQ(a.lo, 0);
  EXPECT_EQ(a.hi, 140);
  EXPECT_EQ(Labels(a), (std::vector<std::string>{"0", "20", "40", "60", "80",
                                                 "100", "120", "140"}));
  const Axis b = Linear({-0.37, 0.12});
  EXPECT_EQ(Labels(b), (std::vector<std::string>{"-0.4", "-0.3", "-0.2", "-0.1",
                                                 "0", "0.1", "0.2"}));
  // Fewer ticks allowed: the next larger step.
  EXPECT_EQ(Labels(Linear({3.2, 139.69}, false, 7)),
            (std::vector<std::string>{"0", "50", "100", "150"}));
  ExpectSound(a);
  ExpectSound(b);
}

TEST(ChartAxis, LinearAxisIncludesZeroWhenAsked) {
  const Axis a = Linear({50, 60}, true);
  EXPECT_EQ(a.lo, 0);
  EXPECT_GE(a.hi, 60);
}

TEST(ChartAxis, DegenerateDataStillGivesASoundAxis) {
  ExpectSound(Linear({}));
  ExpectSound(Linear({kNaN, kInf, -kInf}));
  const Axis constant = Linear({5, 5, 5});
  ExpectSound(constant);
  EXPECT_LT(constant.lo, 5);
  EXPECT_GT(constant.hi, 5);
  ExpectSound(Linear({0, 0}));
  ExpectSound(Linear({-1.7e308, 1.7e308}));
  ExpectSound(Linear({1e-300, 2e-300}));
  const std::vector<double> huge = {1.7e308, -1e308};
  const std::array<std::span<const double>, 1> s = {huge};
  ExpectSound(MakeSymmetricAxis(s, "v"));
}

TEST(ChartAxis, SymmetricAxisCoversTheLargestMagnitude) {
  const std::vector<double> v = {-139.7, 80, 12};
  const std::array<std::span<const double>, 1> s = {v};
  // Ticks on whole steps of 100, the range to the next half step.
  const Axis a = MakeSymmetricAxis(s, "v", 5);
  EXPECT_EQ(a.lo, -150);
  EXPECT_EQ(a.hi, 150);
  EXPECT_EQ(Labels(a), (std::vector<std::string>{"-100", "0", "100"}));
  ExpectSound(a);
  const std::vector<double> small = {0.004};
  const std::array<std::span<const double>, 1> t = {small};
  EXPECT_EQ(
      Labels(MakeSymmetricAxis(t, "v", 5)),
      (std::vector<std::string>{"-0.004", "-0.002", "0", "0.002", "0.004"}));
}

TEST(ChartAxis, LogAxisSpansWholeDecadesWithLabelledDecades) {
  const Axis a = Log({0.1, 0.1089, 9.95});
  EXPECT_DOUBLE_EQ(a.lo, 0.1);
  EXPECT_DOUBLE_EQ(a.hi, 10);
  // Two decades: labels at 1, 2 and 5 of each.
  EXPECT_EQ(Labels(a), (std::vector<std::string>{"0.1", "0.2", "0.5", "1", "2",
                                                 "5", "10"}));
  const Axis b = Log({0.5, 3000});
  EXPECT_EQ(Labels(b), (std::vector<std::string>{"0.1", "1", "10", "100",
                                                 "1000", "10000"}));
  ExpectSound(a);
  ExpectSound(b);
}

TEST(ChartAxis, LogAxisIgnoresValuesItCannotShow) {
  const Axis a = Log({0, -5, kNaN, kInf, 20, 30});
  EXPECT_DOUBLE_EQ(a.lo, 10);
  EXPECT_DOUBLE_EQ(a.hi, 100);
  EXPECT_TRUE(std::isnan(a.Fraction(0)));
  EXPECT_TRUE(std::isnan(a.Fraction(-1)));
  ExpectSound(Log({0, -1}));
  ExpectSound(Log({7, 7}));
  ExpectSound(Log({4.9e-324, 1.7e308}));
  EXPECT_LE(Labels(Log({4.9e-324, 1.7e308})).size(), 10u);
}

TEST(ChartAxis, TickLabelsHaveTheDecimalsTheStepNeeds) {
  EXPECT_EQ(TickLabel(0.30000000000000004, 0.1), "0.3");
  EXPECT_EQ(TickLabel(-0.0, 0.1), "0");
  EXPECT_EQ(TickLabel(0.05, 0.05), "0.05");
  EXPECT_EQ(TickLabel(120, 20), "120");
  EXPECT_EQ(TickLabel(0.001, 0.001), "0.001");
  EXPECT_EQ(TickLabel(1e8, 1e8), "1e+08");
  EXPECT_EQ(TickLabel(1e-5, 1e-5), "1e-05");
}

}  // namespace
}  // namespace lpgm::check
