// lpgm-check: checks the inputs of lpgm and reports what lpgm would compute
// from them.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "check/check_program.h"
#include "check/file_probe.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/posix_io.h"
#include "state/run_state.h"

namespace {

// Standard output with the bytes unchanged.
class StandardOutput : public lpgm::platform::OutputStream {
 public:
  bool Write(const char* data, std::size_t size) override {
    return lpgm::platform::WriteAll(STDOUT_FILENO, data, size) == size;
  }
};

std::string WorkingDirectory() {
  std::error_code ec;
  std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? std::string() : cwd.string();
}

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  StandardOutput out;
  lpgm::check::CheckEnvironment env{lpgm::platform::ProcessConsole(),
                                    lpgm::platform::ProcessFileSystem(),
                                    lpgm::check::ProcessFileProbe(),
                                    lpgm::ProcessRunState(),
                                    out,
                                    WorkingDirectory(),
                                    lpgm::check::LocalTimeText(NowNs())};
  return lpgm::check::RunCheckProgram(args, env);
}
