// Files by the names the system composes: CP932 bytes with backslashes as
// separators. A name is decoded to UTF-8 and every backslash becomes '/'
// before it reaches the file system (see HostPath).
//
// The companion programs name files as the user typed them: UTF-8 host
// paths, taken by the calls of the second group (status, whole-file reading
// and writing, folders, the working directory).
#ifndef LPGM_PLATFORM_FILE_SYSTEM_H_
#define LPGM_PLATFORM_FILE_SYSTEM_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_status.h"
#include "platform/stream.h"

namespace lpgm::platform {

enum class OpenError {
  kNone,
  kBadName,      // not a valid file name (empty, too long, a NUL byte)
  kPermission,   // access denied, read-only file system
  kNotFound,     // the file or a folder on its path does not exist
  kIsDirectory,  // the name is a directory
  kOther,        // any other failure (too many open files, ...)
};

// The outcome of a call on a host path: kNone, or why it failed with the
// system's own words for it ("Permission denied").
struct FileResult {
  OpenError error = OpenError::kNone;
  std::string reason;

  bool ok() const { return error == OpenError::kNone; }
};

// The separator of folders in host paths the programs compose.
#ifdef _WIN32
inline constexpr char kHostSeparator = '\\';
#else
inline constexpr char kHostSeparator = '/';
#endif

// The UTF-8 path handed to the operating system for a composed CP932 path:
// decoded from CP932 (bytes that do not decode pass unchanged) with every
// backslash turned into '/'.
std::string HostPath(std::string_view cp932_path);

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens an existing file for sequential reading. A directory counts as a
  // file that cannot be opened. Returns null and sets *error on failure.
  virtual std::unique_ptr<InputStream> OpenForReading(
      std::string_view cp932_path, OpenError* error) = 0;
  // Opens a file for sequential writing, creating it when missing and reusing
  // an existing one in place: it is written over from its start and cut
  // after the last byte written (see OutputStream::Close). Returns null and
  // sets *error on failure.
  virtual std::unique_ptr<OutputStream> OpenForWriting(
      std::string_view cp932_path, OpenError* error) = 0;
  // Whether the file at `cp932_path` may be opened and read on another
  // thread ahead of its turn: it is an existing regular file (opening and
  // reading it waits on nothing and changes nothing; no folder, device or
  // pipe), and this file system may open and read from two threads at once
  // (each stream used by one thread). False when in doubt, and by default.
  virtual bool CanReadAhead(std::string_view /*cp932_path*/) { return false; }

  // By host path (UTF-8). Each call fails by default (kOther), so that a
  // file system made for one program need give only what it uses.

  // The status of the file or folder at `host_path`; nullopt when there is
  // none or it cannot be examined.
  virtual std::optional<FileStatus> Status(std::string_view host_path);
  // The whole content of a file. A folder fails with kIsDirectory.
  virtual FileResult ReadWhole(std::string_view host_path,
                               std::string* content);
  // Makes the folder `host_path` and its parents, unless it is a folder
  // already.
  virtual FileResult MakeFolders(std::string_view host_path);
  // Writes `bytes` as the file `host_path` whole or not at all: into a new
  // file beside it ("<name>.part") that then takes its place, replacing an
  // existing file. On failure the new file is removed and any former file
  // is left as it was.
  virtual FileResult ReplaceWhole(std::string_view host_path,
                                  std::string_view bytes);
  // Writes `bytes` as the file `host_path` in place, created when missing
  // and cut to its new length (a report, which may be a device).
  virtual FileResult WriteWhole(std::string_view host_path,
                                std::string_view bytes);
  // Whether two host paths name one and the same existing file.
  virtual bool SameFile(std::string_view /*host_a*/,
                        std::string_view /*host_b*/) {
    return false;
  }
  // The working directory of the process (UTF-8); empty when unknown.
  virtual std::string WorkingDirectory() { return std::string(); }
};

// The real file system of the process.
FileSystem& ProcessFileSystem();

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_FILE_SYSTEM_H_
