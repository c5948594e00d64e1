// Whole files as bytes, for tests that compare what a program wrote.
#ifndef LPGM_TESTS_SUPPORT_FILE_BYTES_H_
#define LPGM_TESTS_SUPPORT_FILE_BYTES_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace lpgm::testing {

// The file's bytes, or "" when it cannot be opened.
std::string ReadFileBytes(const std::filesystem::path& path);

// Replaces the file's content with `bytes`; false when it cannot.
bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_FILE_BYTES_H_
