#include "prepare/console_output.h"

#include <string_view>

#include "platform/encoding.h"

namespace lpgm::prepare {

bool ConsoleOutput::Write(const char* data, std::size_t size) {
  const std::string cp932 = platform::Utf8ToCp932(std::string_view(data, size));
  return console_.Output().Write(cp932.data(), cp932.size());
}

bool ConsoleError::Write(const char* data, std::size_t size) {
  pending_.append(data, size);
  std::size_t start = 0;
  for (std::size_t end = pending_.find('\n'); end != std::string::npos;
       end = pending_.find('\n', start)) {
    console_.WriteErrorLine(platform::Utf8ToCp932(
        std::string_view(pending_).substr(start, end - start)));
    start = end + 1;
  }
  pending_.erase(0, start);
  return true;
}

bool ConsoleError::Close() {
  if (!pending_.empty())
    console_.WriteErrorLine(platform::Utf8ToCp932(pending_));
  pending_.clear();
  return true;
}

}  // namespace lpgm::prepare
