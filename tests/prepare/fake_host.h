// A host for lpgm-prepare's tests: files in a map, the console in strings.
// Safe to use from the two threads of a batch.
#ifndef LPGM_TESTS_PREPARE_FAKE_HOST_H_
#define LPGM_TESTS_PREPARE_FAKE_HOST_H_

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include "prepare/host.h"

namespace lpgm::prepare {

class FakeHost : public Host {
 public:
  bool ReadFile(const std::string& path, std::string* content,
                std::string* error) override {
    std::lock_guard lock(mutex);
    auto found = files.find(path);
    if (found == files.end()) {
      *error = "No such file or directory";
      return false;
    }
    *content = found->second;
    return true;
  }
  std::string CaseFilePath(const std::string& folder) override {
    return folder + "/case.acc";
  }
  bool Exists(const std::string& path) override {
    std::lock_guard lock(mutex);
    return files.count(path) > 0;
  }
  bool MakeFolder(const std::string& folder, std::string*) override {
    std::lock_guard lock(mutex);
    folders.insert(folder);
    return true;
  }
  bool WriteFile(const std::string& path, std::string_view bytes,
                 std::string* error) override {
    std::lock_guard lock(mutex);
    if (refuse_writes || refused.count(path) > 0) {
      *error = "Permission denied";
      return false;
    }
    files[path] = std::string(bytes);
    return true;
  }
  void Out(std::string_view text) override { out += text; }
  void Err(std::string_view text) override { err += text; }

  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::string out;
  std::string err;
  bool refuse_writes = false;
  std::set<std::string> refused;  // paths whose writing fails
  std::mutex mutex;               // the batch works on two threads
};

}  // namespace lpgm::prepare

#endif  // LPGM_TESTS_PREPARE_FAKE_HOST_H_
