// Reading records by a layout, fed arbitrary records: (I20,A400) as the
// definition file's slot lines, (28F20.0) as the spectrum rows, (I20,F20.0)
// as the acceleration header, and lists longer or shorter than the layout.
//
// Input: byte 0 picks the layout, its list and the number of records read;
// byte 1 the channel's buffer size and the stream's chunk size; the rest is
// the stream. The stream is read with a 1 MiB buffer, a 16-byte buffer and
// the picked sizes, which must agree. A slot line is also checked against a
// direct reading of its bytes: the slot number field is the text before a
// comma in the first 20 positions (or those 20 positions), and the folder
// name the 400 positions after it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "record/failure.h"
#include "record/field_read.h"
#include "record/input_channel.h"
#include "record/layout.h"
#include "record/list_item.h"
#include "variable_storage.h"

namespace {

using lpgm::InputChannel;
using lpgm::Layout;
using lpgm::ListItem;
using lpgm::RunStop;
using lpgm::fuzz::Check;
using lpgm::fuzz::Storage;
using lpgm::fuzz::WithList;

const Layout& LayoutOf(int variant) {
  static const Layout kSlotLine = Layout::Parse("(I20,A400)");
  static const Layout kRow = Layout::Parse("(28F20.0)");
  static const Layout kHeader = Layout::Parse("(I20,F20.0)");
  switch (variant) {
    case 0:
    case 4:
    case 7:
      return kSlotLine;
    case 1:
    case 5:
    case 6:
      return kRow;
    default:
      return kHeader;
  }
}

void BuildList(Storage& s, int variant) {
  switch (variant) {
    case 0:
      s.AddIntegers(1);
      s.AddText(400);
      break;
    case 1:
      s.AddReals(28, 1);
      break;
    case 2:
      s.AddIntegers(1);
      s.AddReals(1, 1);
      break;
    case 3:  // longer than the layout: goes on over records
      s.AddIntegers(1);
      s.AddReals(1, 1);
      s.AddIntegers(1);
      s.AddReals(1, 1);
      s.AddIntegers(1);
      break;
    case 4:
      s.AddIntegers(1);
      break;  // the rest of the record is left
    case 5:
      s.AddReals(1, 1);
      s.AddReals(26, 1);
      s.AddReals(1, 1);
      break;
    case 6:
      s.AddReals(60, 1);
      break;
    default:
      s.AddIntegers(1);
      s.AddText(40);
      break;  // A400 into 40
  }
}

struct Outcome {
  int records_read = 0;
  bool stopped = false;
  int stop_number = 0;
  std::string image;
  std::string next_record;
  bool operator==(const Outcome&) const = default;
};

Outcome ReadAll(int variant, int reads, std::string_view bytes,
                std::size_t buffer_size, std::size_t chunk) {
  Storage storage;
  BuildList(storage, variant);
  std::vector<ListItem> list = storage.List();
  auto stream = lpgm::fuzz::MemoryInput::Over(bytes, chunk);
  InputChannel channel(stream, 12, "fuzz", buffer_size);
  Outcome out;
  try {
    for (int r = 0; r < reads; ++r) {
      WithList(list, [&](std::initializer_list<ListItem> view) {
        lpgm::ReadRecord(channel, LayoutOf(variant), view);
      });
      ++out.records_read;
    }
    if (channel.BeginRecord()) {
      for (int c; (c = channel.Get()) != InputChannel::kEndOfRecord;)
        out.next_record.push_back(static_cast<char>(c));
    } else {
      out.next_record = "<end of stream>";
    }
  } catch (const RunStop& stop) {
    out.stopped = true;
    out.stop_number = stop.number();
    Check(lpgm::fuzz::IsRecordFailure(stop, 12), "unexpected kind of stop");
    Check(stop.number() == lpgm::kErrEndOfFile ||
              stop.number() == lpgm::kErrConversion,
          "unexpected failure number");
  }
  storage.CheckUntouched();
  out.image = storage.Image();
  return out;
}

// The whole number of an Iw field as written, or nullopt when it is no
// whole number of 32 bits. `known` is cleared for fields whose reading is
// left open (a sign alone, a tab).
std::optional<std::int32_t> WholeNumber(std::string_view field, bool* known) {
  std::string text;
  for (char c : field) {
    if (c == '\t') *known = false;
    if (c != ' ') text.push_back(c);
  }
  if (text.empty()) return 0;
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
    if (text.size() == 1) {
      *known = false;
      return std::nullopt;
    }
  }
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > (std::int64_t{1} << 32)) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// One slot line read by (I20,A400) against a direct reading of its bytes.
void CheckSlotLine(std::string_view bytes) {
  std::size_t line_end = bytes.find('\n');
  std::string_view record = bytes.substr(0, line_end);
  if (line_end != std::string_view::npos && !record.empty() &&
      record.back() == '\r')
    record.remove_suffix(1);
  else if (line_end == std::string_view::npos && !record.empty() &&
           record.back() == '\r')
    return;  // a carriage return at the very end: left open
  std::size_t comma = record.substr(0, 20).find(',');
  std::string_view number_field;
  std::string_view rest;
  if (comma != std::string_view::npos) {
    number_field = record.substr(0, comma);
    rest = record.substr(comma + 1);
  } else {
    number_field = record.substr(0, 20);
    rest = record.size() > 20 ? record.substr(20) : std::string_view();
  }
  std::string expected_text(rest.substr(0, 400));
  expected_text.resize(400, ' ');
  bool known = true;
  std::optional<std::int32_t> expected_slot = WholeNumber(number_field, &known);
  if (!known) return;

  std::int32_t slot = 12345;
  lpgm::Text400 text;
  text.fill('Q');
  auto stream = lpgm::fuzz::MemoryInput::Over(bytes);
  InputChannel channel(stream, 11, "fuzz");
  static const Layout kSlotLine = Layout::Parse("(I20,A400)");
  try {
    lpgm::ReadRecord(channel, kSlotLine,
                     {ListItem::Integer(&slot), ListItem::Text(&text)});
  } catch (const RunStop& stop) {
    if (bytes.empty()) {
      Check(stop.number() == lpgm::kErrEndOfFile, "empty stream not EOF");
      return;
    }
    Check(stop.number() == lpgm::kErrConversion, "slot line failed");
    Check(!expected_slot.has_value(), "a whole number was refused");
    return;
  }
  Check(!bytes.empty(), "a record read from an empty stream");
  Check(expected_slot.has_value(), "a malformed slot number was accepted");
  Check(slot == *expected_slot, "slot number read wrong");
  Check(std::string_view(text.data(), 400) == expected_text,
        "folder name read wrong");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 2) return 0;
  int variant = data[0] % 8;
  int reads = 1 + (data[0] >> 3) % 4;
  static constexpr std::size_t kBuffers[] = {16, 17,  23,   32,
                                             64, 257, 4096, 1 << 20};
  static constexpr std::size_t kChunks[] = {0, 1, 2, 3, 5, 8, 13, 100};
  std::size_t buffer = kBuffers[data[1] % 8];
  std::size_t chunk = kChunks[(data[1] >> 3) % 8];
  std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  Outcome wide = ReadAll(variant, reads, bytes, 1 << 20, 0);
  Outcome narrow = ReadAll(variant, reads, bytes, 16, 0);
  Check(wide == narrow, "1 MiB and 16-byte buffers read differently");
  Outcome picked = ReadAll(variant, reads, bytes, buffer, chunk);
  Check(wide == picked, "picked buffer and chunk read differently");
  if (variant == 0) CheckSlotLine(bytes);
  return 0;
}
