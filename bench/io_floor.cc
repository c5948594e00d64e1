// The I/O floor of a run, as one process: reads every input file to its end
// in 256 KiB blocks, then writes each output's byte count of blanks into a
// file of the current directory (floor_1.out, floor_2.out, ...) in 1 MiB
// writes, over what the file held before, and cuts it there. This is the
// least a program must do to read a run's input and write its output, with
// the program's own block sizes and the cost of one process start.
//
//   io_floor INPUT... -- SIZE...
//
// Exits 0 when all of it succeeded, 1 (with a line on standard error)
// otherwise.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kReadBlock = 256 * 1024;
constexpr std::size_t kWriteBlock = 1024 * 1024;

bool Fail(const char* what, const std::string& name) {
  std::fprintf(stderr, "io_floor: %s %s: %s\n", what, name.c_str(),
               std::strerror(errno));
  return false;
}

bool ReadWhole(const std::string& name, char* block) {
  int fd = ::open(name.c_str(), O_RDONLY);
  if (fd < 0) return Fail("cannot open", name);
  for (;;) {
    ssize_t n = ::read(fd, block, kReadBlock);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return Fail("cannot read", name);
    }
  }
  ::close(fd);
  return true;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteOver(const std::string& name, std::size_t size, const char* block) {
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT, 0666);
  if (fd < 0) return Fail("cannot open", name);
  std::size_t left = size;
  while (left > 0) {
    std::size_t n = left < kWriteBlock ? left : kWriteBlock;
    if (!WriteAll(fd, block, n)) {
      ::close(fd);
      return Fail("cannot write", name);
    }
    left -= n;
  }
  bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
  if (::close(fd) != 0) ok = false;
  return ok ? true : Fail("cannot cut or close", name);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> inputs;
  std::vector<std::size_t> sizes;
  bool after = false;
  for (int k = 1; k < argc; ++k) {
    if (!after && std::strcmp(argv[k], "--") == 0) {
      after = true;
    } else if (after) {
      sizes.push_back(std::strtoull(argv[k], nullptr, 10));
    } else {
      inputs.emplace_back(argv[k]);
    }
  }
  std::vector<char> block(kWriteBlock, ' ');
  for (const std::string& name : inputs) {
    if (!ReadWhole(name, block.data())) return 1;
  }
  std::memset(block.data(), ' ', block.size());
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    std::string name = "floor_" + std::to_string(k + 1) + ".out";
    if (!WriteOver(name, sizes[k], block.data())) return 1;
  }
  return 0;
}
