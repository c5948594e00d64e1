// What every system builds the same way over its own UTF-8 -> CP932
// conversion (AppendUtf8AsCp932): Utf8ToCp932 and Cp932Literal.
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/encoding.h"

namespace lpgm::platform {

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  AppendUtf8AsCp932(utf8, &out);
  return out;
}

const std::string& Cp932Literal(const char* utf8_literal) {
  // Keyed by address: each literal of the source is converted once. The
  // map's entries stay where they are as it grows, so the reference handed
  // out stays valid after the lock is let go.
  static std::mutex in_use;
  static std::unordered_map<const char*, std::string> converted;
  std::lock_guard<std::mutex> lock(in_use);
  auto found = converted.find(utf8_literal);
  if (found != converted.end()) return found->second;
  std::string cp932;
  if (AppendUtf8AsCp932(utf8_literal, &cp932) != 0) {
    throw std::logic_error(std::string("text literal has no CP932 form: ") +
                           utf8_literal);
  }
  return converted.emplace(utf8_literal, std::move(cp932)).first->second;
}

}  // namespace lpgm::platform
