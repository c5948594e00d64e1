#include "run/run.h"

#include <exception>
#include <string>

#include "compute/longest_record.h"
#include "compute/ranking.h"
#include "compute/target_spectrum.h"
#include "compute/velocity.h"
#include "input/acceleration_file.h"
#include "input/definition_file.h"
#include "input/spectrum_file.h"
#include "output/output_files.h"
#include "platform/kernel.h"
#include "platform/memory.h"
#include "record/failure.h"
#include "run/dialogue.h"

namespace lpgm {
namespace {

void RunSteps(Dialogue& dialogue, platform::FileSystem& files,
              RunState& state) {
  // The waveform table is filled a column at a time, megabytes each.
  platform::AdviseLargePages(state.AccTable().data(),
                             state.AccTable().size_bytes());
  InitializeRunState(state);
  state.kernel = platform::BestKernel();
  dialogue.AskDefinitionFile(state);
  ReadDefinitionFile(state, files);
  ReadSpectrumFiles(state, files);
  // Each case's peak velocity is integrated as soon as its record is in, by
  // the thread that read it: the same arithmetic, case by case.
  ReadAccelerationFiles(state, files,
                        [&state](int i) { ComputePeakVelocity(state, i); });
  ComputeTargetSpectrum(state);
  RankCases(state);
  ComputeLongestRecord(state);
  WriteTargetSpectrumFile(state, files);
  WritePhaseAccelerationFile(state, files);
  WriteFaultSpectraFile(state, files);
  WriteCaseAccelerationsFile(state, files);
  // Nothing reads the accelerations after file 24: they become the
  // velocities in place, so that the VEL table is never touched (17 MB of
  // fresh pages the system would have to clear, for 21 cases of 100000).
  TurnAccelerationsIntoVelocities(state);
  WriteCaseVelocitiesFile(state, files, VelocityColumns::kInAcc);
  WriteCasePeaksFile(state, files);
}

}  // namespace

int RunProgram(platform::Console& console, platform::FileSystem& files,
               RunState& state) {
  // Floating-point exceptions stay masked (the default): an overflow or an
  // invalid operation gives an infinity or NaN and the run goes on.
  try {
    Dialogue dialogue(console);
    try {
      RunSteps(dialogue, files, state);
      return kExitNormal;
    } catch (const RunStop& stop) {
      if (stop.kind() != RunStop::Kind::kMessage) throw;
      dialogue.ShowAndPause(stop.message());
      return kExitErrorStop;
    }
  } catch (const RunStop& stop) {
    console.WriteErrorLine(stop.message());
    return kExitRecordFailure;
  } catch (const std::exception& e) {
    console.WriteErrorLine(std::string("lpgm: internal error: ") + e.what());
    return kExitRecordFailure;
  }
}

}  // namespace lpgm
