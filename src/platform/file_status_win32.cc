// File status on Windows by the UTF-16 form of the UTF-8 name.
#include <windows.h>

#include <string>

#include "platform/file_status.h"
#include "platform/wide_text.h"

namespace lpgm::platform {
namespace {

// 100 ns ticks between 1601-01-01 (FILETIME) and 1970-01-01.
constexpr std::int64_t kEpochTicks = 116444736000000000LL;

std::int64_t Ticks(DWORD high, DWORD low) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) |
                                   low);
}

}  // namespace

std::optional<FileStatus> StatusOf(std::string_view host_path) {
  if (host_path.empty() || host_path.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  const std::wstring name = Utf8ToUtf16(host_path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  FileStatus result;
  result.size = Ticks(data.nFileSizeHigh, data.nFileSizeLow);
  const std::int64_t written = Ticks(data.ftLastWriteTime.dwHighDateTime,
                                     data.ftLastWriteTime.dwLowDateTime);
  result.modified_ns = (written - kEpochTicks) * 100;
  result.is_regular = (data.dwFileAttributes &
                       (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  result.is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return result;
}

std::tm LocalTime(std::time_t seconds) {
  std::tm local{};
  localtime_s(&local, &seconds);
  return local;
}

}  // namespace lpgm::platform
