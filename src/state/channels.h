// The program's channel numbers. Record-layer diagnostics name the channel a
// failure happened on ("unit 13"), so these numbers are part of the output.
#ifndef LPGM_STATE_CHANNELS_H_
#define LPGM_STATE_CHANNELS_H_

namespace lpgm {

inline constexpr int kUnitConsoleIn = 5;
inline constexpr int kUnitConsoleOut = 6;
inline constexpr int kUnitDefinition = 11;
inline constexpr int kUnitSpectrum = 12;
inline constexpr int kUnitAcceleration = 13;
// The six output files take channels 21 to 26 in the order they are written.
inline constexpr int kUnitFirstOutput = 21;

}  // namespace lpgm

#endif  // LPGM_STATE_CHANNELS_H_
