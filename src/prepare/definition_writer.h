// The definition file lpgm reads, written from lists of fault and case
// folders: CP932, CR LF, a title line, the counts "NFAULT,NCASE", a heading,
// "i,FOLDER" for each fault, a heading, "i,FOLDER" for each case.
#ifndef LPGM_PREPARE_DEFINITION_WRITER_H_
#define LPGM_PREPARE_DEFINITION_WRITER_H_

#include <string>
#include <vector>

namespace lpgm::prepare {

inline constexpr std::size_t kMostFaults = 6;
inline constexpr std::size_t kMostCases = 21;
inline constexpr std::size_t kFolderField = 400;  // bytes of CP932

struct DefinitionContent {
  std::string title;                // UTF-8, one line
  std::vector<std::string> faults;  // folders, UTF-8
  std::vector<std::string> cases;
};

struct DefinitionOutcome {
  std::string bytes;  // the file, when `error` is empty
  std::string error;
};

// The file's bytes, or one sentence saying what lpgm could not hold: no
// fault or case, more than 6 faults or 21 cases, a folder name that is
// empty, ends in a blank (lpgm drops trailing blanks), holds a line end, is
// longer than 400 bytes in CP932, or holds a character without a CP932
// form; a title with a line end or such a character. Every '/' of a folder
// becomes '\', the separator lpgm's files use on every system.
DefinitionOutcome FormatDefinition(const DefinitionContent& content);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_DEFINITION_WRITER_H_
