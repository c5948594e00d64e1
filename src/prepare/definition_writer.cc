#include "prepare/definition_writer.h"

#include <string_view>

#include "platform/encoding.h"

namespace lpgm::prepare {

namespace {

// `utf8` in CP932; false with *error set when it cannot be.
bool ToCp932(std::string_view utf8, const std::string& what, std::string* out,
             std::string* error) {
  if (utf8.find_first_of("\r\n") != std::string_view::npos) {
    *error = what + " holds a line end";
    return false;
  }
  if (platform::AppendUtf8AsCp932(utf8, out) > 0) {
    *error = what + " holds a character that Shift-JIS (CP932) cannot write";
    return false;
  }
  return true;
}

bool AppendFolder(std::size_t slot, std::string folder, std::string_view kind,
                  std::string* file, std::string* error) {
  const std::string named =
      std::string(kind) + " folder " + std::to_string(slot);
  const std::string what = named + " '" + folder + "'";
  if (folder.empty()) {
    *error = named + " is empty";
    return false;
  }
  if (folder.back() == ' ' || folder.back() == '\t') {
    *error = what + " ends in a blank, which lpgm does not keep";
    return false;
  }
  for (char& c : folder)
    if (c == '/') c = '\\';
  std::string cp932;
  if (!ToCp932(folder, what, &cp932, error)) return false;
  if (cp932.size() > kFolderField) {
    *error = what + " is " + std::to_string(cp932.size()) +
             " bytes in Shift-JIS; lpgm holds 400";
    return false;
  }
  *file += std::to_string(slot) + "," + cp932 + "\r\n";
  return true;
}

bool AppendFolders(const std::vector<std::string>& list, std::string_view kind,
                   std::string* file, std::string* error) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (!AppendFolder(i + 1, list[i], kind, file, error)) return false;
  return true;
}

}  // namespace

DefinitionOutcome FormatDefinition(const DefinitionContent& content) {
  DefinitionOutcome outcome;
  const std::size_t faults = content.faults.size();
  const std::size_t cases = content.cases.size();
  if (faults == 0 || faults > kMostFaults) {
    outcome.error =
        std::to_string(faults) + " fault folders; lpgm takes 1 to 6";
    return outcome;
  }
  if (cases == 0 || cases > kMostCases) {
    outcome.error = std::to_string(cases) + " case folders; lpgm takes 1 to 21";
    return outcome;
  }
  std::string file;
  std::string& error = outcome.error;
  if (!ToCp932(content.title, "the title", &file, &error)) return outcome;
  file += "\r\n" + std::to_string(faults) + "," + std::to_string(cases) +
          "\r\n" + platform::Utf8ToCp932("震源断層番号,震源断層フォルダ") +
          "\r\n";
  if (!AppendFolders(content.faults, "fault", &file, &error)) return outcome;
  file += platform::Utf8ToCp932("ケース番号,ケースフォルダ") + "\r\n";
  if (!AppendFolders(content.cases, "case", &file, &error)) return outcome;
  outcome.bytes = std::move(file);
  return outcome;
}

}  // namespace lpgm::prepare
