#include "compute/motion_baseline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace lpgm {
namespace {

// A record that drifts: a pulse plus a constant offset, as a matched motion
// with a little energy left at very long periods would.
std::vector<double> Drifting(std::size_t n, double dt) {
  std::vector<double> acc(n);
  for (std::size_t j = 0; j < n; ++j) {
    const double t = static_cast<double>(j) * dt;
    acc[j] = 100.0 * std::sin(2.0 * std::numbers::pi * t / 1.3) *
                 std::exp(-0.2 * t) +
             0.7;
  }
  return acc;
}

TEST(MotionBaselineTest, EndsAndPolyBringEndVelocityAndDisplacementToZero) {
  const double dt = 0.02;
  const std::vector<double> acc = Drifting(3000, dt);
  for (const MotionBaseline b :
       {MotionBaseline::kEnds, MotionBaseline::kPolynomial}) {
    const std::vector<double> fixed = CorrectBaseline(acc, dt, b);
    const std::vector<double> v = IntegrateTrapezoid(fixed, dt);
    const std::vector<double> d = IntegrateTrapezoid(v, dt);
    EXPECT_NEAR(v.back(), 0.0, 1e-9) << MotionBaselineName(b);
    EXPECT_NEAR(d.back(), 0.0, 1e-7) << MotionBaselineName(b);
  }
  EXPECT_EQ(CorrectBaseline(acc, dt, MotionBaseline::kNone), acc);
}

// A pure linear drift of the acceleration is exactly what the correction
// takes off.
TEST(MotionBaselineTest, EndsCorrectionTakesALinearDriftOffEntirely) {
  const double dt = 0.01;
  std::vector<double> drift(2000);
  for (std::size_t j = 0; j < drift.size(); ++j)
    drift[j] = 3.0 - 0.5 * static_cast<double>(j) * dt;
  const std::vector<double> fixed =
      CorrectBaseline(drift, dt, MotionBaseline::kEnds);
  for (const double a : fixed) ASSERT_NEAR(a, 0.0, 1e-9);
}

TEST(MotionBaselineTest, NamesParseBack) {
  for (const MotionBaseline b : {MotionBaseline::kNone, MotionBaseline::kEnds,
                                 MotionBaseline::kPolynomial})
    EXPECT_EQ(ParseMotionBaseline(MotionBaselineName(b)), b);
  EXPECT_FALSE(ParseMotionBaseline("linear").has_value());
}

}  // namespace
}  // namespace lpgm
