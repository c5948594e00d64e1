// The run state: every scalar and table that the phases of a run share.
//
// It exists once, from the start of the run to its end. Every table has a
// fixed capacity; nothing is allocated while the run goes on. Indices count
// from 1 as the system's tables do; every accessor checks its indices against
// the table's capacity and throws std::out_of_range on a violation (a
// programming error: input is refused before it could cause one).
//
// SVF keeps the first index (the fault) fastest. The waveform tables ACC and
// VEL keep each case's samples together instead: a run touches only the
// pages of the cases and samples it has, and integration walks memory in
// order.
#ifndef LPGM_RUN_RUN_STATE_H_
#define LPGM_RUN_RUN_STATE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "record/text_field.h"

namespace lpgm {

// Capacities of the tables.
inline constexpr int kFaultSlots = 10;
inline constexpr int kCaseSlots = 30;
inline constexpr int kPeriodPoints = 100;
inline constexpr int kSampleCapacity = 100000;
inline constexpr int kScratchSize = 30;

// Limits that the definition file reader enforces.
inline constexpr int kMaxFaults = 6;
inline constexpr int kMaxCases = 21;

// Checks 1 <= index <= capacity.
inline void CheckIndex(int index, int capacity) {
  if (index < 1 || index > capacity)
    throw std::out_of_range("index outside its table");
}

struct RunState {
  // Constants of the run.
  std::int32_t NPER = 0;
  double DT = 0.0;

  Text40 DEFFILE{};
  std::int32_t LDEFFILE = 0;
  std::int32_t NFAULT = 0;
  std::int32_t NCASE = 0;
  Text400 LINEBUF{};
  std::int32_t IMED = 0;
  std::int32_t NPMAX = 0;

  std::array<Text400, kFaultSlots> fltdir{};
  std::array<std::int32_t, kFaultSlots> lfltdir{};
  std::array<Text400, kCaseSlots> casedir{};
  std::array<std::int32_t, kCaseSlots> lcasedir{};
  std::array<double, kPeriodPoints> period{};
  std::array<double, kFaultSlots * kPeriodPoints> svf{};  // (fault, period)
  std::array<double, kPeriodPoints> svtgt{};
  std::array<std::int32_t, kCaseSlots * 2> npts_irank{};  // columns NPTS, IRANK
  std::array<double, kCaseSlots> vmax{};
  std::array<double, kScratchSize> scratch{};
  // (case, sample), one column of 100000 samples per case; 24 MB apiece.
  std::array<double, static_cast<std::size_t>(kCaseSlots) * kSampleCapacity> acc{};
  std::array<double, static_cast<std::size_t>(kCaseSlots) * kSampleCapacity> vel{};

  Text400& FLTDIR(int i) { CheckIndex(i, kFaultSlots); return fltdir[Z(i)]; }
  std::int32_t& LFLTDIR(int i) { CheckIndex(i, kFaultSlots); return lfltdir[Z(i)]; }
  Text400& CASEDIR(int i) { CheckIndex(i, kCaseSlots); return casedir[Z(i)]; }
  std::int32_t& LCASEDIR(int i) { CheckIndex(i, kCaseSlots); return lcasedir[Z(i)]; }
  double& PERIOD(int j) { CheckIndex(j, kPeriodPoints); return period[Z(j)]; }
  double& SVF(int i, int j) {
    CheckIndex(i, kFaultSlots);
    CheckIndex(j, kPeriodPoints);
    return svf[Z(i) + kFaultSlots * Z(j)];
  }
  double& SVTGT(int j) { CheckIndex(j, kPeriodPoints); return svtgt[Z(j)]; }
  std::int32_t& NPTS(int i) { CheckIndex(i, kCaseSlots); return npts_irank[Z(i)]; }
  std::int32_t& IRANK(int i) {
    CheckIndex(i, kCaseSlots);
    return npts_irank[kCaseSlots + Z(i)];
  }
  double& VMAX(int i) { CheckIndex(i, kCaseSlots); return vmax[Z(i)]; }
  double& ACC(int i, int j) {
    CheckIndex(i, kCaseSlots);
    CheckIndex(j, kSampleCapacity);
    return acc[Z(j) + static_cast<std::size_t>(kSampleCapacity) * Z(i)];
  }
  double& VEL(int i, int j) {
    CheckIndex(i, kCaseSlots);
    CheckIndex(j, kSampleCapacity);
    return vel[Z(j) + static_cast<std::size_t>(kSampleCapacity) * Z(i)];
  }
  // Case i's samples 1 to 100000 of ACC and VEL, for loops that have
  // checked their bounds once.
  double* AccColumn(int i) {
    CheckIndex(i, kCaseSlots);
    return acc.data() + static_cast<std::size_t>(kSampleCapacity) * Z(i);
  }
  double* VelColumn(int i) {
    CheckIndex(i, kCaseSlots);
    return vel.data() + static_cast<std::size_t>(kSampleCapacity) * Z(i);
  }

 private:
  static std::size_t Z(int i) { return static_cast<std::size_t>(i - 1); }
};

// Puts the run state in its start state: NPER = 55, DT = 0.02, DEFFILE and
// the folder tables blank, used lengths 0, SVF and PERIOD 0.0, NPTS and IRANK
// 0. The other items are left as they are: zero in a new run state.
void InitializeRunState(RunState& state);

// The process's one run state, zero when the program starts (static storage:
// pages of the waveform tables that a run never touches cost no memory).
RunState& ProcessRunState();

}  // namespace lpgm

#endif  // LPGM_RUN_RUN_STATE_H_
