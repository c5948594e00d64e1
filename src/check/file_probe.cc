#include "check/file_probe.h"

#include <sys/stat.h>

#include <ctime>

namespace lpgm::check {
namespace {

class PosixFileProbe : public FileProbe {
 public:
  std::optional<FileStat> Stat(std::string_view host_path) override {
    struct stat st {};
    if (stat(std::string(host_path).c_str(), &st) != 0) return std::nullopt;
    FileStat result;
    result.size = static_cast<long long>(st.st_size);
    result.modified_ns =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
        st.st_mtim.tv_nsec;
    result.is_regular = S_ISREG(st.st_mode);
    return result;
  }
};

}  // namespace

FileProbe& ProcessFileProbe() {
  static PosixFileProbe probe;
  return probe;
}

std::string LocalTimeText(std::int64_t ns_since_epoch) {
  std::time_t seconds = static_cast<std::time_t>(ns_since_epoch / 1000000000);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace lpgm::check
