// What both systems share of the file system: the defaults of the calls by
// host path, the sameness of two files and the working directory (through
// std::filesystem, which takes UTF-16 names on Windows), and local time as
// text.
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/file_status.h"
#include "platform/file_system.h"
#include "platform/host_files.h"

namespace lpgm::platform {
namespace {

FileResult Unsupported() {
  return FileResult{OpenError::kOther, "not supported by this file system"};
}

// A UTF-8 name as a path: the narrow form of a path is the ANSI code page
// on Windows.
std::filesystem::path Utf8Path(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

std::optional<FileStatus> FileSystem::Status(std::string_view /*host_path*/) {
  return std::nullopt;
}

FileResult FileSystem::ReadWhole(std::string_view /*host_path*/,
                                 std::string* /*content*/) {
  return Unsupported();
}

FileResult FileSystem::MakeFolders(std::string_view /*host_path*/) {
  return Unsupported();
}

FileResult FileSystem::ReplaceWhole(std::string_view /*host_path*/,
                                    std::string_view /*bytes*/) {
  return Unsupported();
}

FileResult FileSystem::WriteWhole(std::string_view /*host_path*/,
                                  std::string_view /*bytes*/) {
  return Unsupported();
}

std::int64_t CurrentTimeNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string LocalTimeText(std::int64_t ns_since_epoch) {
  const auto seconds = static_cast<std::time_t>(ns_since_epoch / 1000000000);
  const std::tm local = LocalTime(seconds);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

namespace host {

bool SameFile(std::string_view host_a, std::string_view host_b) {
  std::error_code code;
  return std::filesystem::equivalent(Utf8Path(host_a), Utf8Path(host_b), code);
}

std::string WorkingDirectory() {
  std::error_code code;
  const std::filesystem::path cwd = std::filesystem::current_path(code);
  if (code) return std::string();
  const std::u8string utf8 = cwd.u8string();
  return std::string(utf8.begin(), utf8.end());
}

}  // namespace host
}  // namespace lpgm::platform
