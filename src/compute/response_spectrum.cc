#include "compute/response_spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <stdexcept>
#include <string>

namespace lpgm {

namespace {

// The exact step of one oscillator over a time step dt with ground
// acceleration linear from a0 to a1:
//   u1 = a11 u0 + a12 v0 + b11 a0 + b12 a1
//   v1 = a21 u0 + a22 v0 + b21 a0 + b22 a1
struct StepMatrix {
  double a11, a12, a21, a22;
  double b11, b12, b21, b22;
};

StepMatrix ExactStep(double omega, double h, double dt) {
  const double root = std::sqrt(1.0 - h * h);
  const double omega_d = omega * root;
  const double e = std::exp(-h * omega * dt);
  const double s = std::sin(omega_d * dt);
  const double c = std::cos(omega_d * dt);
  const double w2 = omega * omega;
  const double w3 = w2 * omega;
  const double ratio = h / root;
  StepMatrix m{};
  m.a11 = e * (ratio * s + c);
  m.a12 = e * s / omega_d;
  m.a21 = -omega / root * e * s;
  m.a22 = e * (c - ratio * s);
  const double p = (2.0 * h * h - 1.0) / (w2 * dt);
  const double q = 2.0 * h / (w3 * dt);
  const double c_damped = c - ratio * s;
  const double s_mixed = omega_d * s + h * omega * c;
  m.b11 = e * ((p + h / omega) * s / omega_d + (q + 1.0 / w2) * c) - q;
  m.b12 = -e * (p * s / omega_d + q * c) - 1.0 / w2 + q;
  m.b21 = e * ((p + h / omega) * c_damped - (q + 1.0 / w2) * s_mixed) +
          1.0 / (w2 * dt);
  m.b22 = -e * (p * c_damped - q * s_mixed) - 1.0 / (w2 * dt);
  return m;
}

struct State {
  double u = 0.0;
  double v = 0.0;
};

State Advance(const StepMatrix& m, State x, double a0, double a1) {
  State y;
  y.u = m.a11 * x.u + m.a12 * x.v + m.b11 * a0 + m.b12 * a1;
  y.v = m.a21 * x.u + m.a22 * x.v + m.b21 * a0 + m.b22 * a1;
  return y;
}

double AngularFrequency(double period) {
  return 2.0 * std::numbers::pi / period;
}

// The scalar reference: one oscillator at a time, sub-steps in order.
SpectralPeaks PeaksOfOne(std::span<const double> acc, double dt,
                         const Oscillator& osc, int substeps) {
  const double omega = AngularFrequency(osc.period);
  const double h = osc.damping;
  const StepMatrix m = ExactStep(omega, h, dt / substeps);
  const double k_v = 2.0 * h * omega;
  const double k_u = omega * omega;
  SpectralPeaks peaks;
  State x;
  double previous = 0.0;
  for (const double current : acc) {
    for (int k = 1; k <= substeps; ++k) {
      const double a0 = previous + (current - previous) * (k - 1) / substeps;
      const double a1 = previous + (current - previous) * k / substeps;
      x = Advance(m, x, a0, a1);
      peaks.sd = std::max(peaks.sd, std::fabs(x.u));
      peaks.sv = std::max(peaks.sv, std::fabs(x.v));
      peaks.sa = std::max(peaks.sa, std::fabs(k_v * x.v + k_u * x.u));
    }
    previous = current;
  }
  return peaks;
}

}  // namespace

double PseudoVelocity(const SpectralPeaks& peaks, double period) {
  return AngularFrequency(period) * peaks.sd;
}

double PseudoAcceleration(const SpectralPeaks& peaks, double period) {
  const double omega = AngularFrequency(period);
  return omega * omega * peaks.sd;
}

double SpectralValue(const SpectralPeaks& peaks, double period,
                     SpectrumKind kind) {
  switch (kind) {
    case SpectrumKind::kSd:
      return peaks.sd;
    case SpectrumKind::kSv:
      return peaks.sv;
    case SpectrumKind::kSa:
      return peaks.sa;
    case SpectrumKind::kPsv:
      return PseudoVelocity(peaks, period);
    case SpectrumKind::kPsa:
      return PseudoAcceleration(peaks, period);
  }
  return 0.0;
}

std::string_view SpectrumKindName(SpectrumKind kind) {
  switch (kind) {
    case SpectrumKind::kSd:
      return "Sd";
    case SpectrumKind::kSv:
      return "Sv";
    case SpectrumKind::kSa:
      return "Sa";
    case SpectrumKind::kPsv:
      return "pSv";
    case SpectrumKind::kPsa:
      return "pSa";
  }
  return "";
}

std::string_view SpectrumRequestError(double dt,
                                      std::span<const Oscillator> oscillators,
                                      const SpectrumOptions& options) {
  if (!std::isfinite(dt) || dt <= 0.0)
    return "the time step must be a positive number";
  if (options.substeps < 1 || options.substeps > 1000)
    return "the number of sub-steps must be 1 to 1000";
  for (const Oscillator& osc : oscillators) {
    if (!std::isfinite(osc.period) || osc.period <= 0.0)
      return "every period must be a positive number";
    if (!(osc.damping >= 0.0 && osc.damping < 1.0))
      return "every damping ratio must be at least 0 and below 1";
  }
  return {};
}

void ComputeSpectralPeaks(std::span<const double> acc, double dt,
                          std::span<const Oscillator> oscillators,
                          const SpectrumOptions& options,
                          std::span<SpectralPeaks> out) {
  const std::string_view error = SpectrumRequestError(dt, oscillators, options);
  if (!error.empty()) throw std::invalid_argument(std::string(error));
  if (out.size() < oscillators.size())
    throw std::invalid_argument("fewer peaks than oscillators");
  for (std::size_t k = 0; k < oscillators.size(); ++k)
    out[k] = PeaksOfOne(acc, dt, oscillators[k], options.substeps);
}

ResponseHistory ComputeResponseHistory(std::span<const double> acc, double dt,
                                       const Oscillator& oscillator) {
  const Oscillator one[] = {oscillator};
  const std::string_view error = SpectrumRequestError(dt, one, {});
  if (!error.empty()) throw std::invalid_argument(std::string(error));
  const double omega = AngularFrequency(oscillator.period);
  const StepMatrix m = ExactStep(omega, oscillator.damping, dt);
  const double k_v = 2.0 * oscillator.damping * omega;
  const double k_u = omega * omega;
  ResponseHistory history;
  history.displacement.reserve(acc.size());
  history.velocity.reserve(acc.size());
  history.absolute_acceleration.reserve(acc.size());
  State x;
  double previous = 0.0;
  for (const double current : acc) {
    x = Advance(m, x, previous, current);
    history.displacement.push_back(x.u);
    history.velocity.push_back(x.v);
    history.absolute_acceleration.push_back(-(k_v * x.v + k_u * x.u));
    previous = current;
  }
  return history;
}

}  // namespace lpgm
