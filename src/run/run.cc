#include "run/run.h"

#include <exception>
#include <string>

#include "compute/ranking.h"
#include "compute/target_spectrum.h"
#include "compute/velocity.h"
#include "input/acceleration_file.h"
#include "input/definition_file.h"
#include "input/spectrum_file.h"
#include "output/output_files.h"
#include "platform/memory.h"
#include "platform/process.h"
#include "record/failure.h"
#include "run/dialogue.h"

namespace lpgm {
namespace {

void RunSteps(Dialogue& dialogue, platform::FileSystem& files,
              RunState& state) {
  // The waveform tables are filled a column at a time, megabytes each.
  platform::AdviseLargePages(state.acc.data(), sizeof state.acc);
  platform::AdviseLargePages(state.vel.data(), sizeof state.vel);
  InitializeRunState(state);
  dialogue.AskDefinitionFile(state);
  ReadDefinitionFile(state, files);
  ReadSpectrumFiles(state, files);
  ReadAccelerationFiles(state, files);
  ComputeTargetSpectrum(state);
  ComputeVelocities(state);
  RankCases(state);
  WriteInputUseFiles(state, files);
  WriteReferenceFiles(state, files);
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
      return platform::kExitNormal;
    } catch (const RunStop& stop) {
      if (stop.kind() != RunStop::Kind::kErrorStop) throw;
      dialogue.ShowAndPause(stop.message());
      return platform::kExitErrorStop;
    }
  } catch (const RunStop& stop) {
    console.WriteErrorLine(stop.message());
    return platform::kExitRecordFailure;
  } catch (const std::exception& e) {
    console.WriteErrorLine(std::string("lpgm: internal error: ") + e.what());
    return platform::kExitRecordFailure;
  }
}

}  // namespace lpgm
