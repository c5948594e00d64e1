#include "check/min_max_columns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

namespace lpgm::check {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The plain way, sample by sample: each finite sample's column from its
// time, a new column whenever it changes. The fast way must agree exactly.
std::vector<Point> ReferenceMinMax(const std::vector<double>& y, double x0,
                                   double dx, double x_lo, double x_hi,
                                   int columns) {
  std::vector<Point> out;
  const double width = x_hi - x_lo;
  std::size_t lo = 0, hi = 0;
  int current = -1;
  auto flush = [&] {
    if (current < 0) return;
    const std::size_t a = std::min(lo, hi), b = std::max(lo, hi);
    out.push_back({x0 + static_cast<double>(a) * dx, y[a]});
    if (b != a) out.push_back({x0 + static_cast<double>(b) * dx, y[b]});
  };
  for (std::size_t k = 0; k < y.size(); ++k) {
    if (!std::isfinite(y[k])) continue;
    double c =
        std::floor((x0 + static_cast<double>(k) * dx - x_lo) / width * columns);
    if (!(c >= 0)) c = 0;
    if (c > columns - 1) c = columns - 1;
    if (static_cast<int>(c) != current) {
      flush();
      lo = hi = k;
      current = static_cast<int>(c);
      continue;
    }
    if (y[k] < y[lo]) lo = k;
    if (y[k] > y[hi]) hi = k;
  }
  flush();
  return out;
}

TEST(MinMaxColumns, AgreesWithTheSampleBySampleWay) {
  const unsigned seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0, 50);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 300; ++trial) {
    const std::size_t n = rng() % 20001;
    const int columns = 1 + static_cast<int>(rng() % 1500);
    std::vector<double> y(n);
    for (double& v : y) v = unit(rng) < 0.01 ? kNaN : noise(rng);
    // Axes that start before, at or after the record and end before or
    // after it; steps of the usual and of awkward sizes.
    const double dx = trial % 3 == 0 ? 0.02 : 0.001 + unit(rng);
    const double x0 = trial % 4 == 0 ? 0 : (unit(rng) - 0.5) * 100;
    const double span = static_cast<double>(n) * dx;
    const double x_lo = x0 + (unit(rng) - 0.3) * span;
    const double x_hi = x_lo + (0.01 + 1.5 * unit(rng)) * (span + 1);
    const auto fast = MinMaxPerColumn(y, x0, dx, x_lo, x_hi, columns);
    const auto plain = ReferenceMinMax(y, x0, dx, x_lo, x_hi, columns);
    ASSERT_EQ(fast.size(), plain.size()) << "trial " << trial;
    for (std::size_t i = 0; i < fast.size(); ++i) {
      ASSERT_EQ(fast[i].x, plain[i].x) << "trial " << trial << " point " << i;
      ASSERT_EQ(fast[i].y, plain[i].y) << "trial " << trial << " point " << i;
    }
  }
}

// For random records of every length up to 100000 samples and column counts
// from 1 to 2000: at most two points a column, in sample order, each a real
// sample at its own time, and the extremes exactly the record's.
TEST(MinMaxColumns, KeepsExactExtremesWithAtMostTwoPointsPerColumn) {
  const unsigned seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0, 50);
  for (int trial = 0; trial < 40; ++trial) {
    const std::size_t n = trial == 0 ? 100000 : rng() % 100001;
    const int columns = 1 + static_cast<int>(rng() % 2000);
    std::vector<double> y(n);
    for (double& v : y) v = noise(rng);
    const double dt = 0.02, x_hi = static_cast<double>(n) * dt + 1;
    const auto points = MinMaxPerColumn(y, 0, dt, 0, x_hi, columns);
    ASSERT_LE(points.size(), 2 * static_cast<std::size_t>(columns));
    if (n == 0) {
      EXPECT_TRUE(points.empty());
      continue;
    }
    double lo = points[0].y, hi = points[0].y;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const double k = std::round(points[i].x / dt);
      ASSERT_EQ(points[i].x, k * dt) << "seed " << seed;
      ASSERT_EQ(points[i].y, y[static_cast<std::size_t>(k)]) << "seed " << seed;
      if (i > 0) {
        ASSERT_LT(points[i - 1].x, points[i].x) << "seed " << seed;
      }
      lo = std::min(lo, points[i].y);
      hi = std::max(hi, points[i].y);
    }
    EXPECT_EQ(lo, *std::min_element(y.begin(), y.end())) << "seed " << seed;
    EXPECT_EQ(hi, *std::max_element(y.begin(), y.end())) << "seed " << seed;
  }
}

TEST(MinMaxColumns, ShortSeriesIsKeptWhole) {
  const std::vector<double> y = {1, -2, 3};
  const auto points = MinMaxPerColumn(y, 10, 0.5, 10, 11.5, 100);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[1].x, 10.5);
  EXPECT_EQ(points[1].y, -2);
}

TEST(MinMaxColumns, NonFiniteSamplesAreSkipped) {
  const std::vector<double> y = {kNaN, 1, kInf, -kInf, 2, kNaN};
  const auto points = MinMaxPerColumn(y, 0, 1, 0, 6, 1);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0].y, 1);
  EXPECT_EQ(points[1].y, 2);
  const std::vector<double> none = {kNaN, kInf};
  EXPECT_TRUE(MinMaxPerColumn(none, 0, 1, 0, 2, 10).empty());
}

TEST(MinMaxColumns, ConstantColumnKeepsOnePoint) {
  const std::vector<double> y(1000, 7.5);
  const auto points = MinMaxPerColumn(y, 0, 1, 0, 1000, 10);
  EXPECT_EQ(points.size(), 10u);
  for (const Point& p : points) EXPECT_EQ(p.y, 7.5);
}

TEST(MinMaxColumns, SamplesOutsideTheRangeFallInTheEndColumns) {
  const std::vector<double> y = {5, 1, 9, 4};
  // Range [1, 2) over 2 columns: samples at 0 and 1.x in column 0, 2 and 3
  // in column 1.
  const auto points = MinMaxPerColumn(y, 0, 1, 1, 2, 2);
  EXPECT_LE(points.size(), 4u);
  EXPECT_EQ(points.front().y, 5);
}

TEST(MinMaxColumns, UnusableArgumentsGiveNothing) {
  const std::vector<double> y = {1, 2, 3};
  EXPECT_TRUE(MinMaxPerColumn(y, 0, 1, 0, 3, 0).empty());
  EXPECT_TRUE(MinMaxPerColumn(y, 0, 1, 3, 3, 10).empty());
  EXPECT_TRUE(MinMaxPerColumn(y, 0, 1, 0, kInf, 10).empty());
  EXPECT_TRUE(MinMaxPerColumn(y, 0, 0, 0, 3, 10).empty());
  EXPECT_TRUE(MinMaxPerColumn(y, 0, -1, 0, 3, 10).empty());
  EXPECT_TRUE(MinMaxPerColumn(y, kNaN, 1, 0, 3, 10).empty());
  EXPECT_TRUE(MinMaxPerColumn({}, 0, 1, 0, 3, 10).empty());
}

}  // namespace
}  // namespace lpgm::check
