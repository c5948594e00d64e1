#include "platform/file_status.h"

#include <sys/stat.h>

#include <string>

namespace lpgm::platform {

std::optional<FileStatus> StatusOf(std::string_view host_path) {
  struct stat st {};
  if (stat(std::string(host_path).c_str(), &st) != 0) return std::nullopt;
  FileStatus result;
  result.size = static_cast<long long>(st.st_size);
  result.modified_ns =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
      st.st_mtim.tv_nsec;
  result.is_regular = S_ISREG(st.st_mode);
  result.is_folder = S_ISDIR(st.st_mode);
  return result;
}

std::tm LocalTime(std::time_t seconds) {
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

}  // namespace lpgm::platform
