// lpgm-prepare: converts a strong-motion record into a case file of lpgm.
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "platform/arguments.h"
#include "platform/file_system.h"
#include "platform/standard_output.h"
#include "prepare/prepare.h"

int main(int argc, char** argv) {
  lpgm::prepare::PrepareEnvironment env{lpgm::platform::ProcessFileSystem(),
                                        lpgm::platform::RawStandardOutput(),
                                        lpgm::platform::RawStandardError()};
  try {
    const std::vector<std::string> text =
        lpgm::platform::Utf8Arguments(argc, argv);
    std::vector<std::string_view> args(text.begin(), text.end());
    return lpgm::prepare::RunPrepare(args, env);
  } catch (const std::exception& e) {
    // Only the arguments' memory can fail before the driver runs.
    const std::string line =
        std::string("lpgm-prepare: internal error: ") + e.what() + "\n";
    (void)env.err.Write(line.data(), line.size());
    return lpgm::prepare::kExitInternal;
  }
}
