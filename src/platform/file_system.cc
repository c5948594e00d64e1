// Files through POSIX descriptors, by the UTF-8 form of the system's CP932
// names.
#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/encoding.h"
#include "platform/file_status.h"
#include "platform/host_files.h"
#include "platform/posix_io.h"
#include "platform/unicode.h"

namespace lpgm::platform {
namespace {

OpenError ErrorFromErrno(int error_number) {
  switch (error_number) {
    case ENOENT:
    case ENOTDIR:
      return OpenError::kNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return OpenError::kPermission;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
      return OpenError::kBadName;
    case EISDIR:
      return OpenError::kIsDirectory;
    default:
      return OpenError::kOther;
  }
}

void SetError(OpenError* error, OpenError value) {
  if (error != nullptr) *error = value;
}

// A name the operating system could never take: empty, or holding a NUL
// byte that would cut it short.
bool IsUnusableName(std::string_view cp932_path) {
  return cp932_path.empty() || cp932_path.find('\0') != std::string_view::npos;
}

class FileInputStream : public InputStream {
 public:
  explicit FileInputStream(int fd) : fd_(fd) {}
  ~FileInputStream() override { close(fd_); }
  FileInputStream(const FileInputStream&) = delete;
  FileInputStream& operator=(const FileInputStream&) = delete;

  long Read(char* buffer, std::size_t size) override {
    return ReadRetrying(fd_, buffer, size);
  }

 private:
  int fd_;
};

// An existing file is written over in place from its start and cut after
// the last byte written when it is closed. (Cutting it to length zero first
// would make the file system flush it at the close, as it does for a file
// replaced by truncation, and the run would wait for the disk.)
class FileOutputStream : public OutputStream {
 public:
  explicit FileOutputStream(int fd) : fd_(fd) {}
  ~FileOutputStream() override {
    if (fd_ < 0) return;
    // Left early (a failed write): still end the file after what was
    // written, so that nothing of its former content follows. A file that
    // was never written to is left as it was.
    if (touched_) (void)CutAfterWritten();
    close(fd_);
  }
  FileOutputStream(const FileOutputStream&) = delete;
  FileOutputStream& operator=(const FileOutputStream&) = delete;

  bool Write(const char* data, std::size_t size) override {
    if (fd_ < 0) return false;
    touched_ = true;
    const std::size_t count = WriteAll(fd_, data, size);
    written_ += static_cast<off_t>(count);
    return count == size;
  }

  bool Close() override {
    if (fd_ < 0) return false;
    const int fd = fd_;
    const bool cut = CutAfterWritten();
    fd_ = -1;
    // The descriptor is released even when close reports an error, so it
    // must not be retried.
    const bool closed = close(fd) == 0;
    return cut && closed;
  }

 private:
  // Only a regular file is cut; a device or a pipe has nothing to cut.
  bool CutAfterWritten() {
    struct stat status;
    if (fstat(fd_, &status) != 0) return false;
    if (!S_ISREG(status.st_mode)) return true;
    return ftruncate(fd_, written_) == 0;
  }

