#include "compute/response_spectrum.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "compute/oscillator_bank.h"
#include "compute/oscillator_step.h"

namespace lpgm {

double AngularFrequency(double period) {
  return 2.0 * std::numbers::pi / period;
}

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

namespace {

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
      x = Advance(m, x, SubStepValue(previous, current, k - 1, substeps),
                  SubStepValue(previous, current, k, substeps));
      peaks.sd = std::max(peaks.sd, std::fabs(x.u));
      peaks.sv = std::max(peaks.sv, std::fabs(x.v));
      peaks.sa = std::max(peaks.sa, std::fabs(k_v * x.v + k_u * x.u));
    }
    previous = current;
  }
  return peaks;
}

std::size_t VectorWidth(platform::Kernel kernel) {
  switch (kernel) {
    case platform::Kernel::kSse2:
      return kSse2Width;
    case platform::Kernel::kAvx2:
      return kAvx2Width;
    case platform::Kernel::kScalar:
      break;
  }
  return 1;
}

// The oscillators of one group laid out for a bank kernel, the lanes past
// the last oscillator repeating it.
class BankArrays {
 public:
  BankArrays(std::span<const Oscillator> oscillators, double step,
             std::size_t width)
      : lanes_((oscillators.size() + width - 1) / width * width),
        values_(kArrays * lanes_) {
    for (std::size_t k = 0; k < lanes_; ++k) {
      const Oscillator& osc = oscillators[std::min(k, oscillators.size() - 1)];
      const double omega = AngularFrequency(osc.period);
      const StepMatrix m = ExactStep(omega, osc.damping, step);
      const double row[] = {m.a11,        m.a12, m.a21,
                            m.a22,        m.b11, m.b12,
                            m.b21,        m.b22, 2.0 * osc.damping * omega,
                            omega * omega};
      for (std::size_t i = 0; i < 10; ++i) values_[i * lanes_ + k] = row[i];
    }
  }
  OscillatorBank View() {
    double* p = values_.data();
    const std::size_t n = lanes_;
    return OscillatorBank{n,          p,         p + n,     p + 2 * n,
                          p + 3 * n,  p + 4 * n, p + 5 * n, p + 6 * n,
                          p + 7 * n,  p + 8 * n, p + 9 * n, p + 10 * n,
                          p + 11 * n, p + 12 * n};
  }

 private:
  static constexpr std::size_t kArrays = 13;  // 10 coefficients, 3 peaks
  std::size_t lanes_;
  std::vector<double> values_;
};

// The peaks of a group of oscillators under one record, by `kernel`.
void PeaksOfGroup(std::span<const double> acc, double dt,
                  std::span<const Oscillator> oscillators,
                  const SpectrumOptions& options,
                  std::span<SpectralPeaks> out) {
  // A kernel this processor lacks gives way to the widest it has (same
  // result).
  const platform::Kernel kernel = platform::KernelRuns(options.kernel)
                                      ? options.kernel
                                      : platform::BestKernel();
  const std::size_t width = VectorWidth(kernel);
  if (width == 1 || oscillators.empty()) {
    for (std::size_t k = 0; k < oscillators.size(); ++k)
      out[k] = PeaksOfOne(acc, dt, oscillators[k], options.substeps);
    return;
  }
  BankArrays arrays(oscillators, dt / options.substeps, width);
  const OscillatorBank bank = arrays.View();
  const BankInput input{acc.data(), acc.size(), options.substeps};
  if (kernel == platform::Kernel::kAvx2)
    RunBankAvx2(input, bank);
  else
    RunBankSse2(input, bank);
  for (std::size_t k = 0; k < oscillators.size(); ++k)
    out[k] = SpectralPeaks{bank.sd[k], bank.sv[k], bank.sa[k]};
}

void CheckRequest(double dt, std::span<const Oscillator> oscillators,
                  const SpectrumOptions& options) {
  const std::string_view error = SpectrumRequestError(dt, oscillators, options);
  if (!error.empty()) throw std::invalid_argument(std::string(error));
}

// Oscillators per unit of work: a few passes' worth, so that one record's
// spectra can still be shared by two threads.
constexpr std::size_t kGroupSize = 24;

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
  CheckRequest(dt, oscillators, options);
  if (out.size() < oscillators.size())
    throw std::invalid_argument("fewer peaks than oscillators");
  PeaksOfGroup(acc, dt, oscillators, options, out);
}

void ComputeSpectralPeaksOfRecords(std::span<const RecordSamples> records,
                                   std::span<const Oscillator> oscillators,
                                   const SpectrumOptions& options, int threads,
                                   std::span<SpectralPeaks> out) {
  for (const RecordSamples& record : records)
    CheckRequest(record.dt, oscillators, options);
  const std::size_t n = oscillators.size();
  if (out.size() / std::max<std::size_t>(n, 1) < records.size())
    throw std::invalid_argument("fewer peaks than records and oscillators");
  const std::size_t groups = (n + kGroupSize - 1) / kGroupSize;
  const std::size_t items = records.size() * groups;
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t item = next++; item < items; item = next++) {
      const std::size_t r = item / groups;
      const std::size_t first = item % groups * kGroupSize;
      const std::size_t count = std::min(kGroupSize, n - first);
      PeaksOfGroup(records[r].acc, records[r].dt,
                   oscillators.subspan(first, count), options,
                   out.subspan(r * n + first, count));
    }
  };
  if (threads < 2 || items < 2) {
    work();
    return;
  }
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads && static_cast<std::size_t>(t) < items; ++t)
    helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
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
