// lpgm-spectrum: the response spectra of a strong-motion record.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/kernel.h"
#include "platform/processors.h"
#include "spectrum/spectrum_program.h"
#include "state/run_state.h"

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> text =
        lpgm::platform::Utf8Arguments(argc, argv);
    const std::vector<std::string_view> args(text.begin(), text.end());
    lpgm::spectrum::SpectrumEnvironment env{
        lpgm::platform::ProcessFileSystem(), lpgm::platform::ProcessConsole(),
        lpgm::ProcessRunState(), lpgm::platform::BestKernel(),
        lpgm::platform::UsableProcessors()};
    return lpgm::spectrum::RunSpectrum(args, env);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lpgm-spectrum: internal error: %s\n", e.what());
    return 70;
  }
}
