#include "prepare/fir_design.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace lpgm::prepare {

double BesselI0(double x) {
  const double half = x / 2.0;
  double sum = 1.0;
  double term = 1.0;  // (x/2)^k / k!
  for (int k = 1; k < 500; ++k) {
    term *= half / static_cast<double>(k);
    double square = term * term;
    if (sum + square == sum) break;
    sum += square;
  }
  return sum;
}

double KaiserBeta(double attenuation_db) {
  if (attenuation_db > 50.0) return 0.1102 * (attenuation_db - 8.7);
  if (attenuation_db > 21.0) {
    double excess = attenuation_db - 21.0;
    return 0.5842 * std::pow(excess, 0.4) + 0.07886 * excess;
  }
  return 0.0;
}

std::vector<double> KaiserWindow(int taps, double beta) {
  std::vector<double> window(static_cast<std::size_t>(std::max(taps, 0)));
  if (taps == 1) window[0] = 1.0;
  if (taps <= 1) return window;
  const double centre = static_cast<double>(taps - 1) / 2.0;
  const double scale = BesselI0(beta);
  for (std::size_t n = 0; n < window.size(); ++n) {
    double r = (static_cast<double>(n) - centre) / centre;
    window[n] = BesselI0(beta * std::sqrt(std::max(0.0, 1.0 - r * r))) / scale;
  }
  return window;
}

KaiserOrder OrderForAttenuation(double attenuation_db, double width) {
  double taps =
      (attenuation_db - 7.95) / 2.285 / (std::numbers::pi * width) + 1;
  KaiserOrder order;
  order.taps = static_cast<int>(std::ceil(taps));
  if (order.taps % 2 == 0) ++order.taps;
  order.beta = KaiserBeta(attenuation_db);
  return order;
}

namespace {

double Sinc(double x) {
  if (x == 0.0) return 1.0;
  double y = std::numbers::pi * x;
  return std::sin(y) / y;
}

}  // namespace

std::vector<double> KaiserLowPass(const KaiserOrder& order, double cutoff) {
  std::vector<double> h = KaiserWindow(order.taps, order.beta);
  const double centre = static_cast<double>(order.taps - 1) / 2.0;
  double sum = 0.0;
  for (std::size_t n = 0; n < h.size(); ++n) {
    h[n] *= cutoff * Sinc(cutoff * (static_cast<double>(n) - centre));
    sum += h[n];
  }
  for (double& tap : h) tap /= sum;
  return h;
}

AntiAliasFilter DesignAntiAlias(double input_rate_hz, int up) {
  constexpr double kOutputNyquistHz = 25.0;
  const double rate = input_rate_hz * static_cast<double>(up);
  const double edge = std::min(input_rate_hz / 2.0, kOutputNyquistHz);
  AntiAliasFilter filter;
  filter.pass_hz = 0.8 * edge;
  filter.stop_hz = edge;
  filter.cutoff_hz = (filter.pass_hz + filter.stop_hz) / 2.0;
  const double nyquist = rate / 2.0;
  filter.order = OrderForAttenuation(
      kDesignDb, (filter.stop_hz - filter.pass_hz) / nyquist);
  filter.taps = KaiserLowPass(filter.order, filter.cutoff_hz / nyquist);
  for (double& tap : filter.taps) tap *= static_cast<double>(up);
  return filter;
}

}  // namespace lpgm::prepare
