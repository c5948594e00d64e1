// The three readers on the real file system, with Japanese folder names: the
// names the system composes are CP932 with backslashes, the folders on disk
// have UTF-8 names.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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
    return Ended([this] {
      platform::FileSystem& files = platform::ProcessFileSystem();
      ReadDefinitionFile(*state_, files);
      ReadSpectrumFiles(*state_, files);
      ReadAccelerationFiles(*state_, files);
    });
  }

  // How `read` ended: "returned", "stop: <message>" or "failure:
  // <diagnostic>".
  template <typename Read>
  static std::string Ended(Read read) {
    try {
      read();
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

// Many cases, read on two threads where the machine has two processors:
// the outcome is that of reading them one after another.
class ManyCasesOnDiskTest : public InputFilesOnDiskTest {
 protected:
  static std::string CaseName(int i) { return "ケース" + std::to_string(i); }

  // One fault and `cases` case folders; case i holds i + 1 samples
  // 1000 i + k unless `texts` gives its file's text.
  void WriteCases(int cases, const std::vector<std::string>& texts = {}) {
    dir_.WriteFile("断層/Korvel長周期.csv", SpectrumText(0));
    std::string definition = "t\n1," + std::to_string(cases) + "\nh\n1," +
                             Cp932Path("断層") + "\nh\n";
    for (int i = 1; i <= cases; ++i) {
      std::string text = std::to_string(i + 1) + ",0.02\r\n";
      for (int k = 1; k <= i + 1; ++k) {
        text += std::to_string(1000 * i + k) + (k % 8 == 0 ? "\r\n" : " ");
      }
      const auto given = static_cast<std::size_t>(i - 1);
      if (given < texts.size() && !texts[given].empty()) text = texts[given];
      if (text != "fifo") dir_.WriteFile(CaseName(i) + "/加速度波形.acc", text);
      definition += std::to_string(i) + "," + Cp932Path(CaseName(i)) + "\n";
    }
    dir_.WriteFile("def.csv", definition);
    SetDefinitionName(dir_.path() + "/def.csv");
  }

  // How reading case i alone ends, on a copy of the run state (whose
  // definition has been read).
  std::string ReadOneCase(int i) {
    auto alone = std::make_unique<RunState>(*state_);
    return Ended([&] {
      ReadAccelerationFile(*alone, platform::ProcessFileSystem(), i);
    });
  }
};

TEST_F(ManyCasesOnDiskTest, EveryCaseLandsInItsOwnColumn) {
  for (int round = 0; round < 5; ++round) {
    WriteCases(21);
    ASSERT_EQ(ReadAll(), "returned");
    for (int i = 1; i <= 21; ++i) {
      ASSERT_EQ(state_->NPTS(i), i + 1);
      for (int k = 1; k <= i + 1; ++k) {
        ASSERT_EQ(state_->ACC(i, k), 1000.0 * i + k) << i << " " << k;
      }
    }
  }
}

// What comes after each case's reading sees that case read, once.
TEST_F(ManyCasesOnDiskTest, AfterReadIsCalledOnceForEachCaseItsRecordIn) {
  WriteCases(21);
  ASSERT_EQ(ReadAll(), "returned");
  std::vector<std::atomic<int>> seen(22);
  ReadAccelerationFiles(*state_, platform::ProcessFileSystem(), [&](int i) {
    if (state_->NPTS(i) == i + 1 && state_->ACC(i, i + 1) == 1000.0 * i + i + 1)
      seen[static_cast<std::size_t>(i)]++;
  });
  for (int i = 1; i <= 21; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], 1);
}

TEST_F(ManyCasesOnDiskTest, TheFirstFailingCaseInOrderIsReported) {
  std::vector<std::string> texts(21);
  texts[4] = "3,0.02\n1 2 x\n";    // case 5: no number
  texts[6] = "4,0.02\n1 2\n";      // case 7: too short
  texts[11] = "100001,0.02\n1\n";  // case 12: over capacity
  texts[20] = "2,0.02\n1 2\n";     // case 21: fine
  for (int round = 0; round < 10; ++round) {
    WriteCases(21, texts);
    const std::string outcome = ReadAll();
    ASSERT_NE(outcome, "returned");
    ASSERT_EQ(outcome, ReadOneCase(5));
  }
  // With case 5 mended, case 7's failure, then case 12's error stop.
  texts[4].clear();
  WriteCases(21, texts);
  const std::string short_file = ReadAll();
  EXPECT_EQ(short_file, ReadOneCase(7));
  texts[6].clear();
  WriteCases(21, texts);
  const std::string stop = ReadAll();
  EXPECT_EQ(stop.rfind("stop: ", 0), 0u) << stop;
  EXPECT_EQ(stop, ReadOneCase(12));
}

// A pipe is opened only in its turn: a failure before it ends the reading
// without waiting for a writer that never comes.
TEST_F(ManyCasesOnDiskTest, APipeBehindAFailingCaseIsNeverOpened) {
  // Case 1 fails at its last sample, long after a second thread is about.
  std::vector<std::string> texts(4);
  texts[0] = "100000,0.02\n";
  for (int k = 1; k < 100000; ++k) texts[0] += "1.5 ";
  texts[0] += "x\n";
  texts[1] = "fifo";
  WriteCases(4, texts);
  const std::string folder = dir_.path() + "/" + CaseName(2);
  std::filesystem::create_directories(folder);
  const std::string pipe = folder + "/加速度波形.acc";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::string outcome = ReadAll();
  ASSERT_NE(outcome, "returned");
  EXPECT_EQ(outcome, ReadOneCase(1));
}

}  // namespace
}  // namespace lpgm
