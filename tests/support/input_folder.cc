#include "support/input_folder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace lpgm::testing {
namespace {

namespace fs = std::filesystem;

std::string Fnv1a(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::uint64_t hash = 14695981039346656037ull;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    for (std::streamsize i = 0; i < in.gcount(); ++i) {
      hash ^= static_cast<unsigned char>(buffer[i]);
      hash *= 1099511628211ull;
    }
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx",
                static_cast<unsigned long long>(hash));
  return text;
}

std::string Describe(const fs::directory_entry& e) {
  if (e.is_symlink()) return "link to " + fs::read_symlink(e.path()).string();
  if (e.is_directory()) return "folder";
  if (!e.is_regular_file()) return "special file";
  return std::to_string(e.file_size()) + " bytes, " + Fnv1a(e.path());
}

}  // namespace

std::string ExampleFolder() { return LPGM_SOURCE_DIR "/examples"; }

void CopyInputSet(const std::string& source, const std::string& to) {
  const fs::path from(source), into(to);
  fs::copy(from / "definition.csv", into / "definition.csv");
  for (const char* sub : {"faults", "cases"})
    fs::copy(from / sub, into / sub, fs::copy_options::recursive);
}

std::map<std::string, std::string> Snapshot(
    const std::string& folder, const std::vector<std::string>& except) {
  std::map<std::string, std::string> entries;
  for (auto it = fs::recursive_directory_iterator(folder);
       it != fs::recursive_directory_iterator(); ++it) {
    std::string name = fs::relative(it->path(), folder).string();
    if (it.depth() == 0 &&
        std::find(except.begin(), except.end(), name) != except.end()) {
      it.disable_recursion_pending();
      continue;
    }
    entries[name] = Describe(*it);
  }
  return entries;
}

}  // namespace lpgm::testing
