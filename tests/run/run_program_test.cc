// The whole run in-process, over the in-memory file system: the six writers
// open, write and close their files in channel order, reuse and cut a file
// that exists, and stop at the first file that cannot be opened.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "output/output_files.h"
#include "platform/encoding.h"
#include "run/run.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"
#include "support/input_folder.h"
#include "support/memory_console.h"

namespace lpgm {
namespace {

using testing::FakeFileSystem;
using testing::MemoryConsole;

std::string Golden(int k) {
  std::ifstream in(std::string(LPGM_SOURCE_DIR) + "/tests/e2e/golden/example/" +
                       std::to_string(k) + ".csv",
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> OutputNames(int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.emplace_back(OutputFileName(i));
  return names;
}

// Runs the program on the example held in `files`, typing its name.
int RunExample(FakeFileSystem& files, MemoryConsole& console) {
  files.AddInputSet(testing::ExampleFolder());
  auto state = std::make_unique<RunState>();
  InitializeRunState(*state);
  return RunProgram(console, files, *state);
}

TEST(RunProgramTest, WritesTheSixFilesInOrderOneOpenAtATime) {
  FakeFileSystem files;
  MemoryConsole console("definition.csv\n");
  // An existing longer file is written over and cut to this run's bytes.
  files.AddFile(std::string(OutputFileName(3)), std::string(1 << 20, 'x'));
  ASSERT_EQ(RunExample(files, console), kExitNormal) << console.errors();
  EXPECT_EQ(console.errors(), "");
  EXPECT_EQ(console.shown(),
            platform::Cp932Literal("震源断層/ケースフォルダ定義ファイル:"));
  EXPECT_EQ(files.WritePaths(), OutputNames(6));
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(files.Content(OutputFileName(k - 1)) == Golden(k));
  }
  EXPECT_EQ(files.open_streams(), 0);
  EXPECT_EQ(files.max_open_streams(), 1);
}

TEST(RunProgramTest, StopsAtTheFirstOutputThatCannotBeOpened) {
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(k);
    FakeFileSystem files;
    MemoryConsole console("definition.csv\n");
    const std::string name(OutputFileName(k - 1));
    files.AddDirectory(name);
    EXPECT_EQ(RunExample(files, console), kExitRecordFailure);
    EXPECT_EQ(console.errors(), "lpgm: severe (30): open failure, unit " +
                                    std::to_string(20 + k) + ", file " + name +
                                    "\n");
    EXPECT_EQ(files.WritePaths(), OutputNames(k - 1));
    for (int before = 1; before < k; ++before)
      EXPECT_TRUE(files.Content(OutputFileName(before - 1)) == Golden(before));
    EXPECT_EQ(files.open_streams(), 0);
  }
}

}  // namespace
}  // namespace lpgm
