// What a program may ask of a file besides its bytes: whether it exists, its
// size, when it was last changed, and the local time of such a moment.
// Programs ask it through FileSystem::Status.
#ifndef LPGM_PLATFORM_FILE_STATUS_H_
#define LPGM_PLATFORM_FILE_STATUS_H_

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace lpgm::platform {

struct FileStatus {
  long long size = 0;
  std::int64_t modified_ns = 0;  // since the epoch
  bool is_regular = true;        // false for a folder or a device
  bool is_folder = false;
};

// The file at `host_path` (UTF-8, '/' or '\' as separators); nullopt when
// there is none or it cannot be examined.
std::optional<FileStatus> StatusOf(std::string_view host_path);

// `seconds` since the epoch in the local time zone of the process.
std::tm LocalTime(std::time_t seconds);

// The current time in nanoseconds since the epoch.
std::int64_t CurrentTimeNs();

// A moment (nanoseconds since the epoch) as local time
// "YYYY-MM-DD HH:MM:SS".
std::string LocalTimeText(std::int64_t ns_since_epoch);

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_FILE_STATUS_H_
