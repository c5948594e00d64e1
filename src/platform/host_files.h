// What both implementations of ProcessFileSystem give alike, through
// std::filesystem (file_system_common.cc): the sameness of two files and the
// working directory, by UTF-8 host paths.
#ifndef LPGM_PLATFORM_HOST_FILES_H_
#define LPGM_PLATFORM_HOST_FILES_H_

#include <string>
#include <string_view>

namespace lpgm::platform::host {

bool SameFile(std::string_view host_a, std::string_view host_b);
std::string WorkingDirectory();

}  // namespace lpgm::platform::host

#endif  // LPGM_PLATFORM_HOST_FILES_H_
