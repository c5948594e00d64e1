#include "platform/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/encoding.h"

namespace lpgm::platform {
namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/lpgm_fs_test_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir_ = templ;
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  // The CP932 name of `name` (given in UTF-8) inside the test directory,
  // with backslashes as the system composes it.
  std::string Cp932Path(const std::string& name) const {
    return dir_ + "\\" + Utf8ToCp932(name);
  }
  std::string HostFile(const std::string& name) const {
    return dir_ + "/" + name;
  }

  static void WriteHostFile(const std::string& path, const std::string& data) {
    std::ofstream file(path, std::ios::binary);
    file << data;
  }
  static std::string ReadHostFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  static std::string ReadAll(InputStream& input) {
    std::string data;
    char buffer[3];
    for (;;) {
      const long count = input.Read(buffer, sizeof(buffer));
      EXPECT_GE(count, 0);
      if (count <= 0) return data;
      data.append(buffer, static_cast<std::size_t>(count));
    }
  }

  std::string dir_;
  FileSystem& fs_ = ProcessFileSystem();
};

TEST(HostPathTest, BackslashesBecomeSlashesAfterDecoding) {
  EXPECT_EQ(HostPath("case1\\out\\a.csv"), "case1/out/a.csv");
  EXPECT_EQ(HostPath("\\"), "/");
  EXPECT_EQ(HostPath(Utf8ToCp932("\\Korvel長周期.csv")), "/Korvel長周期.csv");
  // 0x5C as the second byte of 表 is not a separator.
  EXPECT_EQ(HostPath("\x95\x5C\\\x95\x5C.csv"), "表/表.csv");
  // An undecodable byte passes, the backslash after it still separates.
  EXPECT_EQ(HostPath("a\xFF\\b"), "a\xFF/b");
}

TEST_F(FileSystemTest, ReadsFileByCp932Name) {
  WriteHostFile(HostFile("表長周期.csv"), "1.0,2.0\n3.0\n");
  OpenError error = OpenError::kOther;
  auto input = fs_.OpenForReading(Cp932Path("表長周期.csv"), &error);
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(error, OpenError::kNone);
  EXPECT_EQ(ReadAll(*input), "1.0,2.0\n3.0\n");
  char byte;
  EXPECT_EQ(input->Read(&byte, 1), 0);
}

TEST_F(FileSystemTest, OpenForReadingFailures) {
  WriteHostFile(HostFile("plain"), "x");
  std::filesystem::create_directory(HostFile("folder"));
  struct Case {
    std::string path;
    OpenError expected;
  };
  const Case cases[] = {
      {Cp932Path("folder"), OpenError::kIsDirectory},
      {Cp932Path("missing.csv"), OpenError::kNotFound},
      {Cp932Path("nofolder\\a.csv"), OpenError::kNotFound},
      {Cp932Path("plain\\a.csv"), OpenError::kNotFound},  // ENOTDIR
      {"", OpenError::kBadName},
      {Cp932Path(std::string("a\0b", 3)), OpenError::kBadName},
      {Cp932Path(std::string(5000, 'n')), OpenError::kBadName},
  };
  for (const Case& c : cases) {
    OpenError error = OpenError::kNone;
    EXPECT_EQ(fs_.OpenForReading(c.path, &error), nullptr) << c.path;
    EXPECT_EQ(error, c.expected) << c.path;
  }
}

