// lpgm-prepare run in-process for its tests: the one fake file system of the
// tests, and the two output streams kept as text.
#ifndef LPGM_TESTS_PREPARE_PREPARE_HARNESS_H_
#define LPGM_TESTS_PREPARE_PREPARE_HARNESS_H_

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/stream.h"
#include "prepare/prepare.h"
#include "support/fake_file_system.h"

namespace lpgm::prepare {

// Keeps what is written as text that a test may read and clear.
class TextOutput : public platform::OutputStream {
 public:
  bool Write(const char* data, std::size_t size) override {
    text.append(data, size);
    return true;
  }
  std::string text;
};

struct PrepareHarness {
  int Run(std::span<const std::string_view> args) {
    return RunPrepare(args, env);
  }
  // The content of a file, empty when there is none.
  std::string File(std::string_view path) const {
    return files.Content(path).value_or(std::string());
  }
  bool Has(std::string_view path) const {
    return files.Content(path).has_value();
  }

  lpgm::testing::FakeFileSystem files;
  TextOutput out_stream;
  TextOutput err_stream;
  std::string& out = out_stream.text;
  std::string& err = err_stream.text;
  PrepareEnvironment env{files, out_stream, err_stream};
};

}  // namespace lpgm::prepare

#endif  // LPGM_TESTS_PREPARE_PREPARE_HARNESS_H_
