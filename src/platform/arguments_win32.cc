// Arguments from GetCommandLineW: argv of a Windows program holds them in
// the ANSI code page, which loses what it cannot show.
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/wide_text.h"

namespace lpgm::platform {
namespace {

std::vector<std::wstring> WideArguments() {
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> result;
  if (list == nullptr) return result;
  for (int i = 1; i < count; ++i) result.emplace_back(list[i]);
  LocalFree(list);
  return result;
}

}  // namespace

std::vector<std::string> ConsoleArguments(int, char**) {
  std::vector<std::string> result;
  for (const std::wstring& wide : WideArguments()) {
    Utf16ToCp932Stream converter;
    std::string cp932;
    converter.Convert(wide, &cp932);
    result.push_back(ProcessConsole().ToConsoleText(cp932));
  }
  return result;
}

std::vector<std::string> Utf8Arguments(int, char**) {
  std::vector<std::string> result;
  for (const std::wstring& wide : WideArguments()) {
    result.push_back(Utf16ToUtf8(wide));
  }
  return result;
}

}  // namespace lpgm::platform