// Only a regular file may be opened ahead of its turn: opening a pipe can
// wait for a writer, and a name found by its second forms is left alone.
TEST_F(FileSystemTest, OnlyRegularFilesCanBeReadAhead) {
  WriteHostFile(HostFile("plain.acc"), "x");
  std::filesystem::create_directory(HostFile("folder"));
  ASSERT_EQ(mkfifo(HostFile("pipe.acc").c_str(), 0600), 0);
  std::filesystem::create_symlink(HostFile("plain.acc"), HostFile("link.acc"));
  std::filesystem::create_symlink(HostFile("pipe.acc"), HostFile("plink.acc"));
  WriteHostFile(HostFile("\u301C.acc"), "second form");

  EXPECT_TRUE(fs_.CanReadAhead(Cp932Path("plain.acc")));
  EXPECT_TRUE(fs_.CanReadAhead(Cp932Path("link.acc")));
  EXPECT_FALSE(fs_.CanReadAhead(Cp932Path("folder")));
  EXPECT_FALSE(fs_.CanReadAhead(Cp932Path("pipe.acc")));
  EXPECT_FALSE(fs_.CanReadAhead(Cp932Path("plink.acc")));
  EXPECT_FALSE(fs_.CanReadAhead(Cp932Path("missing.acc")));
  EXPECT_FALSE(fs_.CanReadAhead(Cp932Path("\uFF5E.acc")));
  EXPECT_FALSE(fs_.CanReadAhead(""));
  EXPECT_FALSE(fs_.CanReadAhead(Cp932Path(std::string("a\0b", 3))));
}

// Input methods on Linux and macOS type the second Unicode form of seven
// CP932 characters (U+301C for the wave dash 0x8160, where CP932 decodes to
// U+FF5E): such names are found under the CP932 bytes the system composes.
TEST_F(FileSystemTest, PathWithSecondUnicodeFormsIsFound) {
  std::filesystem::create_directory(HostFile("case\u301C1"));
  WriteHostFile(HostFile("case\u301C1/a\u2212b\u00A2.csv"), "wave");
  OpenError error = OpenError::kOther;
  // Composed as 0x8160, 0x817C and 0x8191: the first forms on decoding.
  auto input =
      fs_.OpenForReading(Cp932Path("case\uFF5E1\\a\uFF0Db\uFFE0.csv"), &error);
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(error, OpenError::kNone);
  EXPECT_EQ(ReadAll(*input), "wave");

  // A name on disk that mixes the forms is not found: the second try puts
  // the second form throughout.
  WriteHostFile(HostFile("\u301C\uFF5E.csv"), "mixed");
  EXPECT_EQ(fs_.OpenForReading(Cp932Path("\uFF5E\uFF5E.csv"), &error), nullptr);
  EXPECT_EQ(error, OpenError::kNotFound);

  // The first form on disk is found at the first try.
  WriteHostFile(HostFile("\uFF5E.csv"), "first");
  input = fs_.OpenForReading(Cp932Path("\uFF5E.csv"), &error);
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(ReadAll(*input), "first");
}

TEST_F(FileSystemTest, OutputNameIsNeverTriedWithSecondForms) {
  std::filesystem::create_directory(HostFile("\u301C"));
  OpenError error = OpenError::kNone;
  EXPECT_EQ(fs_.OpenForWriting(Cp932Path("\uFF5E\\out.csv"), &error), nullptr);
  EXPECT_EQ(error, OpenError::kNotFound);
}

TEST_F(FileSystemTest, UnreadableFileIsPermissionError) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
  WriteHostFile(HostFile("locked"), "x");
  chmod(HostFile("locked").c_str(), 0);
  OpenError error = OpenError::kNone;
  EXPECT_EQ(fs_.OpenForReading(Cp932Path("locked"), &error), nullptr);
  EXPECT_EQ(error, OpenError::kPermission);
}

TEST_F(FileSystemTest, WritesNewFileByCp932Name) {
  OpenError error = OpenError::kOther;
  auto output = fs_.OpenForWriting(Cp932Path("入力用･目標.csv"), &error);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(error, OpenError::kNone);
  EXPECT_TRUE(output->Write("abc", 3));
  EXPECT_TRUE(output->Write("", 0));
  EXPECT_TRUE(output->Write("\n", 1));
  EXPECT_TRUE(output->Close());
  EXPECT_EQ(ReadHostFile(HostFile("入力用･目標.csv")), "abc\n");
  // A closed stream takes nothing more.
  EXPECT_FALSE(output->Write("x", 1));
}