  int fd_;
  bool touched_ = false;
  off_t written_ = 0;
};

// Opens `path` for reading. A path that does not exist is tried once more
// with the second Unicode form of every CP932 character that has two: input
// methods on Linux and macOS type U+301C for the wave dash, where the
// decoding of CP932 gives U+FF5E.
int OpenExisting(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0 || errno != ENOENT) return fd;
  const std::string second = WithSecondForms(path);
  if (second == path) return fd;
  const int second_fd = open(second.c_str(), O_RDONLY | O_CLOEXEC);
  // The failure reported is that of the path as composed.
  if (second_fd < 0) errno = ENOENT;
  return second_fd;
}

// strerror_r comes in two forms: the GNU one returns the text, the POSIX
// one fills the buffer. Either is safe on two threads, as strerror is not.
[[maybe_unused]] const char* ErrorText(const char* gnu_text,
                                       const char* /*buffer*/) {
  return gnu_text;
}
[[maybe_unused]] const char* ErrorText(int /*posix_result*/,
                                       const char* buffer) {
  return buffer;
}

std::string ErrorText(int error_number) {
  char buffer[256] = "";
  return ErrorText(strerror_r(error_number, buffer, sizeof buffer), buffer);
}

// The failure of the last call, by errno.
FileResult Failure(int error_number) {
  return FileResult{ErrorFromErrno(error_number), ErrorText(error_number)};
}

// The host path as a C string; false for a name the system could never
// take.
bool HostName(std::string_view host_path, std::string* name) {
  if (IsUnusableName(host_path)) return false;
  *name = std::string(host_path);
  return true;
}

FileResult BadName() {
  return FileResult{OpenError::kBadName, ErrorText(EINVAL)};
}

FileResult ReadAll(int fd, std::string* content) {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const long got = ReadRetrying(fd, buffer, sizeof buffer);
    if (got < 0) return Failure(errno);
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  *content = std::move(bytes);
  return FileResult{};
}

// Writes `bytes` to a file opened with `flags` and closes it.
FileResult WriteNew(const std::string& name, int flags,
                    std::string_view bytes) {
  const int fd = open(name.c_str(), O_WRONLY | O_CLOEXEC | flags, 0666);
  if (fd < 0) return Failure(errno);
  const bool written = WriteAll(fd, bytes.data(), bytes.size()) == bytes.size();
  const int write_errno = errno;
  const bool closed = close(fd) == 0;
  if (!written) return Failure(write_errno);
  if (!closed) return Failure(errno);
  return FileResult{};
}

class ProcessFileSystemImpl : public FileSystem {
 public:
  std::unique_ptr<InputStream> OpenForReading(std::string_view cp932_path,
                                              OpenError* error) override {
    if (IsUnusableName(cp932_path)) {
      SetError(error, OpenError::kBadName);
      return nullptr;
    }
    const int fd = OpenExisting(HostPath(cp932_path));
    if (fd < 0) {
      SetError(error, ErrorFromErrno(errno));
      return nullptr;
    }
    struct stat status;
    if (fstat(fd, &status) != 0) {
      const OpenError failure = ErrorFromErrno(errno);
      close(fd);
      SetError(error, failure);
      return nullptr;
    }
    if (S_ISDIR(status.st_mode)) {
      close(fd);
      SetError(error, OpenError::kIsDirectory);
      return nullptr;
    }
    SetError(error, OpenError::kNone);
    return std::make_unique<FileInputStream>(fd);
  }

  std::unique_ptr<OutputStream> OpenForWriting(std::string_view cp932_path,
                                               OpenError* error) override {
    if (IsUnusableName(cp932_path)) {
      SetError(error, OpenError::kBadName);
      return nullptr;
    }
    const std::string path = HostPath(cp932_path);
    // No O_TRUNC: the file is reused in place and cut when it is closed.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
      SetError(error, ErrorFromErrno(errno));
      return nullptr;
    }
    SetError(error, OpenError::kNone);
    return std::make_unique<FileOutputStream>(fd);
  }

  bool CanReadAhead(std::string_view cp932_path) override {
    if (IsUnusableName(cp932_path)) return false;
    // The path as composed only: a file found by its second Unicode forms
    // is left to be read in its turn.
    struct stat status;
    return stat(HostPath(cp932_path).c_str(), &status) == 0 &&
           S_ISREG(status.st_mode);
  }

  std::optional<FileStatus> Status(std::string_view host_path) override {
    if (IsUnusableName(host_path)) return std::nullopt;
    return StatusOf(host_path);
  }

  FileResult ReadWhole(std::string_view host_path,
                       std::string* content) override {
    std::string name;
    if (!HostName(host_path, &name)) return BadName();
    const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Failure(errno);
    struct stat status;
    FileResult result;
    if (fstat(fd, &status) != 0) {
      result = Failure(errno);
    } else if (S_ISDIR(status.st_mode)) {
      result = Failure(EISDIR);
    } else {
      result = ReadAll(fd, content);
    }
    close(fd);
    return result;
  }

  FileResult MakeFolders(std::string_view host_path) override {
    std::string name;
    if (!HostName(host_path, &name)) return BadName();
    std::error_code code;
    if (std::filesystem::is_directory(name, code)) return FileResult{};
    std::filesystem::create_directories(name, code);
    // Another thread may have made the folder meanwhile.
    std::error_code again;
    if (code && !std::filesystem::is_directory(name, again))
      return FileResult{ErrorFromErrno(code.value()), code.message()};
    return FileResult{};
  }

  FileResult ReplaceWhole(std::string_view host_path,
                          std::string_view bytes) override {
    std::string name;
    if (!HostName(host_path, &name)) return BadName();
    const std::string part = name + ".part";
    FileResult result = WriteNew(part, O_CREAT | O_TRUNC, bytes);
    if (result.ok() && rename(part.c_str(), name.c_str()) != 0)
      result = Failure(errno);
    if (!result.ok()) unlink(part.c_str());
    return result;
  }

  FileResult WriteWhole(std::string_view host_path,
                        std::string_view bytes) override {
    std::string name;
    if (!HostName(host_path, &name)) return BadName();
    return WriteNew(name, O_CREAT | O_TRUNC, bytes);
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
