// Runs a built program as a user would: in a given directory, with given
// bytes on its standard input, collecting standard output, standard error,
// the exit status, the peak resident memory and the CPU time.
//
// How the program is started, and why: the test process forks; the child
// sets up the directory and the standard streams, then executes this test
// executable afresh (/proc/self/exe) under a helper's name. That fresh
// process, small because it has loaded no test data, forks again and
// executes the program, waits for it and reports its wait status, peak
// memory and CPU time on a pipe. The detour exists because the kernel's peak
// memory of a child counts the memory of the process it was forked from up
// to its exec: forked straight from a test holding a large input, the
// program would seem to use that input's memory. The helper's entry point
// runs before main in every start of an executable that links this file
// (process_runner.cc) and returns at once unless started as the helper; so
// it works in any test binary, with no change to its main. Should the helper
// not start, the program is executed directly. The environment is exactly
// `ProcessOptions::env`; a timeout kills the program.
#ifndef LPGM_TESTS_SUPPORT_PROCESS_RUNNER_H_
#define LPGM_TESTS_SUPPORT_PROCESS_RUNNER_H_

#include <string>
#include <vector>

namespace lpgm::testing {

struct ProcessResult {
  int exit_status = -1;    // -1 when the process did not exit normally
  int signal = 0;          // the signal that ended it, if any
  std::string out;         // standard output
  std::string err;         // standard error
  long max_rss_kib = 0;    // peak resident memory
  double cpu_seconds = 0;  // user plus system time
};

struct ProcessOptions {
  std::string directory = ".";  // working directory of the process
  std::string input;            // bytes on standard input
  bool close_stdin = false;     // standard input closed instead
  bool close_stdout = false;    // standard output closed (nothing collected)
  // Standard output a pipe whose reading end is already closed, with SIGPIPE
  // at its default action as a shell leaves it (nothing collected).
  bool broken_stdout = false;
  std::vector<std::string> env = {"LC_ALL=C"};  // the whole environment
  int timeout_seconds = 60;
};

// Runs `program` (no arguments) with `options`.
ProcessResult RunProcess(const std::string& program,
                         const ProcessOptions& options);

// The lpgm executable under test.
std::string LpgmBinary();

// A fresh directory under /tmp, removed with everything in it on
// destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // Writes `content` to path()/relative, creating folders on the way.
  void WriteFile(const std::string& relative, const std::string& content) const;
  std::string ReadFile(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_PROCESS_RUNNER_H_
