// The run state: every scalar and table that the phases of a run share.
//
// It exists once, from the start of the run to its end. Every table has a
// fixed capacity; nothing is allocated while the run goes on. Indices count
// from 1 as the system's tables do; every accessor checks its indices against
// the table's capacity and throws std::out_of_range on a violation (a
// programming error: input is refused before it could cause one). The tables
// are reached only through their accessors; a phase that only reads the state
// takes it const and gets the const accessors.
//
// SVF keeps the first index (the fault) fastest. The waveform tables ACC and
// VEL keep each case's samples together instead: a run touches only the
// pages of the cases and samples it has, and integration walks memory in
// order.
#ifndef LPGM_STATE_RUN_STATE_H_
#define LPGM_STATE_RUN_STATE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "base/case_record.h"
#include "base/text_field.h"
#include "platform/kernel.h"

namespace lpgm {

// Capacities of the tables.
inline constexpr int kFaultSlots = 10;
inline constexpr int kCaseSlots = 30;
inline constexpr int kPeriodPoints = 100;

// Limits that the definition file reader enforces.
inline constexpr int kMaxFaults = 6;
inline constexpr int kMaxCases = 21;

// Checks 1 <= index <= capacity.
inline void CheckIndex(int index, int capacity) {
  if (index < 1 || index > capacity)
    throw std::out_of_range("index outside its table");
}

// Windows object files cannot align data beyond 8 KiB, and the program asks
// for no large pages there.
#ifdef _WIN32
inline constexpr std::size_t kTableAlignment = 64;
#else
inline constexpr std::size_t kTableAlignment = std::size_t{2} << 20;
#endif

class RunState {
 public:
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

  // The vector code that reads the sample arrays and formats the waveform
  // columns: the driver asks the processor once (platform::BestKernel) and
  // sets it before the first reader runs. Every kernel gives the same values
  // and bytes.
  platform::Kernel kernel = platform::Kernel::kScalar;

  Text400& FLTDIR(int i) { return fltdir_[Slot(i, kFaultSlots)]; }
  const Text400& FLTDIR(int i) const { return fltdir_[Slot(i, kFaultSlots)]; }
  std::int32_t& LFLTDIR(int i) { return lfltdir_[Slot(i, kFaultSlots)]; }
  std::int32_t LFLTDIR(int i) const { return lfltdir_[Slot(i, kFaultSlots)]; }
  Text400& CASEDIR(int i) { return casedir_[Slot(i, kCaseSlots)]; }
  const Text400& CASEDIR(int i) const { return casedir_[Slot(i, kCaseSlots)]; }
  std::int32_t& LCASEDIR(int i) { return lcasedir_[Slot(i, kCaseSlots)]; }
  std::int32_t LCASEDIR(int i) const { return lcasedir_[Slot(i, kCaseSlots)]; }
  double& PERIOD(int j) { return period_[Slot(j, kPeriodPoints)]; }
  double PERIOD(int j) const { return period_[Slot(j, kPeriodPoints)]; }
  double& SVF(int i, int j) { return svf_[SvfSlot(i, j)]; }
  double SVF(int i, int j) const { return svf_[SvfSlot(i, j)]; }
  double& SVTGT(int j) { return svtgt_[Slot(j, kPeriodPoints)]; }
  double SVTGT(int j) const { return svtgt_[Slot(j, kPeriodPoints)]; }
  std::int32_t& NPTS(int i) { return npts_irank_[Slot(i, kCaseSlots)]; }
  std::int32_t NPTS(int i) const { return npts_irank_[Slot(i, kCaseSlots)]; }
  std::int32_t& IRANK(int i) { return npts_irank_[IrankSlot(i)]; }
  std::int32_t IRANK(int i) const { return npts_irank_[IrankSlot(i)]; }
  double& VMAX(int i) { return vmax_[Slot(i, kCaseSlots)]; }
  double VMAX(int i) const { return vmax_[Slot(i, kCaseSlots)]; }
  double& ACC(int i, int j) { return acc_[SampleSlot(i, j)]; }
  double ACC(int i, int j) const { return acc_[SampleSlot(i, j)]; }
  double& VEL(int i, int j) { return vel_[SampleSlot(i, j)]; }
  double VEL(int i, int j) const { return vel_[SampleSlot(i, j)]; }

  // Case i's samples 1 to 100000 of ACC and VEL, for loops that have
  // checked their bounds once.
  double* AccColumn(int i) { return acc_.data() + ColumnStart(i); }
  const double* AccColumn(int i) const { return acc_.data() + ColumnStart(i); }
  double* VelColumn(int i) { return vel_.data() + ColumnStart(i); }
  const double* VelColumn(int i) const { return vel_.data() + ColumnStart(i); }

  // The whole waveform tables, every case's column in case order.
  std::span<double> AccTable() { return acc_; }
  std::span<const double> AccTable() const { return acc_; }
  std::span<double> VelTable() { return vel_; }
  std::span<const double> VelTable() const { return vel_; }

 private:
  static constexpr std::size_t kColumn = kSampleCapacity;

  // The 0-based position of 1-based index i in a table of `capacity`.
  static std::size_t Slot(int i, int capacity) {
    CheckIndex(i, capacity);
    return static_cast<std::size_t>(i - 1);
  }
  static std::size_t SvfSlot(int i, int j) {
    return Slot(i, kFaultSlots) + kFaultSlots * Slot(j, kPeriodPoints);
  }
  static std::size_t IrankSlot(int i) {
    return kCaseSlots + Slot(i, kCaseSlots);
  }
  static std::size_t ColumnStart(int i) {
    return kColumn * Slot(i, kCaseSlots);
  }
  static std::size_t SampleSlot(int i, int j) {
    return ColumnStart(i) + Slot(j, kSampleCapacity);
  }

  std::array<Text400, kFaultSlots> fltdir_{};
  std::array<std::int32_t, kFaultSlots> lfltdir_{};
  std::array<Text400, kCaseSlots> casedir_{};
  std::array<std::int32_t, kCaseSlots> lcasedir_{};
  std::array<double, kPeriodPoints> period_{};
  std::array<double, kFaultSlots * kPeriodPoints> svf_{};  // (fault, period)
  std::array<double, kPeriodPoints> svtgt_{};
  std::array<std::int32_t, kCaseSlots * 2> npts_irank_{};  // NPTS, IRANK
  std::array<double, kCaseSlots> vmax_{};
  // (case, sample), one column of 100000 samples per case; 24 MB apiece,
  // each starting on a large page where the system has them (see
  // platform/memory.h), so that the advice to back them by large pages
  // covers them from their first byte.
  alignas(kTableAlignment) std::array<double, kCaseSlots * kColumn> acc_{};
  alignas(kTableAlignment) std::array<double, kCaseSlots * kColumn> vel_{};
};

// Puts the run state in its start state: NPER = 55, DT = 0.02, DEFFILE and
// the folder tables blank, used lengths 0, SVF and PERIOD 0.0, NPTS and IRANK
// 0. The other items are left as they are: zero in a new run state.
void InitializeRunState(RunState& state);

// The process's one run state, zero when the program starts (static storage:
// pages of the waveform tables that a run never touches cost no memory).
RunState& ProcessRunState();

}  // namespace lpgm

#endif  // LPGM_STATE_RUN_STATE_H_
