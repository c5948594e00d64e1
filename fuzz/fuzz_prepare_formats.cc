// lpgm-prepare's readers of downloaded records fed arbitrary bytes. The first
// byte picks the reader (AT2, K-NET, or a table whose layout the next bytes
// set); the rest is the file.
//
// Every way out is a record (at least one finite value, a positive finite
// step) or an error naming the file with a message; a record that reads is
// also converted to 0.02 s, which must succeed or fail the same way.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "fuzz_support.h"
#include "prepare/convert.h"
#include "prepare/formats.h"

namespace {

using lpgm::fuzz::Check;
namespace prepare = lpgm::prepare;

constexpr std::string_view kFile = "record.txt";

void CheckError(const prepare::InputError& error) {
  Check(error.file == kFile, "the error names the file");
  Check(error.line >= 0, "no negative line");
  Check(!error.message.empty(), "the error says what is wrong");
}

void CheckRecord(const prepare::SourceRecord& record) {
  Check(std::isfinite(record.dt) && record.dt > 0.0, "a positive step");
  Check(!record.values.empty(), "at least one value");
  for (const double v : record.values) Check(std::isfinite(v), "finite");
  const auto converted = prepare::Convert(record, {}, kFile);
  if (const auto* error = std::get_if<prepare::InputError>(&converted)) {
    CheckError(*error);
    return;
  }
  for (const double v : std::get<prepare::Conversion>(converted).samples)
    Check(std::isfinite(v), "finite after conversion");
}

prepare::TableLayout LayoutFrom(const std::uint8_t* data) {
  prepare::TableLayout layout;
  const double steps[] = {0.02, 0.01, 0.005, 0.004, 0.001, 0.03, 1.0, 0.1};
  layout.dt = steps[data[0] % 8];
  layout.skip = data[1] % 5;
  layout.column = data[2] % 4;
  return layout;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 4) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 4),
                              size - 4);
  (void)prepare::DetectFormat(text);
  prepare::ReadOutcome outcome;
  switch (data[0] % 3) {
    case 0:
      outcome = prepare::ReadAt2(text, kFile);
      break;
    case 1:
      outcome = prepare::ReadKnet(text, kFile);
      break;
    default:
      outcome = prepare::ReadTable(text, kFile, LayoutFrom(data + 1));
      break;
  }
  if (const auto* error = std::get_if<prepare::InputError>(&outcome))
    CheckError(*error);
  else
    CheckRecord(std::get<prepare::SourceRecord>(outcome));
  return 0;
}
