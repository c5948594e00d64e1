// Design of linear-phase low-pass FIR filters by the Kaiser window method:
// the window's order and shape from the wanted attenuation and transition
// width, and a windowed ideal low-pass scaled to unit gain at 0 Hz.
#ifndef LPGM_PREPARE_FIR_DESIGN_H_
#define LPGM_PREPARE_FIR_DESIGN_H_

#include <vector>

namespace lpgm::prepare {

// The modified Bessel function of the first kind, order 0, by its power
// series sum((x/2)^k / k!)^2, summed until a term no longer changes the sum.
double BesselI0(double x);

// The Kaiser window shape parameter for an attenuation of `attenuation_db`:
// 0.1102 (A - 8.7) above 50 dB, 0.5842 (A - 21)^0.4 + 0.07886 (A - 21)
// from 21 to 50 dB, 0 below.
double KaiserBeta(double attenuation_db);

// A symmetric Kaiser window of `taps` points:
// w(n) = I0(beta sqrt(1 - ((n - a) / a)^2)) / I0(beta), a = (taps - 1) / 2.
std::vector<double> KaiserWindow(int taps, double beta);

struct KaiserOrder {
  int taps = 0;  // always odd, so that the filter's centre is a sample
  double beta = 0.0;
};

// Taps and beta for ripple and stop-band attenuation `attenuation_db` with
// a transition `width` given as a fraction of the Nyquist frequency:
// ceil((A - 7.95) / (2.285 pi width) + 1), raised to the next odd number.
KaiserOrder OrderForAttenuation(double attenuation_db, double width);

// The windowed-sinc low-pass of order.taps taps with cut-off `cutoff` (a
// fraction of the Nyquist frequency, 0 < cutoff < 1), its taps summing to 1.
std::vector<double> KaiserLowPass(const KaiserOrder& order, double cutoff);

// The anti-alias filter for resampling to 0.02 s, designed at the rate
// `rate_hz` of the up-sampled record from an input at `input_rate_hz`.
struct AntiAliasFilter {
  double pass_hz = 0.0;    // flat to here (20 Hz when decimating)
  double stop_hz = 0.0;    // >= 80 dB down from here (25 Hz when decimating)
  double cutoff_hz = 0.0;  // the middle of the transition band
  KaiserOrder order;
  std::vector<double> taps;  // gain `up` at 0 Hz, to undo the zero stuffing
};

// Pass band to 0.8 and stop band from 1.0 times the lower of the two Nyquist
// frequencies (input and 25 Hz), designed for kDesignDb at
// input_rate_hz * up.
AntiAliasFilter DesignAntiAlias(double input_rate_hz, int up);

// The attenuation the designs are computed for, in dB. The Kaiser formulas
// are empirical: asked for 80 dB they give 79.5 dB at the stop edge, so the
// design asks for 1 dB more to be at least 80 dB down everywhere in the
// stop band, and within 0.01 % in the pass band.
inline constexpr double kDesignDb = 81.0;

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_FIR_DESIGN_H_
