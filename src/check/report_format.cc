#include "check/report_format.h"

#include <cmath>
#include <cstdio>

namespace lpgm::check {

std::string Fixed(double value, int decimals) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  char buffer[64];
  if (std::fabs(value) >= 1e12) {
    std::snprintf(buffer, sizeof buffer, "%.4e", value);
    return buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) {
    text.erase(0, 1);
  }
  return text;
}

std::string Number(double value, int decimals) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Damping(double h) {
  std::string text = Number(h, 4);
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string SpectrumBasis(std::string_view kind, double damping) {
  return std::string(kind) + ", h = " + Damping(damping);
}

std::string Shortened(std::string_view text, std::size_t max_chars) {
  if (max_chars == 0) return "";
  std::size_t chars = 0;
  std::size_t cut = text.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (chars == max_chars - 1) cut = i;
    if (++chars > max_chars) return std::string(text.substr(0, cut)) + "\u2026";
  }
  return std::string(text);
}

std::string FolderLabel(std::string_view folder, std::size_t max_chars) {
  while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
    folder.remove_suffix(1);
  const std::size_t cut = folder.find_last_of("/\\");
  if (cut != std::string_view::npos) folder.remove_prefix(cut + 1);
  return Shortened(folder, max_chars);
}

std::string ByteSize(long long bytes) {
  char buffer[64];
  if (bytes < 1024) {
    std::snprintf(buffer, sizeof buffer, "%lld B", bytes);
  } else if (bytes < 1024 * 1024) {
    std::snprintf(buffer, sizeof buffer, "%.1f KiB",
                  static_cast<double>(bytes) / 1024);
  } else {
    std::snprintf(buffer, sizeof buffer, "%.1f MiB",
                  static_cast<double>(bytes) / (1024.0 * 1024.0));
  }
  return buffer;
}

}  // namespace lpgm::check
