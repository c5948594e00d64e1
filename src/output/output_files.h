// The six output files, written into the current directory in this order on
// channels 21 to 26, each opened, written whole and closed before the next:
//
//   21 "入力用･目標速度スペクトル.csv"      period, target Sv            (input
//   use) 22 "入力用･位相用加速度波形.csv"        time, phase case accel. (input
//   use) 23 "参考･各震源断層の速度スペクトル.csv" period, Sv of every fault 24
//   "参考･各ケースの加速度波形.csv"      time, accel. of every case 25
//   "参考･各ケースの速度波形.csv"        time, velocity of every case 26
//   "参考･各ケースの最大速度.csv"        peak velocity and rank per case
//
// A missing file is created; an existing one is reused and cut to this run's
// records. Any failure to open or write is a record-layer failure on the
// file's channel; files written before it stay.
#ifndef LPGM_OUTPUT_OUTPUT_FILES_H_
#define LPGM_OUTPUT_OUTPUT_FILES_H_

#include <string_view>

#include "platform/file_system.h"
#include "state/run_state.h"

namespace lpgm {

// The CP932 name of output file `index` (0 to 5, channel 21 + index).
std::string_view OutputFileName(int index);

// The six writers, in the order the driver calls them. Each opens, writes
// and closes its file. The waveform files need NPMAX set.
void WriteTargetSpectrumFile(const RunState& state,
                             platform::FileSystem& files);  // 21
void WritePhaseAccelerationFile(const RunState& state,
                                platform::FileSystem& files);  // 22
void WriteFaultSpectraFile(const RunState& state,
                           platform::FileSystem& files);  // 23
void WriteCaseAccelerationsFile(const RunState& state,
                                platform::FileSystem& files);  // 24
// Where file 25 finds the velocities: in VEL, or in ACC once the run has
// turned its accelerations into them (TurnAccelerationsIntoVelocities).
enum class VelocityColumns { kInVel, kInAcc };
void WriteCaseVelocitiesFile(
    const RunState& state, platform::FileSystem& files,
    VelocityColumns where = VelocityColumns::kInVel);  // 25
void WriteCasePeaksFile(const RunState& state,
                        platform::FileSystem& files);  // 26

}  // namespace lpgm

#endif  // LPGM_OUTPUT_OUTPUT_FILES_H_
