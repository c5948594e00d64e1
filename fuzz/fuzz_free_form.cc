// The free-form read fed arbitrary records.
//
// Input: byte 0 picks the variable list, the number of reads and whether the
// status is handed back; byte 1 sizes the list; byte 2 picks the channel's
// buffer size, the stream's chunk size and the kernel of the block reading;
// the rest is the stream.
//
// The same stream is read three times: with a 1 MiB buffer, with a 16-byte
// buffer, and with the picked buffer and chunk sizes. The reals' scanner
// takes a fast path over bytes that sit contiguous in the buffer and a
// general path byte by byte, and the fast path reads blocks by any kernel
// that runs here; all must give bitwise the same variables, the
// same statuses, the same stop and leave the channel at the same record.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/kernel.h"
#include "record/failure.h"
#include "record/free_form.h"
#include "record/input_channel.h"
#include "record/list_item.h"
#include "variable_storage.h"

namespace {

using lpgm::InputChannel;
using lpgm::ListItem;
using lpgm::RunStop;
using lpgm::fuzz::Check;
using lpgm::fuzz::Storage;
using lpgm::fuzz::WithList;

void BuildList(Storage& s, int list, std::uint8_t size_byte) {
  switch (list) {
    case 0:  // reals with a stride
      s.AddReals(1 + size_byte % 64, 1 + size_byte / 64);
      break;
    case 1:  // whole numbers
      s.AddIntegers(1 + size_byte % 32);
      break;
    case 2:  // the typed answer
      s.AddText(40);
      break;
    case 3:  // a mixed list
      s.AddIntegers(1);
      s.AddReals(1, 1);
      s.AddText(40);
      s.AddReals(3, 2);
      break;
    case 4:  // the counts record
      s.AddIntegers(2);
      break;
    case 5:  // texts of other lengths
      s.AddText(1 + std::size_t{size_byte} * 2);
      s.AddIntegers(1);
      s.AddText(1 + size_byte % 7);
      break;
    case 6:  // the record skip
      break;
    default:  // samples of one case, kept 30 apart
      s.AddReals(1 + size_byte, 30);
      break;
  }
}

struct Outcome {
  std::vector<int> statuses;
  bool stopped = false;
  int stop_kind = 0;
  int stop_number = 0;
  int stop_unit = 0;
  std::string image;
  std::string next_record;  // what the channel reads after the last read

