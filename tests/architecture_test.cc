// The folders of src/ include one another only as ARCHITECTURE.md's table
// allows, and the table itself has no cycle.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/file_bytes.h"

namespace lpgm {
namespace {

using ::lpgm::testing::ReadFileBytes;

namespace fs = std::filesystem;

// Folder name -> the folders it may include besides itself.
using Table = std::map<std::string, std::set<std::string>>;

// The rows "| `src/x` | job | `a`, `b` |" of the Markdown text.
Table ParseTable(const std::string& markdown) {
  static const std::regex kRow(R"(^\| `src/([a-z_]+)` \|.*\|([^|]*)\|\s*$)");
  static const std::regex kName("`([a-z_]+)`");
  Table table;
  std::istringstream lines(markdown);
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch row;
    if (!std::regex_match(line, row, kRow)) continue;
    std::set<std::string>& allowed = table[row[1]];
    const std::string cell = row[2];
    for (std::sregex_iterator it(cell.begin(), cell.end(), kName), end;
         it != end; ++it)
      allowed.insert((*it)[1]);
  }
  return table;
}

// The first folder of every `#include "folder/..."` in `source`.
std::vector<std::string> IncludedFolders(const std::string& source) {
  static const std::regex kInclude(R"(^\s*#\s*include\s+"([a-z_]+)/)");
  std::vector<std::string> folders;
  std::istringstream lines(source);
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch include;
    if (std::regex_search(line, include, kInclude))
      folders.push_back(include[1]);
  }
  return folders;
}

// "file includes folder" for every include of a folder that `table` does
// not allow to the file's own folder.
std::vector<std::string> Violations(const Table& table,
                                    const std::string& folder,
                                    const std::string& file,
                                    const std::string& source) {
  std::vector<std::string> found;
  auto row = table.find(folder);
  if (row == table.end()) return {file + " is in a folder the table lacks"};
  for (const std::string& used : IncludedFolders(source)) {
    if (used != folder && row->second.count(used) == 0)
      found.push_back(file + " includes " + used);
  }
  return found;
}

// A folder reached again while it is still being walked closes a cycle.
bool HasCycleFrom(const Table& table, const std::string& folder,
                  std::set<std::string>& walking, std::set<std::string>& done) {
  if (done.count(folder) != 0) return false;
  if (!walking.insert(folder).second) return true;
  auto row = table.find(folder);
  if (row != table.end()) {
    for (const std::string& next : row->second)
      if (HasCycleFrom(table, next, walking, done)) return true;
  }
  walking.erase(folder);
  done.insert(folder);
  return false;
}

bool HasCycle(const Table& table) {
  std::set<std::string> walking;
  std::set<std::string> done;
  for (const auto& [folder, allowed] : table)
    if (HasCycleFrom(table, folder, walking, done)) return true;
  return false;
}

const fs::path kSourceDir = LPGM_SOURCE_DIR;

TEST(ArchitectureTest, CheckerFindsForbiddenIncludesAndCycles) {
  const Table table = ParseTable(
      "| folder | job | may include |\n"
      "|---|---|---|\n"
      "| `src/low` | base, see `x.h` | none |\n"
      "| `src/high` | top | `low` (only `a.h`) |\n");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_TRUE(table.at("low").empty());
  EXPECT_EQ(table.at("high"), std::set<std::string>{"low"});
  EXPECT_FALSE(HasCycle(table));
  const std::string source =
      "#include <vector>\n#include \"low/a.h\"\n  #include \"high/b.h\"\n";
  EXPECT_TRUE(Violations(table, "high", "f.cc", source).empty());
  EXPECT_EQ(Violations(table, "low", "f.cc", source),
            std::vector<std::string>{"f.cc includes high"});
  EXPECT_EQ(Violations(table, "other", "f.cc", source).size(), 1u);

  Table cyclic = table;
  cyclic["low"].insert("high");
  EXPECT_TRUE(HasCycle(cyclic));
}

TEST(ArchitectureTest, FolderTableIsAGraphWithoutCycles) {
  const Table table = ParseTable(ReadFileBytes(kSourceDir / "ARCHITECTURE.md"));
  for (const char* folder :
       {"platform", "record", "state", "input", "compute", "output", "run"})
    EXPECT_EQ(table.count(folder), 1u) << folder;
  for (const auto& [folder, allowed] : table) {
    for (const std::string& used : allowed)
      EXPECT_EQ(table.count(used), 1u) << folder << " names " << used;
  }
  EXPECT_FALSE(HasCycle(table));
}

TEST(ArchitectureTest, EveryIncludeUnderSrcIsAllowedByTheTable) {
  const Table table = ParseTable(ReadFileBytes(kSourceDir / "ARCHITECTURE.md"));
  ASSERT_FALSE(table.empty());
  int files = 0;
  for (const auto& entry :
       fs::recursive_directory_iterator(kSourceDir / "src")) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), kSourceDir / "src");
    if (relative.begin() == relative.end()) continue;
    const std::string folder = relative.begin()->string();
    for (const std::string& violation : Violations(
             table, folder, relative.string(), ReadFileBytes(entry.path())))
      ADD_FAILURE() << violation;
    ++files;
  }
  EXPECT_GT(files, 20);
}

}  // namespace
}  // namespace lpgm
