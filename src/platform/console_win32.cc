// The process console on Windows. A standard handle that is a console
// (GetConsoleMode succeeds) is written with WriteConsoleW and read with
// ReadConsoleW, the CP932 text of the program converted to and from UTF-16;
// the console's code page is never changed. A redirected handle (a pipe, a
// file) passes the bytes unchanged.
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/encoding.h"
#include "platform/wide_text.h"

namespace lpgm::platform {
namespace {

constexpr DWORD kMaxTransfer = 65536;
constexpr DWORD kConsoleReadUnits = 4096;
constexpr char kEndOfInputKey = '\x1A';  // Ctrl-Z

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetConsoleMode(handle, &mode) != 0;
}

DWORD Chunk(std::size_t size) {
  return size < kMaxTransfer ? static_cast<DWORD>(size) : kMaxTransfer;
}

bool WriteAllBytes(HANDLE handle, const char* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(handle, data, Chunk(size), &written, nullptr)) return false;
    if (written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

bool WriteAllUnits(HANDLE handle, std::wstring_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteConsoleW(handle, text.data(), Chunk(text.size()), &written,
                       nullptr) ||
        written == 0) {
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

// A redirected standard input, read as it arrives. A pipe whose writer has
// gone is its end.
class HandleInput : public InputStream {
 public:
  explicit HandleInput(HANDLE handle) : handle_(handle) {}

  long Read(char* buffer, std::size_t size) override {
    DWORD count = 0;
    if (ReadFile(handle_, buffer, Chunk(size), &count, nullptr)) {
      return static_cast<long>(count);
    }
    const DWORD error = GetLastError();
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;
    return -1;
  }

 private:
  HANDLE handle_;
};

// Lines typed at the console, handed out as CP932 with a bare line feed at
// their ends. A line that begins with Ctrl-Z is the end of input.
class ConsoleInput : public InputStream {
 public:
  explicit ConsoleInput(HANDLE handle) : handle_(handle) {}

  long Read(char* buffer, std::size_t size) override {
    if (size == 0) return 0;
    while (ready_.empty()) {
      const int filled = Fill();
      if (filled <= 0) return filled;
    }
    const std::size_t count = ready_.size() < size ? ready_.size() : size;
    std::memcpy(buffer, ready_.data(), count);
    ready_.erase(0, count);
    return static_cast<long>(count);
  }

 private:
  // Reads what the console has. Returns 1 when text may be ready, 0 at the
  // end of input, -1 on failure.
  int Fill() {
    wchar_t units[kConsoleReadUnits];
    DWORD count = 0;
    if (!ReadConsoleW(handle_, units, kConsoleReadUnits, &count, nullptr)) {
      return -1;
    }
    if (count == 0) return 0;
    std::string text;
    converter_.Convert(std::wstring_view(units, count), &text);
    if (at_line_start_ && !text.empty() && text[0] == kEndOfInputKey) {
      return 0;
    }
    for (char c : text) {
      // The console ends a line with CR LF; the program reads a line feed.
      if (c == '\n' && !ready_.empty() && ready_.back() == '\r') {
        ready_.back() = '\n';
      } else {
        ready_.push_back(c);
      }
    }
    at_line_start_ = text.back() == '\n';
    return 1;
  }

  HANDLE handle_;
  Utf16ToCp932Stream converter_;
  std::string ready_;
  bool at_line_start_ = true;
};

// Output to one standard handle, console or redirected.
class HandleOutput : public OutputStream {
 public:
  explicit HandleOutput(HANDLE handle)
      : handle_(handle), console_(IsConsole(handle)) {}

  bool Write(const char* data, std::size_t size) override {
    if (!console_) return WriteAllBytes(handle_, data, size);
    std::wstring text;
    converter_.Convert(std::string_view(data, size), &text);
    return WriteAllUnits(handle_, text);
  }

  bool console() const { return console_; }

 private:
  HANDLE handle_;
  bool console_;
  Cp932ToUtf16Stream converter_;
};

class ProcessConsoleImpl : public Console {
 public:
  ProcessConsoleImpl()
      : input_handle_(GetStdHandle(STD_INPUT_HANDLE)),
        output_(GetStdHandle(STD_OUTPUT_HANDLE)),
        error_(GetStdHandle(STD_ERROR_HANDLE)) {
    if (IsConsole(input_handle_)) {
      input_ = std::make_unique<ConsoleInput>(input_handle_);
    } else {
      input_ = std::make_unique<HandleInput>(input_handle_);
    }
  }

  InputStream& Input() override { return *input_; }

  OutputStream& Output() override { return output_; }

  void WriteErrorLine(std::string_view cp932) override {
    std::string line(cp932);
    line.push_back('\n');
    (void)error_.Write(line.data(), line.size());
  }

  std::string ToConsoleText(std::string_view cp932) override {
    if (output_.console()) return Cp932ToUtf8(cp932);
    return std::string(cp932);
  }

 private:
  HANDLE input_handle_;
  std::unique_ptr<InputStream> input_;
  HandleOutput output_;
  HandleOutput error_;
};

}  // namespace

Console& ProcessConsole() {
  static ProcessConsoleImpl console;
  return console;
}

}  // namespace lpgm::platform
