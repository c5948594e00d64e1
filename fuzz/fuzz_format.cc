// Output conversions against an independent reference.
//
// The input is cut into pieces of 16 bytes: a double's bit pattern and a
// 64-bit whole number. Each whole number is written as Iw for every width 1
// to 40; each double as Fw.d for every width 1 to 40 and every decimals 0 to
// min(w - 1, 30). The reference takes the C library's correctly rounded
// "%.*f" (checked against std::to_chars) and applies the field rules:
// right-justified; a 0 before the point only for a magnitude below 1 and
// when it fits; no minus sign when the rounded value is zero; asterisks when
// too wide; "Infinity", "-Infinity", "NaN" right-justified or asterisks.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/kernel.h"
#include "record/fixed_fast.h"
#include "record/number_format.h"

namespace {

using lpgm::fuzz::Check;

constexpr int kMaxWidth = 40;
constexpr int kMaxDecimals = 30;
constexpr char kCanary = '\x7f';

std::string RightJustify(std::string_view text, int width) {
  const auto w = static_cast<std::size_t>(width);
  if (text.size() > w) return std::string(w, '*');
  return std::string(w - text.size(), ' ') + std::string(text);
}

// "%.*f" of a finite value, from both the C library and std::to_chars.
std::string Exact(double v, int decimals) {
  char buffer[400];
  int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  Check(n > 0 && n < static_cast<int>(sizeof buffer), "snprintf length");
  std::string printed(buffer, static_cast<std::size_t>(n));
  char chars[400];
  auto [end, ec] = std::to_chars(chars, chars + sizeof chars, v,
                                 std::chars_format::fixed, decimals);
  Check(ec == std::errc(), "to_chars failed");
  Check(
      printed == std::string_view(chars, static_cast<std::size_t>(end - chars)),
      "reference: snprintf and to_chars disagree");
  return printed;
}

// The expected Fw.d field of `v`, from its exact "%.*f" text.
std::string ExpectedFixed(double v, int width, const std::string& exact) {
  if (std::isnan(v)) return RightJustify("NaN", width);
  if (std::isinf(v))
    return RightJustify(v < 0 ? "-Infinity" : "Infinity", width);
  std::string_view s = exact;
  bool negative = s[0] == '-';
  if (negative) s.remove_prefix(1);
  std::size_t point = s.find('.');
  std::string_view integer = s.substr(0, point);
  std::string_view fraction = point == std::string_view::npos
                                  ? std::string_view()
                                  : s.substr(point + 1);
  bool zero = true;
  for (char c : s)
    if (c >= '1' && c <= '9') zero = false;
  std::string sign = negative && !zero ? "-" : "";
  std::string body = "." + std::string(fraction);
  if (integer != "0") {
    body = std::string(integer) + body;
  } else if (static_cast<int>(sign.size() + 1 + body.size()) <= width) {
    body = "0" + body;
  }
  return RightJustify(sign + body, width);
}

void CheckInteger(std::int64_t value) {
  std::string digits = std::to_string(value);
  for (int w = 1; w <= kMaxWidth; ++w) {
    char out[kMaxWidth + 8];
    std::memset(out, kCanary, sizeof out);
    lpgm::FormatInteger(out, w, value);
    for (std::size_t i = static_cast<std::size_t>(w); i < sizeof out; ++i)
      Check(out[i] == kCanary, "Iw wrote past its width");
    if (std::string_view(out, static_cast<std::size_t>(w)) !=
        RightJustify(digits, w)) {
      std::fprintf(stderr, "I%d of %lld: got '%.*s', expected '%s'\n", w,
                   static_cast<long long>(value), w, out,
                   RightJustify(digits, w).c_str());
      lpgm::fuzz::Fail("Iw mismatch");
    }
  }
}

// The F14.6 field of `value` by `kKernel` (or the scalar one where it does
// not run): a column of eight copies, so that the vector kernels take it in
// their batches, and its first field.
template <lpgm::platform::Kernel kKernel>
void FormatF14_6By(char* out, double value) {
  const lpgm::platform::Kernel kernel = lpgm::platform::KernelRuns(kKernel)
                                            ? kKernel
                                            : lpgm::platform::Kernel::kScalar;
  const double column[8] = {value, value, value, value,
                            value, value, value, value};
  char fields[8 * 14 + 1];
  fields[8 * 14] = kCanary;
  lpgm::FormatF14_6Column(kernel, fields, 14, column, 8);
  Check(fields[8 * 14] == kCanary, "F14.6 column wrote past its end");
  Check(std::memcmp(fields, fields + 7 * 14, 14) == 0,
        "F14.6 column fields of one value differ");
  std::memcpy(out, fields, 14);
}

void CheckFixed(double value) {
  for (int d = 0; d <= kMaxDecimals; ++d) {
    std::string exact = std::isfinite(value) ? Exact(value, d) : std::string();
    for (int w = d + 1; w <= kMaxWidth; ++w) {
      char out[kMaxWidth + 8];
      std::memset(out, kCanary, sizeof out);
      lpgm::FormatFixed(out, w, d, value);
      for (std::size_t i = static_cast<std::size_t>(w); i < sizeof out; ++i)
        Check(out[i] == kCanary, "Fw.d wrote past its width");
      std::string expected = ExpectedFixed(value, w, exact);
      if (std::string_view(out, static_cast<std::size_t>(w)) != expected) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        std::fprintf(stderr,
                     "F%d.%d of %.17g (bits %016llx): got '%.*s', expected "
                     "'%s'\n",
                     w, d, value, static_cast<unsigned long long>(bits), w, out,
                     expected.c_str());
        lpgm::fuzz::Fail("Fw.d mismatch");
      }
    }
  }
  // The waveform fields' fast path against the same references: F12.4, and
  // F14.6 by each kernel.
  const struct {
    void (*format)(char*, double);
    int width, decimals;
  } kFixedWidth[] = {{lpgm::FormatF12_4, 12, 4},
                     {FormatF14_6By<lpgm::platform::Kernel::kScalar>, 14, 6},
                     {FormatF14_6By<lpgm::platform::Kernel::kSse2>, 14, 6},
                     {FormatF14_6By<lpgm::platform::Kernel::kAvx2>, 14, 6}};
  for (const auto& f : kFixedWidth) {
    char out[kMaxWidth + 8];
    std::memset(out, kCanary, sizeof out);
    f.format(out, value);
    for (std::size_t i = static_cast<std::size_t>(f.width); i < sizeof out; ++i)
      Check(out[i] == kCanary, "F12.4/F14.6 wrote past its width");
    std::string exact =
        std::isfinite(value) ? Exact(value, f.decimals) : std::string();
    if (std::string_view(out, static_cast<std::size_t>(f.width)) !=
        ExpectedFixed(value, f.width, exact)) {
      std::fprintf(stderr, "F%d.%d (fixed width) of %.17g: got '%.*s'\n",
                   f.width, f.decimals, value, f.width, out);
      lpgm::fuzz::Fail("fixed-width Fw.d mismatch");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  for (std::size_t at = 0; at + 16 <= size && at < 16 * 8; at += 16) {
    double value;
    std::int64_t whole;
    std::memcpy(&value, data + at, sizeof value);
    std::memcpy(&whole, data + at + 8, sizeof whole);
    CheckFixed(value);
    CheckInteger(whole);
  }
  return 0;
}
