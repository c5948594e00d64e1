// Running the built lpgm-check and lpgm on copies of input sets on disk, and
// reading what they report.
#ifndef LPGM_TESTS_CHECK_RUN_CHECK_H_
#define LPGM_TESTS_CHECK_RUN_CHECK_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/input_folder.h"
#include "support/process_runner.h"

namespace lpgm::testing::check {

namespace fs = std::filesystem;

// The checker tests' names for the shared file helpers.
inline std::string ReadBytes(const fs::path& path) {
  return ReadFileBytes(path);
}
inline void WriteBytes(const fs::path& path, const std::string& bytes) {
  WriteFileBytes(path, bytes);
}

// Runs lpgm-check with `arguments` (shell words) in `dir`.
inline ProcessResult RunCheck(const std::string& dir,
                              const std::string& arguments,
                              const std::string& locale = "C.UTF-8") {
  ProcessOptions options;
  options.directory = dir;
  // The shell reads the command from standard input and becomes lpgm-check.
  options.input =
      std::string("exec '") + LPGM_CHECK_BINARY + "' " + arguments + "\n";
  options.env = {"LC_ALL=" + locale};
  return RunProcess("/bin/sh", options);
}

// Runs lpgm on definition.csv in `dir`.
inline ProcessResult RunLpgm(const std::string& dir) {
  ProcessOptions options;
  options.directory = dir;
  options.input = "definition.csv\n";
  options.env = {"LC_ALL=C"};
  return RunProcess(LPGM_BINARY, options);
}

// The values of every member `key` of a JSON text, in order, as written.
inline std::vector<std::string> JsonValues(const std::string& json,
                                           const std::string& key) {
  std::vector<std::string> values;
  std::string pattern = "\"" + key + "\":";
  for (std::size_t at = json.find(pattern); at != std::string::npos;
       at = json.find(pattern, at + 1)) {
    std::size_t start = at + pattern.size();
    std::size_t end = json.find_first_of(",}", start);
    values.push_back(json.substr(start, end - start));
  }
  return values;
}

// The real data set beside the repository, or empty when it is absent.
inline fs::path RealData() {
  fs::path real = fs::path(LPGM_SOURCE_DIR) / ".." / "shared" / "data" / "real";
  return fs::exists(real / "definition.csv") ? real : fs::path();
}

}  // namespace lpgm::testing::check

#endif  // LPGM_TESTS_CHECK_RUN_CHECK_H_
