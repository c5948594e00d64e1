#include "compute/provenance.h"

#include "compute/sha256.h"

namespace lpgm {

std::optional<std::string> Provenance::Value(std::string_view key) const {
  for (const ProvenanceField& field : fields)
    if (field.key == key) return field.value;
  return std::nullopt;
}

namespace {

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  return line;
}

std::string_view Trim(std::string_view s) {
  std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string FormatProvenance(const Provenance& provenance) {
  std::string text(kProvenanceTitle);
  text += "\r\n";
  for (const ProvenanceField& field : provenance.fields)
    text += OneLine(field.key) + ": " + OneLine(field.value) + "\r\n";
  return text;
}

std::variant<Provenance, std::string> ParseProvenance(std::string_view text) {
  Provenance provenance;
  int number = 0;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view()
                                         : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    if (number == 1) {
      if (line != kProvenanceTitle)
        return "line 1 is not the title of a record";
      continue;
    }
    if (Trim(line).empty() || line.front() == '#') continue;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || Trim(line.substr(0, colon)).empty())
      return "line " + std::to_string(number) + " is not 'key: value'";
    provenance.fields.push_back({std::string(Trim(line.substr(0, colon))),
                                 std::string(Trim(line.substr(colon + 1)))});
  }
  if (number == 0) return std::string("the record is empty");
  return provenance;
}

CaseFileCheck VerifyCaseFile(const Provenance& provenance,
                             std::string_view case_file) {
  CaseFileCheck check;
  check.actual_sha256 = Sha256Hex(case_file);
  std::optional<std::string> recorded = provenance.Value(kCaseFileDigestKey);
  if (!recorded || recorded->empty()) return check;
  check.recorded_sha256 = *recorded;
  std::string lower = *recorded;
  for (char& c : lower)
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
  check.state = lower == check.actual_sha256 ? CaseFileState::kUnchanged
                                             : CaseFileState::kChanged;
  return check;
}

}  // namespace lpgm
