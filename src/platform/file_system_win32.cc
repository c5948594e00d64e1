// Files on Windows through the wide-character API, by the UTF-16 form of the
// system's CP932 names (code page 932), in binary: the bytes written are the
// bytes in the file. The backslash stays the separator.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/file_status.h"
#include "platform/file_system.h"
#include "platform/host_files.h"
#include "platform/wide_text.h"

namespace lpgm::platform {
namespace {

constexpr DWORD kMaxTransfer = 1 << 20;
// Beyond this length a path goes to the system in its extended form
// ("\\?\" before the full path), which has no MAX_PATH limit.
constexpr std::size_t kLongPath = MAX_PATH - 12;

void SetError(OpenError* error, OpenError value) {
  if (error != nullptr) *error = value;
}

// The extended form of a long path: made absolute (which also turns '/'
// into '\' and resolves "." and ".."), then prefixed.
std::wstring ExtendedPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length =
      GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  if (full.rfind(L"\\\\?\\", 0) == 0) return full;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// The wide name of a composed path, or false for a name the system could
// never take (empty, a NUL byte, bytes that are not CP932).
bool WideName(std::string_view cp932_path, std::wstring* wide) {
  if (cp932_path.empty() || cp932_path.find('\0') != std::string_view::npos) {
    return false;
  }
  bool complete = false;
  *wide = Cp932ToUtf16(cp932_path, &complete);
  if (!complete) return false;
  if (wide->size() >= kLongPath) *wide = ExtendedPath(*wide);
  return true;
}

bool IsDirectory(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Why `name` could not be opened for writing. A directory in place of the
// file is refused as access denied; it is told apart from a read-only file.
OpenError WritingError(DWORD code, const std::wstring& name) {
  switch (code) {
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
      return OpenError::kBadName;
    case ERROR_ACCESS_DENIED:
      return IsDirectory(name) ? OpenError::kIsDirectory
                               : OpenError::kPermission;
    case ERROR_WRITE_PROTECT:
      return OpenError::kPermission;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return OpenError::kNotFound;
    default:  // a sharing or lock violation among them
      return OpenError::kOther;
  }
}

OpenError ReadingError(DWORD code, const std::wstring& name) {
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
    return OpenError::kNotFound;
  }
  if (IsDirectory(name)) return OpenError::kIsDirectory;
  if (code == ERROR_ACCESS_DENIED) return OpenError::kPermission;
  return OpenError::kOther;
}

DWORD Chunk(std::size_t size) {
  return size < kMaxTransfer ? static_cast<DWORD>(size) : kMaxTransfer;
}

class FileInputStream : public InputStream {
 public:
  explicit FileInputStream(HANDLE handle) : handle_(handle) {}
  ~FileInputStream() override { CloseHandle(handle_); }
  FileInputStream(const FileInputStream&) = delete;
  FileInputStream& operator=(const FileInputStream&) = delete;

  long Read(char* buffer, std::size_t size) override {
    DWORD count = 0;
    if (!ReadFile(handle_, buffer, Chunk(size), &count, nullptr)) return -1;
    return static_cast<long>(count);
  }

 private:
  HANDLE handle_;
};

class FileOutputStream : public OutputStream {
 public:
  explicit FileOutputStream(HANDLE handle)
      : handle_(handle), disk_(GetFileType(handle) == FILE_TYPE_DISK) {}
  ~FileOutputStream() override {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    // Left early (a failed write): still end the file after what was
    // written, so that nothing of its former content follows.
    if (disk_) (void)SetEndOfFile(handle_);
    CloseHandle(handle_);
  }
  FileOutputStream(const FileOutputStream&) = delete;
  FileOutputStream& operator=(const FileOutputStream&) = delete;

  bool Write(const char* data, std::size_t size) override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    while (size > 0) {
      DWORD written = 0;
      if (!WriteFile(handle_, data, Chunk(size), &written, nullptr) ||
          written == 0) {
        return false;
      }
      data += written;
      size -= written;
    }
    return true;
  }

  // The file is written sequentially from its start, so the position is
  // the end of what this run wrote: it is cut there. A device has nothing
  // to cut.
  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    const bool cut = !disk_ || SetEndOfFile(handle) != 0;
    const bool closed = CloseHandle(handle) != 0;
    return cut && closed;
  }

 private:
  HANDLE handle_;
  bool disk_;
};

// The system's words for the failures a user can act on; the number for
// the rest.
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

// The wide form of a host path (UTF-8), or false for a name the system
// could never take.
bool WideHostName(std::string_view host_path, std::wstring* wide) {
  if (host_path.empty() || host_path.find('\0') != std::string_view::npos) {
    return false;
  }
  *wide = Utf8ToUtf16(host_path);
  if (wide->size() >= kLongPath) *wide = ExtendedPath(*wide);
  return true;
}

