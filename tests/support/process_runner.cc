#include "support/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lpgm::testing {
namespace {

// The name under which this executable is started afresh as the
// intermediate process (why: process_runner.h).
constexpr char kSpawnHelperName[] = "lpgm-test-spawn-helper";

// Runs before main in every start of the executable; returns at once unless
// the process was started as the intermediate. argv: name, report
// descriptor, program, flags ("10" = standard input closed, "01" = standard
// output closed).
__attribute__((constructor(101))) void SpawnHelperMain(int argc, char** argv,
                                                       char** envp) {
  if (argc != 4 || std::strcmp(argv[0], kSpawnHelperName) != 0) return;
  const int report = std::atoi(argv[1]);
  fcntl(report, F_SETFD, FD_CLOEXEC);
  const pid_t helper = getpid();
  const pid_t pid = fork();
  if (pid < 0) _exit(127);
  if (pid == 0) {
    // The program does not outlive the intermediate (killed on timeout).
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != helper) _exit(127);
    if (argv[3][0] == '1') close(0);
    if (argv[3][1] == '1') close(1);
    char* child_argv[] = {argv[2], nullptr};
    execve(argv[2], child_argv, envp);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) _exit(127);
  }
  char line[160];
  const int size =
      std::snprintf(line, sizeof line, "%d %ld %ld %ld %ld %ld\n", status,
                    usage.ru_maxrss, static_cast<long>(usage.ru_utime.tv_sec),
                    static_cast<long>(usage.ru_utime.tv_usec),
                    static_cast<long>(usage.ru_stime.tv_sec),
                    static_cast<long>(usage.ru_stime.tv_usec));
  if (size > 0 && write(report, line, static_cast<std::size_t>(size)) < 0)
    _exit(127);
  _exit(0);
}

double Seconds(long seconds, long microseconds) {
  return static_cast<double>(seconds) + static_cast<double>(microseconds) / 1e6;
}

}  // namespace

std::string LpgmBinary() {
  const char* override_path = std::getenv("LPGM_TEST_BINARY");
  if (override_path != nullptr && *override_path != '\0') return override_path;
  return LPGM_BINARY;
}

