// Opening an input file with a checked status: a file that cannot be opened
// (missing, a directory, no permission, a bad name) is the error stop
// "<path> not exist ! [Enter]".
#ifndef LPGM_INPUT_INPUT_OPEN_H_
#define LPGM_INPUT_INPUT_OPEN_H_

#include <memory>
#include <string_view>

#include "platform/file_system.h"
#include "state/error_stop.h"

namespace lpgm {

inline std::unique_ptr<platform::InputStream> OpenInputOrStop(
    platform::FileSystem& files, std::string_view path) {
  platform::OpenError error = platform::OpenError::kNone;
  std::unique_ptr<platform::InputStream> stream =
      files.OpenForReading(path, &error);
  if (!stream) StopWithMessage(StopReason::kCannotOpen, NotExistMessage(path));
  return stream;
}

}  // namespace lpgm

#endif  // LPGM_INPUT_INPUT_OPEN_H_
