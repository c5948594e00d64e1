#include <algorithm>

#include "platform/encoding.h"
#include "platform/file_system.h"

namespace lpgm::platform {

std::string HostPath(std::string_view cp932_path) {
  // Replaced after decoding: in the UTF-8 text a 0x5C byte can only be the
  // backslash, never the second byte of a double-byte character.
  std::string path = Cp932ToUtf8(cp932_path);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

}  // namespace lpgm::platform