ProcessResult RunProcess(const std::string& program,
                         const ProcessOptions& options) {
  int in_pipe[2], out_pipe[2], err_pipe[2], report_pipe[2];
  if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0 || pipe(err_pipe) != 0 ||
      pipe(report_pipe) != 0)
    throw std::runtime_error("pipe failed");
  std::vector<std::string> env_strings = options.env;
  std::vector<char*> envp;
  for (std::string& s : env_strings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string prog = program;
  char* argv[] = {prog.data(), nullptr};
  std::string helper_name = kSpawnHelperName;
  std::string flags = std::string(options.close_stdin ? "1" : "0") +
                      (options.close_stdout ? "1" : "0");

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    if (chdir(options.directory.c_str()) != 0) _exit(127);
    if (options.close_stdin) {
      close(0);
    } else {
      dup2(in_pipe[0], 0);
    }
    if (options.close_stdout) {
      close(1);
    } else if (options.broken_stdout) {
      int gone[2];
      if (pipe(gone) != 0) _exit(127);
      close(gone[0]);
      if (gone[1] != 1) {
        dup2(gone[1], 1);
        close(gone[1]);
      }
      signal(SIGPIPE, SIG_DFL);
    } else {
      dup2(out_pipe[1], 1);
    }
    dup2(err_pipe[1], 2);
    // Above every descriptor in use, and open across the exec.
    const int report = fcntl(report_pipe[1], F_DUPFD, 10);
    close(in_pipe[0]);
    close(in_pipe[1]);
    close(out_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[0]);
    close(err_pipe[1]);
    close(report_pipe[0]);
    close(report_pipe[1]);
    if (report >= 0) {
      std::string report_fd = std::to_string(report);
      char* helper_argv[] = {helper_name.data(), report_fd.data(), prog.data(),
                             flags.data(), nullptr};
      execve("/proc/self/exe", helper_argv, envp.data());
      close(report);
    }
    execve(prog.c_str(), argv, envp.data());  // without the intermediate
    _exit(127);
  }
  close(in_pipe[0]);
  close(out_pipe[1]);
  close(err_pipe[1]);
  close(report_pipe[1]);
  signal(SIGPIPE, SIG_IGN);

  ProcessResult result;
  std::size_t written = 0;
  int in_fd = in_pipe[1];
  if (options.close_stdin || options.input.empty()) {
    close(in_fd);
    in_fd = -1;
  } else {
    fcntl(in_fd, F_SETFL, O_NONBLOCK);
  }
  int out_fd = out_pipe[0], err_fd = err_pipe[0];
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::seconds(options.timeout_seconds);
  bool killed = false;
  while (out_fd >= 0 || err_fd >= 0) {
    pollfd fds[3];
    int n = 0;
    if (out_fd >= 0) fds[n++] = {out_fd, POLLIN, 0};
    if (err_fd >= 0) fds[n++] = {err_fd, POLLIN, 0};
    if (in_fd >= 0) fds[n++] = {in_fd, POLLOUT, 0};
    int r = poll(fds, static_cast<nfds_t>(n), 200);
    if (std::chrono::steady_clock::now() > deadline && !killed) {
      kill(pid, SIGKILL);
      killed = true;
    }
    if (r <= 0) continue;
    for (int i = 0; i < n; ++i) {
      if (fds[i].revents == 0) continue;
      if (fds[i].fd == in_fd) {
        ssize_t w = write(in_fd, options.input.data() + written,
                          options.input.size() - written);
        if (w > 0) written += static_cast<std::size_t>(w);
        if (w < 0 && errno != EAGAIN) written = options.input.size();
        if (written == options.input.size()) {
          close(in_fd);
          in_fd = -1;
        }
        continue;
      }
      char buf[65536];
      ssize_t got = read(fds[i].fd, buf, sizeof buf);
      std::string& target = fds[i].fd == out_fd ? result.out : result.err;
      if (got > 0) {
        target.append(buf, static_cast<std::size_t>(got));
      } else {
        close(fds[i].fd);
        if (fds[i].fd == out_fd)
          out_fd = -1;
        else
          err_fd = -1;
      }
    }
  }
  if (in_fd >= 0) close(in_fd);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  char report[160] = {};
  ssize_t report_size = read(report_pipe[0], report, sizeof report - 1);
  close(report_pipe[0]);
  long max_rss = 0, user_s = 0, user_us = 0, system_s = 0, system_us = 0;
  int program_status = 0;
  if (report_size > 0 &&
      std::sscanf(report, "%d %ld %ld %ld %ld %ld", &program_status, &max_rss,
                  &user_s, &user_us, &system_s, &system_us) == 6) {
    status = program_status;
    result.max_rss_kib = max_rss;
    result.cpu_seconds =
        Seconds(user_s, user_us) + Seconds(system_s, system_us);
  } else {  // started directly, or the intermediate was killed
    result.max_rss_kib = usage.ru_maxrss;
    result.cpu_seconds =
        Seconds(usage.ru_utime.tv_sec, usage.ru_utime.tv_usec) +
        Seconds(usage.ru_stime.tv_sec, usage.ru_stime.tv_usec);
  }
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

TempDir::TempDir() {
  char templ[] = "/tmp/lpgm-test-XXXXXX";
  if (mkdtemp(templ) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempDir::WriteFile(const std::string& relative,
                        const std::string& content) const {
  std::filesystem::path p = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!f) throw std::runtime_error("cannot write " + p.string());
}

std::string TempDir::ReadFile(const std::string& relative) const {
  std::ifstream f(std::filesystem::path(path_) / relative, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

bool TempDir::Exists(const std::string& relative) const {
  return std::filesystem::exists(std::filesystem::path(path_) / relative);
}

}  // namespace lpgm::testing
