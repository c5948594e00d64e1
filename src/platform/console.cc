// The process console on file descriptors 0, 1 and 2, unbuffered. Under a
// UTF-8 locale the CP932 text of the program is shown as UTF-8 and typed
// UTF-8 is handed to the program as CP932.
#include "platform/console.h"

#include <langinfo.h>
#include <strings.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/encoding.h"
#include "platform/posix_io.h"

namespace lpgm::platform {
namespace {

constexpr int kInputFd = 0;
constexpr int kOutputFd = 1;
constexpr int kErrorFd = 2;
constexpr std::size_t kMaxReadSize = 65536;

bool LocaleIsUtf8() {
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  if (codeset == nullptr) return false;
  return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0;
}

// Standard input as it arrives.
class RawInput : public InputStream {
 public:
  long Read(char* buffer, std::size_t size) override {
    return ReadRetrying(kInputFd, buffer, size);
  }
};

// Standard input typed in UTF-8, handed out as CP932. Converted bytes that do
// not fit the caller's buffer wait for the next Read.
class Utf8Input : public InputStream {
 public:
  long Read(char* buffer, std::size_t size) override {
    if (size == 0) return 0;
    while (ready_.empty() && !at_end_) {
      raw_.resize(size < kMaxReadSize ? size : kMaxReadSize);
      const long count = ReadRetrying(kInputFd, raw_.data(), raw_.size());
      if (count < 0) return -1;
      if (count == 0) {
        converter_.Convert({}, &ready_, /*final=*/true);
        at_end_ = true;
      } else {
        converter_.Convert(
            std::string_view(raw_.data(), static_cast<std::size_t>(count)),
            &ready_, /*final=*/false);
      }
    }
    if (ready_.empty()) {
      // The end was reported; a later read may find more (a terminal after
      // an end-of-file key), so look again next time.
      at_end_ = false;
      return 0;
    }
    const std::size_t count = ready_.size() < size ? ready_.size() : size;
    std::memcpy(buffer, ready_.data(), count);
    ready_.erase(0, count);
    return static_cast<long>(count);
  }

 private:
  Utf8ToCp932Stream converter_;
  std::string raw_;
  std::string ready_;
  bool at_end_ = false;
};

class ConsoleOutput : public OutputStream {
 public:
  explicit ConsoleOutput(bool to_utf8) : to_utf8_(to_utf8) {}

  bool Write(const char* data, std::size_t size) override {
    if (!to_utf8_) return WriteAll(kOutputFd, data, size) == size;
    const std::string text = Cp932ToUtf8(std::string_view(data, size));
    return WriteAll(kOutputFd, text.data(), text.size()) == text.size();
  }

 private:
  bool to_utf8_;
};

class ProcessConsoleImpl : public Console {
 public:
  ProcessConsoleImpl() : utf8_(LocaleIsUtf8()), output_(utf8_) {
    if (utf8_) utf8_input_ = std::make_unique<Utf8Input>();
  }

  InputStream& Input() override {
    if (utf8_input_) return *utf8_input_;
    return raw_input_;
  }

  OutputStream& Output() override { return output_; }

  void WriteErrorLine(std::string_view cp932) override {
    std::string line = ToConsoleText(cp932);
    line.push_back('\n');
    WriteAll(kErrorFd, line.data(), line.size());
  }

  std::string ToConsoleText(std::string_view cp932) override {
    if (utf8_) return Cp932ToUtf8(cp932);
    return std::string(cp932);
  }

 private:
  bool utf8_;
  RawInput raw_input_;
  std::unique_ptr<Utf8Input> utf8_input_;  // only under a UTF-8 locale
  ConsoleOutput output_;
};

}  // namespace

Console& ProcessConsole() {
  static ProcessConsoleImpl console;
  return console;
}

}  // namespace lpgm::platform