  bool operator==(const Outcome&) const = default;
};

struct Plan {
  int list = 0;
  std::uint8_t size_byte = 0;
  int reads = 1;
  bool with_status = false;
};

Outcome ReadAll(const Plan& plan, std::string_view bytes,
                std::size_t buffer_size, std::size_t chunk,
                lpgm::platform::Kernel kernel) {
  Storage storage;
  BuildList(storage, plan.list, plan.size_byte);
  std::vector<ListItem> list = storage.List();
  auto stream = lpgm::fuzz::MemoryInput::Over(bytes, chunk);
  InputChannel channel(stream, 13, "fuzz", buffer_size);
  Outcome out;
  try {
    for (int r = 0; r < plan.reads; ++r) {
      WithList(list, [&](std::initializer_list<ListItem> view) {
        if (plan.with_status) {
          int status = lpgm::TryReadFreeForm(channel, view, nullptr, kernel);
          Check(status == 0 || status == lpgm::kErrListSyntax,
                "unexpected status");
          out.statuses.push_back(status);
        } else {
          lpgm::ReadFreeForm(channel, view, nullptr, kernel);
          out.statuses.push_back(0);
        }
      });
    }
    if (channel.BeginRecord()) {
      for (int c; (c = channel.Get()) != InputChannel::kEndOfRecord;)
        out.next_record.push_back(static_cast<char>(c));
    } else {
      out.next_record = "<end of stream>";
    }
  } catch (const RunStop& stop) {
    out.stopped = true;
    out.stop_kind = static_cast<int>(stop.kind());
    out.stop_number = stop.number();
    out.stop_unit = stop.unit();
    Check(stop.kind() == RunStop::Kind::kRecordFailure, "error stop");
    Check(stop.unit() == 13, "failure on another channel");
    Check(stop.number() == lpgm::kErrEndOfFile ||
              stop.number() == lpgm::kErrListSyntax,
          "unexpected failure number");
    Check(!(plan.with_status && stop.number() == lpgm::kErrListSyntax),
          "syntax error not handed back as status");
  }
  storage.CheckUntouched();
  out.image = storage.Image();
  return out;
}

// Shows how two outcomes differ, before the mismatch is reported.
void ShowDifference(const Outcome& a, const Outcome& b) {
  auto show = [](const char* label, const Outcome& o) {
    std::fprintf(stderr,
                 "%s: %zu reads, stopped %d (number %d), next record "
                 "'%s'\n",
                 label, o.statuses.size(), o.stopped ? 1 : 0, o.stop_number,
                 o.next_record.c_str());
  };
  show("first", a);
  show("second", b);
  for (std::size_t i = 0; i < a.image.size() && i < b.image.size(); ++i) {
    if (a.image[i] != b.image[i]) {
      std::size_t at = i / 8 * 8;
      double x = 0, y = 0;
      if (at + 8 <= a.image.size()) {
        std::memcpy(&x, a.image.data() + at, 8);
        std::memcpy(&y, b.image.data() + at, 8);
      }
      std::fprintf(stderr,
                   "storage differs at byte %zu (as reals: %.17g vs "
                   "%.17g)\n",
                   i, x, y);
      break;
    }
  }
}

void CheckSame(const Outcome& a, const Outcome& b, const char* what) {
  if (a == b) return;
  ShowDifference(a, b);
  lpgm::fuzz::Fail(what);
}

// LPGM_FUZZ_MIN_BUFFER raises the buffer sizes of the second and third
// reads to at least that many bytes: a way to go on exploring while a
// finding about small buffers is open.
std::size_t MinimumBuffer() {
  static const std::size_t minimum = [] {
    const char* text = std::getenv("LPGM_FUZZ_MIN_BUFFER");
    if (text == nullptr) return std::size_t{0};
    return static_cast<std::size_t>(std::strtoul(text, nullptr, 10));
  }();
  return minimum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 3) return 0;
  Plan plan;
  plan.list = data[0] % 8;
  plan.reads = 1 + (data[0] >> 3) % 3;
  plan.with_status = (data[0] >> 5) & 1;
  plan.size_byte = data[1];
  static constexpr std::size_t kBuffers[] = {16, 17,  23,   32,
                                             64, 257, 4096, 1 << 20};
  static constexpr std::size_t kChunks[] = {0, 1, 2, 3, 5, 8, 13, 100};
  std::size_t buffer = kBuffers[data[2] % 8];
  std::size_t chunk = kChunks[(data[2] >> 3) % 8];
  std::string_view bytes(reinterpret_cast<const char*>(data) + 3, size - 3);

  auto kernel = static_cast<lpgm::platform::Kernel>((data[2] >> 6) % 3);
  if (!lpgm::platform::KernelRuns(kernel))
    kernel = lpgm::platform::Kernel::kScalar;
  Outcome wide = ReadAll(plan, bytes, 1 << 20, 0, lpgm::platform::BestKernel());
  buffer = std::max(buffer, MinimumBuffer());
  Outcome narrow =
      ReadAll(plan, bytes, std::max<std::size_t>(16, MinimumBuffer()), 0,
              lpgm::platform::Kernel::kScalar);
  CheckSame(wide, narrow, "1 MiB and 16-byte buffers read differently");
  Outcome picked = ReadAll(plan, bytes, buffer, chunk, kernel);
  CheckSame(wide, picked, "picked buffer and chunk read differently");
  return 0;
}
