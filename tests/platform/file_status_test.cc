#include "platform/file_status.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace lpgm::platform {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

class FileStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder per test: CTest runs the tests side by side.
    folder_ = fs::temp_directory_path() /
              (std::string("lpgm_file_status_") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

TEST_F(FileStatusTest, FileGivesSizeAndATimeOfItsWriting) {
  const std::int64_t before = NowNs();
  // A Japanese name: the UTF-8 name must reach the system intact.
  const fs::path file = folder_ / fs::path(u8"加速度波形.acc");
  std::ofstream(file, std::ios::binary) << std::string(70000, 'x');
  const std::int64_t after = NowNs();
  std::optional<FileStatus> status = StatusOf(Utf8(file));
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->size, 70000);
  EXPECT_TRUE(status->is_regular);
  // File times are coarse on some file systems: seconds either side.
  constexpr std::int64_t kSlack = 3'000'000'000;
  EXPECT_GE(status->modified_ns, before - kSlack);
  EXPECT_LE(status->modified_ns, after + kSlack);
}

TEST_F(FileStatusTest, FolderIsNoRegularFileAndMissingOrBadNamesAreNone) {
  std::optional<FileStatus> status = StatusOf(Utf8(folder_));
  ASSERT_TRUE(status.has_value());
  EXPECT_FALSE(status->is_regular);
  EXPECT_FALSE(StatusOf(Utf8(folder_ / "missing.csv")).has_value());
  EXPECT_FALSE(StatusOf("").has_value());
  EXPECT_FALSE(StatusOf(std::string("a\0b", 3)).has_value());
}

}  // namespace
}  // namespace lpgm::platform
