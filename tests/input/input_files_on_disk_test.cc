// The three readers on the real file system, with Japanese folder names: the
// names the system composes are CP932 with backslashes, the folders on disk
// have UTF-8 names.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "input/acceleration_file.h"
#include "input/definition_file.h"
#include "input/spectrum_file.h"
#include "platform/encoding.h"
#include "platform/file_system.h"
#include "record/failure.h"
#include "record/trimmed_length.h"
#include "state/run_state.h"
#include "support/process_runner.h"

namespace lpgm {
namespace {

using platform::Utf8ToCp932;

std::string SpectrumText(double sv_base) {
  std::string text;
  for (int h = 0; h < 9; ++h) text += "header\r\n";
  for (int j = 1; j <= 55; ++j) {
    text += std::to_string(j) + ".25";
    for (int k = 2; k <= 27; ++k) text += ",0";
    text += "," + std::to_string(sv_base + j) + "\r\n";
  }
  return text;
}

class InputFilesOnDiskTest : public ::testing::Test {
 protected:
  InputFilesOnDiskTest() : state_(std::make_unique<RunState>()) {
    InitializeRunState(*state_);
  }

  // The CP932 name, with backslashes, of `relative` (UTF-8, with
  // backslashes) inside the temporary folder, whose path is ASCII.
  std::string Cp932Path(const std::string& relative) const {
    return dir_.path() + "\\" + Utf8ToCp932(relative);
  }

  void SetDefinitionName(const std::string& cp932_name) {
    ASSERT_LE(cp932_name.size(), 40u);
    FillBlanks(state_->DEFFILE);
    std::copy(cp932_name.begin(), cp932_name.end(), state_->DEFFILE.begin());
    state_->LDEFFILE = LCHR40(state_->DEFFILE);
  }

  // Runs the three readers; describes how they ended.
  std::string ReadAll() {
    platform::FileSystem& files = platform::ProcessFileSystem();
    try {
      ReadDefinitionFile(*state_, files);
      ReadSpectrumFiles(*state_, files);
      ReadAccelerationFiles(*state_, files);
    } catch (const RunStop& stop) {
      return stop.kind() == RunStop::Kind::kMessage
                 ? "stop: " + stop.message()
                 : "failure: " + stop.message();
    }
    return "returned";
  }

  testing::TempDir dir_;
  std::unique_ptr<RunState> state_;
};

TEST_F(InputFilesOnDiskTest, ReadsFoldersNamedInCp932WithBackslashes) {
  // 表, ソ and 能 end in the byte 0x5C in CP932: it must not become a
  // folder separator.
  dir_.WriteFile("震源/断層1/Korvel長周期.csv", SpectrumText(100));
  dir_.WriteFile("震源/表示ソ/Korvel長周期.csv", SpectrumText(200));
  dir_.WriteFile("ケース/ケース1/加速度波形.acc", "3,0.02\r\n1 2 3\r\n");
  dir_.WriteFile("ケース/能力/加速度波形.acc", "2\n-4.5,5\n");
  dir_.WriteFile("定義.csv",
                 "title\r\n2,2\r\nfaults\r\n"
                 "2," +
                     Cp932Path(R"(震源\表示ソ)") +
                     "\r\n"
                     "1," +
                     Cp932Path(R"(震源\断層1)") +
                     "\r\n"
                     "cases\r\n"
                     "1," +
                     Cp932Path(R"(ケース\ケース1)") +
                     "\r\n"
                     "2," +
                     Cp932Path(R"(ケース\能力)") + "\r\n");
  SetDefinitionName(Cp932Path("定義.csv"));

  ASSERT_EQ(ReadAll(), "returned");
  EXPECT_EQ(state_->NFAULT, 2);
  EXPECT_EQ(state_->NCASE, 2);
  EXPECT_EQ(SpectrumFilePath(*state_, 2),
            Cp932Path(R"(震源\表示ソ\Korvel長周期.csv)"));
  EXPECT_EQ(state_->PERIOD(55), 55.25);
  EXPECT_EQ(state_->SVF(1, 1), 101.0);
  EXPECT_EQ(state_->SVF(2, 55), 255.0);
  EXPECT_EQ(state_->NPTS(1), 3);
  EXPECT_EQ(state_->ACC(1, 3), 3.0);
  EXPECT_EQ(state_->NPTS(2), 2);
  EXPECT_EQ(state_->ACC(2, 1), -4.5);
  EXPECT_EQ(state_->ACC(2, 2), 5.0);
}

TEST_F(InputFilesOnDiskTest, DirectoryAsDefinitionFileIsAFileThatDoesNotExist) {
  dir_.WriteFile("定義/placeholder", "");
  SetDefinitionName(Cp932Path("定義"));
  EXPECT_EQ(ReadAll(), "stop: " + Cp932Path("定義") + " not exist ! [Enter]");
}

TEST_F(InputFilesOnDiskTest, MissingFolderIsShownAsComposedWithBackslashes) {
  dir_.WriteFile("断層/Korvel長周期.csv", SpectrumText(0));
  dir_.WriteFile("def.csv", "t\n1,1\nh\n1," + Cp932Path("断層") + "\nh\n1," +
                                Cp932Path(R"(ケース\無い)") + "\n");
  SetDefinitionName(dir_.path() + "\\def.csv");
  EXPECT_EQ(ReadAll(), "stop: " + Cp932Path(R"(ケース\無い\加速度波形.acc)") +
                           " not exist ! [Enter]");
}

TEST_F(InputFilesOnDiskTest, ShortFileIsNamedInTheDiagnosticAsComposed) {
  dir_.WriteFile("断層/Korvel長周期.csv", "only\nthree\nlines\n");
  dir_.WriteFile("def.csv", "t\n1,1\nh\n1," + Cp932Path("断層") + "\nh\n1,c\n");
  SetDefinitionName(dir_.path() + "/def.csv");
  EXPECT_EQ(ReadAll(),
            "failure: " +
                DiagnosticLine(24, 12, Cp932Path(R"(断層\Korvel長周期.csv)")));
}

}  // namespace
}  // namespace lpgm
