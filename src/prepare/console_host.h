// A host whose messages follow lpgm's console rule: the UTF-8 text of
// lpgm-prepare goes out as CP932 through the process console, which shows it
// as UTF-8 under a UTF-8 locale, as the CP932 bytes under any other, and as
// Unicode on a Windows console. Everything else is the wrapped host's.
#ifndef LPGM_PREPARE_CONSOLE_HOST_H_
#define LPGM_PREPARE_CONSOLE_HOST_H_

#include <string>
#include <string_view>

#include "platform/console.h"
#include "prepare/host.h"

namespace lpgm::prepare {

class ConsoleHost : public Host {
 public:
  ConsoleHost(Host& files, platform::Console& console)
      : files_(files), console_(console) {}

  bool ReadFile(const std::string& path, std::string* content,
                std::string* error) override {
    return files_.ReadFile(path, content, error);
  }
  std::string CaseFilePath(const std::string& folder) override {
    return files_.CaseFilePath(folder);
  }
  bool Exists(const std::string& path) override { return files_.Exists(path); }
  bool MakeFolder(const std::string& folder, std::string* error) override {
    return files_.MakeFolder(folder, error);
  }
  bool WriteFile(const std::string& path, std::string_view bytes,
                 std::string* error) override {
    return files_.WriteFile(path, bytes, error);
  }
  // UTF-8 text; a character without a CP932 form shows as '?'.
  void Out(std::string_view text) override;
  void Err(std::string_view text) override;

 private:
  Host& files_;
  platform::Console& console_;
};

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_CONSOLE_HOST_H_
