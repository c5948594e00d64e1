#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "prepare/host.h"

namespace lpgm::prepare {

namespace {

class PosixHost : public Host {
 public:
  bool ReadFile(const std::string& path, std::string* content,
                std::string* error) override {
    std::error_code code;
    if (std::filesystem::is_directory(path, code)) {
      *error = "is a folder, not a file";
      return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      *error = std::strerror(errno);
      return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
      *error = "read failed";
      return false;
    }
    *content = std::move(buffer).str();
    return true;
  }

  std::string CaseFilePath(const std::string& folder) override {
    // The name is CP932 inside lpgm and UTF-8 on a POSIX file system.
    return folder + "/加速度波形.acc";
  }

  bool Exists(const std::string& path) override {
    std::error_code code;
    return std::filesystem::exists(path, code);
  }

  bool MakeFolder(const std::string& folder, std::string* error) override {
    std::error_code code;
    if (std::filesystem::is_directory(folder, code)) return true;
    std::filesystem::create_directories(folder, code);
    if (code) *error = code.message();
    return !code;
  }

  bool WriteFile(const std::string& path, std::string_view bytes,
                 std::string* error) override {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
      *error = std::strerror(errno);
      return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = (std::fclose(file) == 0) && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    *error = std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }

  void Out(std::string_view text) override {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
  void Err(std::string_view text) override {
    std::fwrite(text.data(), 1, text.size(), stderr);
  }
};

}  // namespace

Host& ProcessHost() {
  static PosixHost host;
  return host;
}

}  // namespace lpgm::prepare
