// A console held in memory, for running the program in-process: the typed
// bytes are given up front, what is shown and the error lines are kept. Text
// passes as CP932 bytes, as on a console whose locale is not UTF-8.
#ifndef LPGM_TESTS_SUPPORT_MEMORY_CONSOLE_H_
#define LPGM_TESTS_SUPPORT_MEMORY_CONSOLE_H_

#include <string>
#include <string_view>

#include "platform/console.h"
#include "support/memory_stream.h"

namespace lpgm::testing {

class MemoryConsole : public platform::Console {
 public:
  explicit MemoryConsole(std::string typed) : input_(std::move(typed)) {}

  platform::InputStream& Input() override { return input_; }
  platform::OutputStream& Output() override { return output_; }
  void WriteErrorLine(std::string_view cp932) override {
    errors_.append(cp932);
    errors_ += '\n';
  }
  std::string ToConsoleText(std::string_view cp932) override {
    return std::string(cp932);
  }

  // What was shown on the console output, and the error lines with their
  // line feeds.
  const std::string& shown() const { return output_.data(); }
  const std::string& errors() const { return errors_; }

 private:
  MemoryInput input_;
  MemoryOutput output_;
  std::string errors_;
};

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_MEMORY_CONSOLE_H_
