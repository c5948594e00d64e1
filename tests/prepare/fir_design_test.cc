#include "prepare/fir_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "prepare/filter_response.h"

namespace lpgm::prepare {
namespace {

using testing::Gain;

TEST(BesselI0Test, MatchesTabulatedValues) {
  EXPECT_EQ(BesselI0(0.0), 1.0);
  EXPECT_NEAR(BesselI0(1.0), 1.2660658777520082, 1e-15);
  EXPECT_NEAR(BesselI0(5.0) / 27.239871823604442, 1.0, 1e-14);
  EXPECT_NEAR(BesselI0(-5.0) / 27.239871823604442, 1.0, 1e-14);
  EXPECT_NEAR(BesselI0(20.0) / 4.355828255955353e7, 1.0, 1e-13);
}

TEST(KaiserDesignTest, OrderAndShapeFollowTheEmpiricalFormulas) {
  EXPECT_NEAR(KaiserBeta(80.0), 0.1102 * 71.3, 1e-12);
  EXPECT_NEAR(KaiserBeta(30.0), 0.5842 * std::pow(9.0, 0.4) + 0.07886 * 9.0,
              1e-12);
  EXPECT_EQ(KaiserBeta(20.0), 0.0);
  // 5 Hz of transition at 200 Hz: (80 - 7.95) / (2.285 pi 0.05) + 1 = 201.7.
  KaiserOrder order = OrderForAttenuation(80.0, 0.05);
  EXPECT_EQ(order.taps, 203);  // 202 made odd
  EXPECT_EQ(OrderForAttenuation(80.0, 0.025).taps, 403);
}

TEST(KaiserDesignTest, WindowIsSymmetricWithUnitCentre) {
  std::vector<double> w = KaiserWindow(9, 7.857);
  EXPECT_EQ(w[4], 1.0);
  for (std::size_t n = 0; n < w.size(); ++n) EXPECT_EQ(w[n], w[8 - n]);
  EXPECT_NEAR(w[0], 1.0 / BesselI0(7.857), 1e-15);
  EXPECT_EQ(KaiserWindow(1, 5.0), std::vector<double>{1.0});
}

TEST(KaiserDesignTest, LowPassIsSymmetricWithUnitDcGain) {
  std::vector<double> h = KaiserLowPass(OrderForAttenuation(80.0, 0.05), 0.225);
  EXPECT_NEAR(std::accumulate(h.begin(), h.end(), 0.0), 1.0, 1e-15);
  for (std::size_t n = 0; n < h.size(); ++n)
    EXPECT_EQ(h[n], h[h.size() - 1 - n]);
}

// The figures every anti-alias design must meet, measured on its response at
// the rate it runs at: flat within 0.1 % to the pass edge (the 81 dB design
// keeps within 0.01 %), 80 dB down from the stop edge to the rate's Nyquist
// frequency.
void ExpectFigures(double input_rate_hz, int up) {
  SCOPED_TRACE(::testing::Message() << input_rate_hz << " Hz x " << up);
  AntiAliasFilter filter = DesignAntiAlias(input_rate_hz, up);
  const double rate = input_rate_hz * up;
  const double scale = static_cast<double>(up);
  double worst_pass = 0.0;
  for (double f = 0.0; f <= filter.pass_hz; f += 0.05)
    worst_pass = std::max(worst_pass,
                          std::fabs(Gain(filter.taps, f, rate) / scale - 1.0));
  EXPECT_LE(worst_pass, 1e-4);
  double worst_stop = 0.0;
  for (double f = filter.stop_hz; f <= rate / 2.0; f += 0.05)
    worst_stop = std::max(worst_stop, Gain(filter.taps, f, rate) / scale);
  EXPECT_LE(worst_stop, 1e-4);  // -80 dB
}

TEST(AntiAliasTest, DecimatingDesignsMeetTheFigures) {
  EXPECT_EQ(DesignAntiAlias(200.0, 1).pass_hz, 20.0);
  EXPECT_EQ(DesignAntiAlias(200.0, 1).stop_hz, 25.0);
  ExpectFigures(100.0, 1);
  ExpectFigures(200.0, 1);
  ExpectFigures(250.0, 1);
}

TEST(AntiAliasTest, RationalDesignsMeetTheFigures) {
  ExpectFigures(80.0, 5);  // 0.0125 s: up 5, down 8
  ExpectFigures(40.0, 5);  // 0.025 s: up 5, down 4, edges at 16 and 20 Hz
  EXPECT_EQ(DesignAntiAlias(40.0, 5).stop_hz, 20.0);
}

}  // namespace
}  // namespace lpgm::prepare
