// Files on Windows: opened by the wide form of their CP932 names, binary,
// reused and cut at the close, and the open failures the record layer tells
// apart.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/encoding.h"
#include "platform/file_system.h"

namespace lpgm::platform {
namespace {

namespace fs = std::filesystem;

class FileSystemWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    // One folder per test, also when all tests run in one process.
    static int serial = 0;
    dir_ = fs::temp_directory_path() /
           ("lpgm_fs_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++serial));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // The path of `name` (UTF-8) in the test folder.
  fs::path Host(const std::string& name) const {
    return dir_ / fs::path(std::u8string(name.begin(), name.end()));
  }
  // The CP932 name, with backslashes, as the system composes it.
  std::string Cp932(const std::string& name) const {
    const std::u8string dir = dir_.u8string();
    return Utf8ToCp932(std::string(dir.begin(), dir.end()) + "\\" + name);
  }
  static void WriteHost(const fs::path& path, const std::string& data) {
    std::ofstream file(path, std::ios::binary);
    file << data;
  }
  static std::string ReadHost(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  static std::string ReadAll(InputStream& input) {
    std::string data;
    char buffer[5];
    for (long count; (count = input.Read(buffer, sizeof buffer)) > 0;) {
      data.append(buffer, static_cast<std::size_t>(count));
    }
    return data;
  }
  OpenError WriteError(const std::string& cp932_path) {
    OpenError error = OpenError::kNone;
    EXPECT_EQ(fs_.OpenForWriting(cp932_path, &error), nullptr) << cp932_path;
    return error;
  }

  fs::path dir_;
  FileSystem& fs_ = ProcessFileSystem();
};

TEST_F(FileSystemWin32Test, BytesPassUntranslatedUnderJapaneseNames) {
  const std::string bytes =
      "a,1\r\nb\n\x1A"
      "c\r\r\n";
  OpenError error = OpenError::kOther;
  auto output = fs_.OpenForWriting(Cp932("入力用･目標.csv"), &error);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(error, OpenError::kNone);
  EXPECT_TRUE(output->Write(bytes.data(), bytes.size()));
  EXPECT_TRUE(output->Close());
  EXPECT_FALSE(output->Write("x", 1));
  EXPECT_EQ(ReadHost(Host("入力用･目標.csv")), bytes);

  fs::create_directory(Host("表フォルダ"));
  WriteHost(Host("表フォルダ/波形.csv"), bytes);
  auto input = fs_.OpenForReading(Cp932("表フォルダ\\波形.csv"), &error);
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(ReadAll(*input), bytes);
}

TEST_F(FileSystemWin32Test, ExistingFileIsReusedAndCutAfterWhatWasWritten) {
  WriteHost(Host("closed.csv"), "old content that is longer\r\n");
  WriteHost(Host("left.csv"), "old content that is longer\r\n");
  {
    auto output = fs_.OpenForWriting(Cp932("closed.csv"), nullptr);
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(output->Write("new\r\n", 5));
    EXPECT_TRUE(output->Close());
    // Left without Close, as after a failed write.
    auto left = fs_.OpenForWriting(Cp932("left.csv"), nullptr);
    ASSERT_NE(left, nullptr);
    EXPECT_TRUE(left->Write("ne", 2));
  }
  EXPECT_EQ(ReadHost(Host("closed.csv")), "new\r\n");
  EXPECT_EQ(ReadHost(Host("left.csv")), "ne");
}

TEST_F(FileSystemWin32Test, OpenForWritingFailuresMapToTheRecordLayer) {
  fs::create_directory(Host("folder"));
  EXPECT_EQ(WriteError(Cp932("folder")), OpenError::kIsDirectory);
  EXPECT_EQ(WriteError(Cp932("missing\\a.csv")), OpenError::kNotFound);
  EXPECT_EQ(WriteError(""), OpenError::kBadName);
  EXPECT_EQ(WriteError(Cp932("a<b>.csv")), OpenError::kBadName);
  EXPECT_EQ(WriteError(Cp932("") + "bad\xFF.csv"), OpenError::kBadName);
  EXPECT_EQ(WriteError(Cp932(std::string("a\0b", 3))), OpenError::kBadName);
}

TEST_F(FileSystemWin32Test, ReadOnlyFileIsPermissionFailure) {
  WriteHost(Host("readonly.csv"), "keep");
  const std::wstring name = Host("readonly.csv").wstring();
  ASSERT_TRUE(SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY));
  // Wine run by root maps the attribute to Unix permissions, which root
  // passes: there the system itself grants the write.
  const HANDLE probe =
      CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "this system lets a read-only file be written";
  }
  EXPECT_EQ(WriteError(Cp932("readonly.csv")), OpenError::kPermission);
  SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadHost(Host("readonly.csv")), "keep");
}

