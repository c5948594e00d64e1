// The Windows host: paths arrive in UTF-8 and reach the system in UTF-16;
// files are read and written in binary.
#include <windows.h>

#include <string>

#include "platform/standard_output.h"
#include "platform/wide_text.h"
#include "prepare/host.h"

namespace lpgm::prepare {

namespace {

using platform::Utf8ToUtf16;

std::string SystemMessage(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    default:
      return "Windows error " + std::to_string(code);
  }
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ReadAll(HANDLE file, std::string* content) {
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
    if (got == 0) {
      *content = std::move(bytes);
      return true;
    }
    bytes.append(buffer, got);
  }
  return false;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(
        bytes.size() < (1u << 20) ? bytes.size() : (1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) ||
        written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

// Makes `folder` after its parents; true when it is a folder at the end.
bool MakeFolders(const std::wstring& folder) {
  if (folder.empty() || IsFolder(folder)) return true;
  const std::size_t cut = folder.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0 && folder[cut - 1] != L':') {
    if (!MakeFolders(folder.substr(0, cut))) return false;
  }
  return CreateDirectoryW(folder.c_str(), nullptr) || IsFolder(folder);
}

}  // namespace

namespace {

class Win32Host : public Host {
 public:
  bool ReadFile(const std::string& path, std::string* content,
                std::string* error) override {
    const std::wstring name = Utf8ToUtf16(path);
    if (IsFolder(name)) {
      *error = "is a folder, not a file";
      return false;
    }
    HANDLE file =
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      *error = SystemMessage(GetLastError());
      return false;
    }
    const bool ok = ReadAll(file, content);
    CloseHandle(file);
    if (!ok) *error = "read failed";
    return ok;
  }

  std::string CaseFilePath(const std::string& folder) override {
    return folder + "\\加速度波形.acc";
  }

  bool Exists(const std::string& path) override {
    return GetFileAttributesW(Utf8ToUtf16(path).c_str()) !=
           INVALID_FILE_ATTRIBUTES;
  }

  bool MakeFolder(const std::string& folder, std::string* error) override {
    if (MakeFolders(Utf8ToUtf16(folder))) return true;
    *error = SystemMessage(GetLastError());
    return false;
  }

  bool WriteFile(const std::string& path, std::string_view bytes,
                 std::string* error) override {
    const std::wstring target = Utf8ToUtf16(path);
    const std::wstring temporary = target + L".part";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      *error = SystemMessage(GetLastError());
      return false;
    }
    bool ok = WriteAll(file, bytes);
    ok = CloseHandle(file) && ok;
    if (ok && MoveFileExW(temporary.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING)) {
      return true;
    }
    *error = SystemMessage(GetLastError());
    DeleteFileW(temporary.c_str());
    return false;
  }

  // Both streams take the bytes unchanged, line ends included.
  void Out(std::string_view text) override {
    (void)platform::RawStandardOutput().Write(text.data(), text.size());
  }
  void Err(std::string_view text) override {
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
      (void)WriteAll(handle, text);
    }
  }
};

}  // namespace

Host& ProcessHost() {
  static Win32Host host;
  return host;
}

}  // namespace lpgm::prepare
