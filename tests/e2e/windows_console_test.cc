// The Windows executable under Wine: what the Windows console rule and the
// Windows files add. These tests run only when LPGM_TEST_BINARY starts
// lpgm.exe under Wine and LPGM_TEST_WINE is set (scripts/windows-test.sh);
// elsewhere they are skipped.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2e/input_set.h"
#include "support/file_bytes.h"
#include "support/process_runner.h"

namespace lpgm::testing::e2e {
namespace {

using ::lpgm::testing::ReadFileBytes;

namespace fs = std::filesystem;

const fs::path kExample = fs::path(LPGM_SOURCE_DIR) / "examples";
const fs::path kGolden = fs::path(LPGM_SOURCE_DIR) / "tests/e2e/golden/example";

bool UnderWine() {
  const char* flag = std::getenv("LPGM_TEST_WINE");
  return flag != nullptr && *flag != '\0';
}

#define SKIP_UNLESS_UNDER_WINE() \
  if (!UnderWine()) GTEST_SKIP() << "the Windows executable is not under test"

void CopyExample(const TempDir& dir) {
  fs::copy(kExample, dir.path(), fs::copy_options::recursive);
}

void ExpectGoldenOutputs(const TempDir& dir) {
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(kOutputNames[k - 1]);
    EXPECT_TRUE(
        SameBytes(dir.ReadFile(kOutputNames[k - 1]),
                  ReadFileBytes(kGolden / (std::to_string(k) + ".csv"))));
  }
}

// Runs the program on a pseudo-terminal, which Wine shows to it as a
// console, with `typed` keyed in (Enter is a carriage return). Standard
// output and error both arrive in `out`.
ProcessResult RunOnConsole(const TempDir& dir, const std::string& typed) {
  dir.WriteFile("typed.txt", typed);
  // The keys are sent once the terminal no longer turns a carriage return
  // into a line feed nor Ctrl-Z into a signal: they reach the console as
  // the keys themselves.
  ProcessOptions options;
  options.directory = dir.path();
  options.env = {"LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin"};
  // script(1) ends when its input does: the keys stay open until the
  // program has ended and left its status.
  options.input =
      "mkfifo keys\n"
      "(sleep 2; cat typed.txt\n"
      " while [ ! -e status ]; do sleep 0.2; done) > keys &\n"
      "script -qc 'stty -icrnl -onlcr -isig; \"" +
      LpgmBinary() +
      "\"; echo $? > status' /dev/null < keys\n"
      "wait\n"
      "status=$(cat status)\n"
      "rm -f keys typed.txt status\n"
      "exit $status\n";
  return RunProcess("/bin/sh", options);
}

TEST(WineConsoleTest, RedirectedConsoleIsRawCp932UnderAUtf8Locale) {
  SKIP_UNLESS_UNDER_WINE();
  TempDir dir;
  CopyExample(dir);
  ProcessOptions options;
  options.directory = dir.path();
  options.input = "definition.csv\n";
  options.env = {"LC_ALL=C.UTF-8"};
  ProcessResult result = RunProcess(LpgmBinary(), options);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, kPrompt);
  EXPECT_EQ(result.err, "");
  ExpectGoldenOutputs(dir);
}

TEST(WineConsoleTest, ConsoleShowsThePromptInUnicode) {
  SKIP_UNLESS_UNDER_WINE();
  TempDir dir;
  CopyExample(dir);
  ProcessResult result = RunOnConsole(dir, "definition.csv\r");
  EXPECT_EQ(result.exit_status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find(kPromptUtf8), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find(kPrompt), std::string::npos);
  ExpectGoldenOutputs(dir);
}

// The definition file on disk has the wave dash of CP932 (U+FF5E); typed
// with the other Unicode form (U+301C), it is the same CP932 name.
TEST(WineConsoleTest, JapaneseNameTypedAtTheConsoleOpensTheFile) {
  SKIP_UNLESS_UNDER_WINE();
  TempDir dir;
  CopyExample(dir);
  fs::rename(fs::path(dir.path()) / "definition.csv",
             fs::path(dir.path()) / "定義～表.csv");
  ProcessResult result = RunOnConsole(dir, "定義〜表.csv\r");
  EXPECT_EQ(result.exit_status, 0) << result.out;
  ExpectGoldenOutputs(dir);
}

TEST(WineConsoleTest, CtrlZAtTheStartOfATypedLineIsEndOfInput) {
  SKIP_UNLESS_UNDER_WINE();
  TempDir dir;
  CopyExample(dir);
  ProcessResult result = RunOnConsole(dir, "\x1A\r");
  EXPECT_EQ(result.exit_status, 2) << result.out;
  EXPECT_NE(result.out.find(kStdinEof.substr(0, kStdinEof.size() - 1)),
            std::string::npos)
      << result.out;
}

TEST(WineFilesTest, ReadOnlyOutputFileIsPermissionFailure9) {
  SKIP_UNLESS_UNDER_WINE();
  // Wine maps the read-only attribute to Unix permissions, which root passes.
  if (geteuid() == 0) GTEST_SKIP() << "root writes any file";
  TempDir dir;
  CopyExample(dir);
  dir.WriteFile(kOutputNames[2], "kept");
  const std::string held = dir.path() + "/" + kOutputNames[2];
  ASSERT_EQ(chmod(held.c_str(), 0444), 0);
  ProcessOptions options;
  options.directory = dir.path();
  options.input = "definition.csv\n";
  ProcessResult result = RunProcess(LpgmBinary(), options);
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_EQ(result.err,
            "lpgm: severe (9): permission to access file denied, unit 23, "
            "file " +
                Cp(kOutputNames[2]) + "\n");
  EXPECT_EQ(dir.ReadFile(kOutputNames[2]), "kept");
}

}  // namespace
}  // namespace lpgm::testing::e2e