TEST_F(FileSystemTest, ExistingFileIsReusedAndCutAfterWhatWasWritten) {
  const std::string path = HostFile("out.csv");
  WriteHostFile(path, "old content that is longer\n");
  auto output = fs_.OpenForWriting(Cp932Path("out.csv"), nullptr);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(ReadHostFile(path), "old content that is longer\n");
  EXPECT_TRUE(output->Write("new\n", 4));
  EXPECT_TRUE(output->Close());
  EXPECT_EQ(ReadHostFile(path), "new\n");
}

TEST_F(FileSystemTest, StreamLeftWithoutCloseIsStillCutAfterItsBytes) {
  const std::string path = HostFile("failed.csv");
  WriteHostFile(path, "a longer former content\n");
  {
    auto output = fs_.OpenForWriting(Cp932Path("failed.csv"), nullptr);
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(output->Write("part", 4));
  }
  EXPECT_EQ(ReadHostFile(path), "part");
}

TEST_F(FileSystemTest, FileOpenedButNeverWrittenKeepsItsContent) {
  const std::string path = HostFile("untouched.csv");
  WriteHostFile(path, "former content\n");
  {
    auto output = fs_.OpenForWriting(Cp932Path("untouched.csv"), nullptr);
    ASSERT_NE(output, nullptr);
  }
  EXPECT_EQ(ReadHostFile(path), "former content\n");
  // Closed without a byte written, it is cut to nothing.
  auto output = fs_.OpenForWriting(Cp932Path("untouched.csv"), nullptr);
  ASSERT_NE(output, nullptr);
  EXPECT_TRUE(output->Close());
  EXPECT_EQ(ReadHostFile(path), "");
}

TEST_F(FileSystemTest, DestructorClosesAndKeepsData) {
  const std::string path = HostFile("dropped.csv");
  {
    auto output = fs_.OpenForWriting(Cp932Path("dropped.csv"), nullptr);
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(output->Write("kept", 4));
  }
  EXPECT_EQ(ReadHostFile(path), "kept");
}

TEST_F(FileSystemTest, OpenForWritingFailures) {
  std::filesystem::create_directory(HostFile("folder"));
  OpenError error = OpenError::kNone;
  EXPECT_EQ(fs_.OpenForWriting(Cp932Path("folder"), &error), nullptr);
  EXPECT_EQ(error, OpenError::kIsDirectory);
  EXPECT_EQ(fs_.OpenForWriting(Cp932Path("nofolder\\a.csv"), &error), nullptr);
  EXPECT_EQ(error, OpenError::kNotFound);
  EXPECT_EQ(fs_.OpenForWriting("", &error), nullptr);
  EXPECT_EQ(error, OpenError::kBadName);
}

TEST_F(FileSystemTest, WriteToFullDeviceFails) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  OpenError error = OpenError::kOther;
  auto output = fs_.OpenForWriting("\\dev\\full", &error);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(error, OpenError::kNone);
  // A device is not cut.
  const bool written = output->Write("data\n", 5);
  const bool closed = output->Close();
  EXPECT_FALSE(written && closed);
}

