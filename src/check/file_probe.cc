#include "check/file_probe.h"

#include <ctime>

#include "platform/file_status.h"

namespace lpgm::check {
namespace {

class ProcessProbe : public FileProbe {
 public:
  std::optional<FileStat> Stat(std::string_view host_path) override {
    std::optional<platform::FileStatus> status = platform::StatusOf(host_path);
    if (!status) return std::nullopt;
    return FileStat{status->size, status->modified_ns, status->is_regular};
  }
};

}  // namespace

FileProbe& ProcessFileProbe() {
  static ProcessProbe probe;
  return probe;
}

std::string LocalTimeText(std::int64_t ns_since_epoch) {
  std::time_t seconds = static_cast<std::time_t>(ns_since_epoch / 1000000000);
  std::tm local = platform::LocalTime(seconds);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace lpgm::check
