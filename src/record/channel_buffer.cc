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
// Kept buffers: two readers, a writer and the chunks formatted ahead of it
// need four at a time.
constexpr int kKept = 4;

struct Kept {
  char* data = nullptr;
  std::size_t capacity = 0;
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

// What is allocated for `size` bytes: large buffers take whole large pages,
// and a kept buffer serves any request of the same capacity.
std::size_t Capacity(std::size_t size) {
  if (size < kLargeBuffer) return size;
  return (size + kLargePage - 1) / kLargePage * kLargePage;
}

std::align_val_t Alignment(std::size_t capacity) {
  return std::align_val_t{capacity >= kLargeBuffer ? kLargePage
                                                   : alignof(std::max_align_t)};
}

char* Allocate(std::size_t capacity) {
  auto* data =
      static_cast<char*>(::operator new(capacity, Alignment(capacity)));
  if (capacity >= kLargeBuffer) platform::AdviseLargePages(data, capacity);
  return data;
}

void Free(char* data, std::size_t capacity) {
  ::operator delete(data, Alignment(capacity));
}

}  // namespace

ChannelBuffer::ChannelBuffer(std::size_t size)
    : data_(nullptr), size_(size == 0 ? 1 : size), capacity_(Capacity(size_)) {
  Pool& pool = ThePool();
  {
    std::lock_guard<std::mutex> lock(pool.mutex);
    for (Kept& k : pool.kept) {
      if (k.data != nullptr && k.capacity == capacity_) {
        data_ = k.data;
        k = Kept{};
        return;
      }
    }
  }
  data_ = Allocate(capacity_);
}

ChannelBuffer::~ChannelBuffer() {
  Kept evicted{data_, capacity_};
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
  if (evicted.data != nullptr) Free(evicted.data, evicted.capacity);
}

}  // namespace lpgm