FileResult BadName() {
  return FileResult{OpenError::kBadName, "Invalid argument"};
}

FileResult Failure(DWORD code, OpenError error) {
  return FileResult{error, SystemMessage(code)};
}

FileResult ReadAll(HANDLE file, std::string* content) {
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  for (;;) {
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      return Failure(GetLastError(), OpenError::kOther);
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  *content = std::move(bytes);
  return FileResult{};
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), Chunk(bytes.size()), &written,
                   nullptr) ||
        written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

// Writes `bytes` as a new file `name` (replacing any file by that name).
FileResult WriteNew(const std::wstring& name, std::string_view bytes) {
  const HANDLE file =
      CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    return Failure(code, WritingError(code, name));
  }
  const bool written = WriteAll(file, bytes);
  const DWORD code = GetLastError();
  const bool closed = CloseHandle(file) != 0;
  if (!written || !closed) return Failure(code, OpenError::kOther);
  return FileResult{};
}

// Makes `folder` after its parents; true when it is a folder at the end.
bool MakeFolderPath(const std::wstring& folder) {
  if (folder.empty() || IsDirectory(folder)) return true;
  const std::size_t cut = folder.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0 && folder[cut - 1] != L':' &&
      folder[cut - 1] != L'?') {
    if (!MakeFolderPath(folder.substr(0, cut))) return false;
  }
  return CreateDirectoryW(folder.c_str(), nullptr) || IsDirectory(folder);
}

class ProcessFileSystemImpl : public FileSystem {
 public:
  std::unique_ptr<InputStream> OpenForReading(std::string_view cp932_path,
                                              OpenError* error) override {
    std::wstring name;
    if (!WideName(cp932_path, &name)) {
      SetError(error, OpenError::kBadName);
      return nullptr;
    }
    // Other programs may go on reading and writing the file meanwhile.
    const HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      SetError(error, ReadingError(GetLastError(), name));
      return nullptr;
    }
    SetError(error, OpenError::kNone);
    return std::make_unique<FileInputStream>(handle);
  }

  std::unique_ptr<OutputStream> OpenForWriting(std::string_view cp932_path,
                                               OpenError* error) override {
    std::wstring name;
    if (!WideName(cp932_path, &name)) {
      SetError(error, OpenError::kBadName);
      return nullptr;
    }
    // OPEN_ALWAYS, not CREATE_ALWAYS: an existing file is reused in place
    // and cut when it is closed.
    const HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      SetError(error, WritingError(GetLastError(), name));
      return nullptr;
    }
    SetError(error, OpenError::kNone);
    return std::make_unique<FileOutputStream>(handle);
  }

  bool CanReadAhead(std::string_view cp932_path) override {
    std::wstring name;
    if (!WideName(cp932_path, &name)) return false;
    // Device names ("\\.\pipe\...", "\\.\COM1") are never read ahead.
    if (name.rfind(L"\\\\.\\", 0) == 0) return false;
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) ==
               0;
  }

  std::optional<FileStatus> Status(std::string_view host_path) override {
    return StatusOf(host_path);
  }

  FileResult ReadWhole(std::string_view host_path,
                       std::string* content) override {
    std::wstring name;
    if (!WideHostName(host_path, &name)) return BadName();
    if (IsDirectory(name)) {
      return FileResult{OpenError::kIsDirectory, "Is a directory"};
    }
    const HANDLE file =
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      return Failure(code, ReadingError(code, name));
    }
    FileResult result = ReadAll(file, content);
    CloseHandle(file);
    return result;
  }

  FileResult MakeFolders(std::string_view host_path) override {
    std::wstring name;
    if (!WideHostName(host_path, &name)) return BadName();
    if (MakeFolderPath(name)) return FileResult{};
    const DWORD code = GetLastError();
    return Failure(code, WritingError(code, name));
  }

  FileResult ReplaceWhole(std::string_view host_path,
                          std::string_view bytes) override {
    std::wstring target;
    if (!WideHostName(host_path, &target)) return BadName();
    const std::wstring part = target + L".part";
    FileResult result = WriteNew(part, bytes);
    if (result.ok() &&
        !MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      const DWORD code = GetLastError();
      result = Failure(code, WritingError(code, target));
    }
    if (!result.ok()) DeleteFileW(part.c_str());
    return result;
  }

  FileResult WriteWhole(std::string_view host_path,
                        std::string_view bytes) override {
    std::wstring name;
    if (!WideHostName(host_path, &name)) return BadName();
    return WriteNew(name, bytes);
  }

  bool SameFile(std::string_view host_a, std::string_view host_b) override {
    return host::SameFile(host_a, host_b);
  }

  std::string WorkingDirectory() override { return host::WorkingDirectory(); }
};

}  // namespace

FileSystem& ProcessFileSystem() {
  static ProcessFileSystemImpl file_system;
  return file_system;
}

}  // namespace lpgm::platform
