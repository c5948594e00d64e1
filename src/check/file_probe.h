// What the checker asks of a file besides its bytes: whether it exists, its
// size and when it was last changed. Behind an interface so that tests can
// give the times they need.
#ifndef LPGM_CHECK_FILE_PROBE_H_
#define LPGM_CHECK_FILE_PROBE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lpgm::check {

struct FileStat {
  long long size = 0;
  std::int64_t modified_ns = 0;  // since the epoch
  bool is_regular = true;
};

class FileProbe {
 public:
  virtual ~FileProbe() = default;
  // The file at `host_path` (UTF-8, as the operating system takes it);
  // nullopt when there is none.
  virtual std::optional<FileStat> Stat(std::string_view host_path) = 0;
};

// The real file system's view.
FileProbe& ProcessFileProbe();

// A time as local time "YYYY-MM-DD HH:MM:SS".
std::string LocalTimeText(std::int64_t ns_since_epoch);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_FILE_PROBE_H_
