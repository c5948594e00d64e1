// The record of how a case file was made, kept beside it as
// "prepare-record.txt": UTF-8 text of "key: value" lines after a title line,
// written by lpgm-prepare and read back by whoever wants to know whether the
// case file is still the one it describes. lpgm itself never reads it.
#ifndef LPGM_COMPUTE_PROVENANCE_H_
#define LPGM_COMPUTE_PROVENANCE_H_

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lpgm {

// The file's name in the case folder (ASCII, the same on every system).
inline constexpr char kProvenanceFileName[] = "prepare-record.txt";

// Its first line.
inline constexpr std::string_view kProvenanceTitle =
    "# lpgm-prepare: how the case file in this folder was made";

// The keys that tie the record to the case file.
inline constexpr std::string_view kCaseFileKey = "case file";
inline constexpr std::string_view kCaseFileSizeKey = "case file size";
inline constexpr std::string_view kCaseFileDigestKey = "case file sha256";

struct ProvenanceField {
  std::string key;    // no ':' and no line end
  std::string value;  // no line end
};

struct Provenance {
  std::vector<ProvenanceField> fields;  // in file order; keys may repeat
  // The value of the first field named `key`.
  std::optional<std::string> Value(std::string_view key) const;
};

// The file's bytes: the title, then "key: value" for each field, CR LF after
// every line. Line ends inside a value become blanks.
std::string FormatProvenance(const Provenance& provenance);

// Reads a record back. LF or CR LF line ends; blank lines and further '#'
// lines are passed over. Fails with one sentence (naming the line) when the
// title is missing or a line is not "key: value".
std::variant<Provenance, std::string> ParseProvenance(std::string_view text);

enum class CaseFileState {
  kUnchanged,  // the SHA-256 recorded
  kChanged,    // the case file's bytes are not those recorded
  kUnknown,    // the record holds no SHA-256 of the case file
};

struct CaseFileCheck {
  CaseFileState state = CaseFileState::kUnknown;
  std::string recorded_sha256;  // as the record gives it
  std::string actual_sha256;    // of the bytes checked
};

// Whether `case_file` (the bytes of 加速度波形.acc) is the file the record
// was written for.
CaseFileCheck VerifyCaseFile(const Provenance& provenance,
                             std::string_view case_file);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_PROVENANCE_H_