TEST_F(FileSystemWin32Test, FileHeldByAnotherProgramIsOtherFailure) {
  WriteHost(Host("held.csv"), "in a spreadsheet");
  // A spreadsheet holds the file open without sharing it for writing.
  const HANDLE held =
      CreateFileW(Host("held.csv").c_str(), GENERIC_READ, FILE_SHARE_READ,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WriteError(Cp932("held.csv")), OpenError::kOther);
  CloseHandle(held);
  EXPECT_EQ(ReadHost(Host("held.csv")), "in a spreadsheet");
}

TEST_F(FileSystemWin32Test, OpenForReadingFailures) {
  fs::create_directory(Host("folder"));
  OpenError error = OpenError::kNone;
  EXPECT_EQ(fs_.OpenForReading(Cp932("folder"), &error), nullptr);
  EXPECT_EQ(error, OpenError::kIsDirectory);
  EXPECT_EQ(fs_.OpenForReading(Cp932("missing.csv"), &error), nullptr);
  EXPECT_EQ(error, OpenError::kNotFound);
  EXPECT_EQ(fs_.OpenForReading(Cp932("no\\a.csv"), &error), nullptr);
  EXPECT_EQ(error, OpenError::kNotFound);
  EXPECT_EQ(fs_.OpenForReading("", &error), nullptr);
  EXPECT_EQ(error, OpenError::kBadName);
}

// Composed paths may pass the 260 characters of MAX_PATH.
// Only a regular file may be opened ahead of its turn: never a folder, a
// device or a pipe.
TEST_F(FileSystemWin32Test, OnlyRegularFilesCanBeReadAhead) {
  WriteHost(Host("加速度波形.acc"), "x");
  fs::create_directories(Host("folder"));
  EXPECT_TRUE(fs_.CanReadAhead(Cp932("加速度波形.acc")));
  EXPECT_FALSE(fs_.CanReadAhead(Cp932("folder")));
  EXPECT_FALSE(fs_.CanReadAhead(Cp932("missing.acc")));
  EXPECT_FALSE(fs_.CanReadAhead("\\\\.\\pipe\\lpgm"));
  EXPECT_FALSE(fs_.CanReadAhead("\\\\.\\NUL"));
  EXPECT_FALSE(fs_.CanReadAhead(""));
}

TEST_F(FileSystemWin32Test, PathsLongerThanMaxPathOpen) {
  std::string relative;
  fs::path host = dir_;
  for (int level = 0; level < 6; ++level) {
    const std::string folder = std::string(50, char('a' + level));
    relative += folder + "\\";
    host /= folder;
    ASSERT_TRUE(
        CreateDirectoryW((L"\\\\?\\" + host.wstring()).c_str(), nullptr));
  }
  const std::string path = Cp932(relative + "長い名前.csv");
  ASSERT_GT(path.size(), 300u);
  auto output = fs_.OpenForWriting(path, nullptr);
  ASSERT_NE(output, nullptr);
  EXPECT_TRUE(output->Write("deep", 4));
  EXPECT_TRUE(output->Close());
  auto input = fs_.OpenForReading(path, nullptr);
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(ReadAll(*input), "deep");
}

}  // namespace
}  // namespace lpgm::platform