// The calls by host path, on the disk: each one working, and each one
// failing as the system makes it fail.
TEST_F(FileSystemTest, WholeFilesAndFoldersByHostPath) {
  const std::string folder = HostFile("ケース/C1");
  ASSERT_TRUE(fs_.MakeFolders(folder).ok());
  ASSERT_TRUE(fs_.MakeFolders(folder).ok());  // a folder already
  const std::string file = folder + "/加速度波形.acc";
  EXPECT_TRUE(fs_.ReplaceWhole(file, "old").ok());
  EXPECT_TRUE(fs_.ReplaceWhole(file, "new, longer").ok());
  std::string content;
  EXPECT_TRUE(fs_.ReadWhole(file, &content).ok());
  EXPECT_EQ(content, "new, longer");
  std::optional<FileStatus> status = fs_.Status(file);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->is_regular);
  EXPECT_EQ(status->size, 11);
  status = fs_.Status(folder);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->is_folder);
  EXPECT_FALSE(fs_.Status(folder + "/none").has_value());
  EXPECT_TRUE(fs_.WriteWhole(HostFile("report.html"), "long text").ok());
  EXPECT_TRUE(fs_.WriteWhole(HostFile("report.html"), "short").ok());
  EXPECT_EQ(ReadHostFile(HostFile("report.html")), "short");
  EXPECT_TRUE(
      fs_.SameFile(file, HostFile("ケース/../ケース/C1/加速度波形.acc")));
  EXPECT_FALSE(fs_.SameFile(file, HostFile("report.html")));
  EXPECT_FALSE(fs_.WorkingDirectory().empty());
}

TEST_F(FileSystemTest, HostPathCallsFailWithTheirReasons) {
  std::string content = "kept";
  FileResult result = fs_.ReadWhole(HostFile("none"), &content);
  EXPECT_EQ(result.error, OpenError::kNotFound);
  EXPECT_EQ(result.reason, "No such file or directory");
  EXPECT_EQ(fs_.ReadWhole(dir_, &content).error, OpenError::kIsDirectory);
  EXPECT_EQ(content, "kept");
  EXPECT_EQ(fs_.ReadWhole(std::string("a\0b", 3), &content).error,
            OpenError::kBadName);
  WriteHostFile(HostFile("plain"), "x");
  EXPECT_FALSE(fs_.MakeFolders(HostFile("plain/sub")).ok());
  EXPECT_EQ(fs_.WriteWhole(HostFile("none/report.html"), "x").error,
            OpenError::kNotFound);
  EXPECT_EQ(fs_.ReplaceWhole("", "x").error, OpenError::kBadName);
}

// The new file cannot take the place of a folder: the rename fails, and
// neither the new file nor anything in the folder is left changed.
TEST_F(FileSystemTest, FailedReplacementLeavesNoHalfWrittenFile) {
  std::filesystem::create_directories(HostFile("target/inner"));
  const FileResult result = fs_.ReplaceWhole(HostFile("target"), "bytes");
  EXPECT_FALSE(result.ok());
  EXPECT_FALSE(result.reason.empty());
  EXPECT_FALSE(std::filesystem::exists(HostFile("target.part")));
  EXPECT_TRUE(std::filesystem::is_directory(HostFile("target/inner")));
  // Nothing can be written beside a file in a missing folder.
  EXPECT_EQ(fs_.ReplaceWhole(HostFile("none/case.acc"), "x").error,
            OpenError::kNotFound);
}

// Two threads at once, as lpgm-prepare's batches call it: folders that
// share their parents made by both, a file written and read back in each,
// and a failure's words, each call whole whatever the other thread does.
TEST_F(FileSystemTest, HostPathCallsTakeTwoThreadsAtOnce) {
  std::vector<std::string> failures[2];
  auto work = [&](int thread) {
    for (int i = 0; i < 50; ++i) {
      const std::string folder = HostFile("cases/set" + std::to_string(i) +
                                          "/r" + std::to_string(thread));
      const std::string file = folder + "/加速度波形.acc";
      const std::string bytes(static_cast<std::size_t>(100 + i), 'a');
      std::string content;
      if (!fs_.MakeFolders(folder).ok() ||
          !fs_.ReplaceWhole(file, bytes).ok() ||
          !fs_.ReadWhole(file, &content).ok() || content != bytes ||
          fs_.ReadWhole(folder + "/none", &content).reason !=
              "No such file or directory")
        failures[thread].push_back(folder);
    }
  };
  std::thread other(work, 1);
  work(0);
  other.join();
  EXPECT_TRUE(failures[0].empty()) << failures[0].front();
  EXPECT_TRUE(failures[1].empty()) << failures[1].front();
}

}  // namespace
}  // namespace lpgm::platform
