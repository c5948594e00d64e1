// Everything lpgm-prepare asks of the operating system: reading the record,
// making the case folder, writing the case file, and the console. One
// implementation per platform (host_posix.cc, host_win32.cc); tests hand in
// their own.
#ifndef LPGM_PREPARE_HOST_H_
#define LPGM_PREPARE_HOST_H_

#include <string>
#include <string_view>

namespace lpgm::prepare {

class Host {
 public:
  virtual ~Host() = default;
  // The whole content of a file. False, with a reason in *error, when it
  // cannot be read (missing, a folder, no permission).
  virtual bool ReadFile(const std::string& path, std::string* content,
                        std::string* error) = 0;
  // The path of the case file in `folder`, as the console shows it.
  virtual std::string CaseFilePath(const std::string& folder) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Makes `folder` (and its parents) unless it is a folder already.
  virtual bool MakeFolder(const std::string& folder, std::string* error) = 0;
  // Writes `bytes` as `path` whole or not at all: into a new file beside it
  // that then replaces `path`.
  virtual bool WriteFile(const std::string& path, std::string_view bytes,
                         std::string* error) = 0;
  // A line (with its line end) to standard output or standard error.
  virtual void Out(std::string_view text) = 0;
  virtual void Err(std::string_view text) = 0;
};

// The operating system of the process.
Host& ProcessHost();

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_HOST_H_
