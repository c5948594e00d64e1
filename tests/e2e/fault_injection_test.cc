// Faults from outside the program: a console that is closed, at its end or
// gone, and input paths that name folders. Each run must end the way its
// failure calls for and leave the input folders exactly as they were, with
// no output file created.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "platform/encoding.h"
#include "support/input_folder.h"
#include "support/process_runner.h"

namespace lpgm::testing {
namespace {

namespace fs = std::filesystem;

std::string Cp932(const char* utf8) { return platform::Cp932Literal(utf8); }

std::string Prompt() { return Cp932("震源断層/ケースフォルダ定義ファイル:"); }

// Replaces the file at `relative` by an empty folder of the same name.
void MakeFolderOf(const TempDir& dir, const std::string& relative) {
  fs::path p = fs::path(dir.path()) / relative;
  fs::remove(p);
  fs::create_directory(p);
}

// Runs lpgm in `dir` and checks that the folder is unchanged afterwards.
ProcessResult RunLeavingFolderUnchanged(const TempDir& dir,
                                        ProcessOptions options) {
  std::map<std::string, std::string> before = Snapshot(dir.path());
  options.directory = dir.path();
  ProcessResult result = RunProcess(LpgmBinary(), options);
  EXPECT_EQ(Snapshot(dir.path()), before) << "the run changed or created files";
  EXPECT_EQ(result.signal, 0);
  return result;
}

const char kEndOfFileOnStdin[] =
    "lpgm: severe (24): end-of-file during read, unit 5, file stdin\n";
const char kWriteErrorOnStdout[] =
    "lpgm: severe (38): error during write, unit 6, file stdout\n";

// A closed descriptor is not an end of input: the read itself fails.
TEST(ConsoleFaultTest, ClosedStandardInputAtPromptIsReadError) {
  TempDir dir;
  CopyInputSet(ExampleFolder(), dir.path());
  ProcessOptions options;
  options.close_stdin = true;
  ProcessResult result = RunLeavingFolderUnchanged(dir, options);
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_EQ(result.out, Prompt());
  EXPECT_EQ(result.err,
            "lpgm: severe (39): error during read, unit 5, file stdin\n");
}

// Empty and blank lines are passed over while the answer is awaited, so the
// input ends before any answer was given.
TEST(ConsoleFaultTest, EndOfInputBeforeAnyAnswerIsEndOfFile) {
  for (const char* input : {"", "\n", "\r\n\n", "   \t \n"}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(input)));
    TempDir dir;
    CopyInputSet(ExampleFolder(), dir.path());
    ProcessOptions options;
    options.input = input;
    ProcessResult result = RunLeavingFolderUnchanged(dir, options);
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_EQ(result.out, Prompt());
    EXPECT_EQ(result.err, kEndOfFileOnStdin);
  }
}

// The answer is the only line: the pause after the message finds the end.
TEST(ConsoleFaultTest, EndOfInputAtErrorStopPauseIsEndOfFile) {
  struct Case {
    const char* input;
    const char* removed;  // an example file taken away, or nullptr
    std::string message;
  };
  const Case cases[] = {
      {"missing.csv\n", nullptr, "missing.csv not exist ! [Enter]"},
      // A last line without a line feed is still the answer.
      {"missing.csv", nullptr, "missing.csv not exist ! [Enter]"},
      // A pause after the definition file was read and closed.
      {"definition.csv\n", "faults/F3/Korvel長周期.csv",
       Cp932("faults\\F3\\Korvel長周期.csv not exist ! [Enter]")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    TempDir dir;
    CopyInputSet(ExampleFolder(), dir.path());
    if (c.removed != nullptr) fs::remove(fs::path(dir.path()) / c.removed);
    ProcessOptions options;
    options.input = c.input;
    ProcessResult result = RunLeavingFolderUnchanged(dir, options);
    EXPECT_EQ(result.exit_status, 2);
    EXPECT_EQ(result.out, Prompt() + c.message);
    EXPECT_EQ(result.err, kEndOfFileOnStdin);
  }
}

TEST(ConsoleFaultTest, ClosedStandardOutputIsWriteErrorOnUnit6) {
  TempDir dir;
  CopyInputSet(ExampleFolder(), dir.path());
  ProcessOptions options;
  options.close_stdout = true;
  options.input = "definition.csv\n";
  ProcessResult result = RunLeavingFolderUnchanged(dir, options);
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_EQ(result.err, kWriteErrorOnStdout);
}

// As when the program's output is piped into a reader that has already
// quit: the failed write must be reported, not end the process by a signal.
TEST(ConsoleFaultTest, BrokenPipeOnStandardOutputIsWriteErrorOnUnit6) {
  TempDir dir;
  CopyInputSet(ExampleFolder(), dir.path());
  ProcessOptions options;
  options.broken_stdout = true;
  options.input = "definition.csv\n";
  ProcessResult result = RunLeavingFolderUnchanged(dir, options);
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_EQ(result.err, kWriteErrorOnStdout);
}

// A folder where an input file belongs cannot be opened as that file.
TEST(FolderAsInputFileTest, EndsInNotExistErrorStop) {
  struct Case {
    const char* answer;
    const char* folder;  // made in place of an input file
    std::string message;
  };
  const Case cases[] = {
      {"defs\n", "defs", "defs not exist ! [Enter]"},
      {"definition.csv\n", "faults/F2/Korvel長周期.csv",
       Cp932("faults\\F2\\Korvel長周期.csv not exist ! [Enter]")},
      {"definition.csv\n", "cases/SYN03/加速度波形.acc",
       Cp932("cases\\SYN03\\加速度波形.acc not exist ! [Enter]")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    TempDir dir;
    CopyInputSet(ExampleFolder(), dir.path());
    MakeFolderOf(dir, c.folder);
    ProcessOptions options;
    options.input = std::string(c.answer) + "\n";  // Enter at the pause
    ProcessResult result = RunLeavingFolderUnchanged(dir, options);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.out, Prompt() + c.message);
    EXPECT_EQ(result.err, "");
  }
}

}  // namespace
}  // namespace lpgm::testing
