#include "prepare/acc_writer.h"

#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "base/case_record.h"

namespace lpgm::prepare {

namespace {

constexpr int kDecimals = 4;
constexpr std::size_t kFieldWidth = 12;
constexpr std::size_t kPerLine = 8;

// Appends one sample as a field and returns the value that the field reads
// back as.
double AppendSample(double value, std::string& out) {
  char buffer[400];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::fixed, kDecimals);
  std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  if (error != std::errc()) text = "0.0000";
  // "-0.0000" reads as 0 too, but the sign would only confuse the reader.
  if (text == "-0.0000") text.remove_prefix(1);
  std::size_t pad = text.size() < kFieldWidth ? kFieldWidth - text.size() : 1;
  out.append(pad, ' ');
  out.append(text);
  double back = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), back);
  return back;
}

}  // namespace

AccFile FormatAccFile(std::span<const double> samples) {
  AccFile file;
  file.bytes = std::to_string(samples.size()) + "," +
               std::string(kTimeStepText) + "\r\n";
  file.bytes.reserve(file.bytes.size() + samples.size() * kFieldWidth +
                     samples.size() / kPerLine * 2 + 2);
  file.written.reserve(samples.size());
  for (std::size_t j = 0; j < samples.size(); ++j) {
    file.written.push_back(AppendSample(samples[j], file.bytes));
    if ((j + 1) % kPerLine == 0 || j + 1 == samples.size())
      file.bytes.append("\r\n");
  }
  // lpgm reads line 2 even for no sample at all.
  if (samples.empty()) file.bytes.append("\r\n");
  return file;
}

}  // namespace lpgm::prepare
