#include "record/channel_buffer.h"

#include <mutex>
#include <new>
#include <utility>

#include "platform/memory.h"

namespace lpgm {
namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
// From this size on a buffer gets large pages of its own.
constexpr std::size_t kLargeBuffer = 256 * 1024;
// Kept buffers: two readers and a writer need three at a time.
constexpr int kKept = 4;

struct Kept {
  char* data = nullptr;
  std::size_t size = 0;
};

struct Pool {
  std::mutex mutex;
  Kept kept[kKept];
  int oldest = 0;  // the place given up next when all are taken
};

Pool& ThePool() {
  // Never destroyed: channels may be let go during the exit of the process.
  static Pool* pool = new Pool;
  return *pool;
}

std::align_val_t Alignment(std::size_t size) {
  return std::align_val_t{size >= kLargeBuffer ? kLargePage
                                               : alignof(std::max_align_t)};
}

char* Allocate(std::size_t size) {
  if (size < kLargeBuffer) {
    return static_cast<char*>(::operator new(size, Alignment(size)));
  }
  const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
  auto* data = static_cast<char*>(::operator new(rounded, Alignment(size)));
  platform::AdviseLargePages(data, rounded);
  return data;
}

void Free(char* data, std::size_t size) {
  ::operator delete(data, Alignment(size));
}

}  // namespace

ChannelBuffer::ChannelBuffer(std::size_t size)
    : data_(nullptr), size_(size == 0 ? 1 : size) {
  Pool& pool = ThePool();
  {
    std::lock_guard<std::mutex> lock(pool.mutex);
    for (Kept& k : pool.kept) {
      if (k.data != nullptr && k.size == size_) {
        data_ = k.data;
        k = Kept{};
        return;
      }
    }
  }
  data_ = Allocate(size_);
}

ChannelBuffer::~ChannelBuffer() {
  Kept evicted{data_, size_};
  Pool& pool = ThePool();
  {
    // The buffer let go last is the likeliest to be asked for next: it
    // takes a free place, or else each place in turn.
    std::lock_guard<std::mutex> lock(pool.mutex);
    Kept* place = nullptr;
    for (Kept& k : pool.kept) {
      if (k.data == nullptr) {
        place = &k;
        break;
      }
    }
    if (place == nullptr) {
      place = &pool.kept[pool.oldest];
      pool.oldest = (pool.oldest + 1) % kKept;
    }
    std::swap(*place, evicted);
  }
  if (evicted.data != nullptr) Free(evicted.data, evicted.size);
}

}  // namespace lpgm
