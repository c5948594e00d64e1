// The bundled example, run as a user would.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/process_runner.h"

namespace lpgm::testing {
namespace {

TEST(ExampleRunTest, ShowsOnlyThePromptAndExitsZero) {
  TempDir dir;
  std::filesystem::copy(std::string(LPGM_SOURCE_DIR) + "/examples", dir.path(),
                        std::filesystem::copy_options::recursive);
  ProcessOptions options;
  options.directory = dir.path();
  options.input = "definition.csv\n";
  ProcessResult result = RunProcess(LpgmBinary(), options);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  // The prompt in CP932 (LC_ALL=C passes the bytes unchanged), no line end.
  EXPECT_EQ(result.out.size(), 36u);
}

}  // namespace
}  // namespace lpgm::testing
