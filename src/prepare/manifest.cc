#include "prepare/manifest.h"

#include "prepare/case_record.h"
#include "prepare/text_scan.h"

namespace lpgm::prepare {

std::optional<std::vector<std::string>> ManifestWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size()) {
    char c = line[at];
    if (c == ' ' || c == '\t') {
      ++at;
      continue;
    }
    if (c == '#') break;
    if (c == '"') {
      std::size_t close = line.find('"', at + 1);
      if (close == std::string_view::npos) return std::nullopt;
      words.emplace_back(line.substr(at + 1, close - at - 1));
      at = close + 1;
      continue;
    }
    std::size_t end = line.find_first_of(" \t", at);
    if (end == std::string_view::npos) end = line.size();
    words.emplace_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

namespace {

bool IsAbsolute(std::string_view path) {
  if (!path.empty() && (path.front() == '/' || path.front() == '\\'))
    return true;
  // A Windows drive: "C:\..." or "C:/...".
  return path.size() >= 3 && path[1] == ':' &&
         (path[2] == '\\' || path[2] == '/');
}

std::string FromManifest(std::string_view manifest, std::string_view path) {
  return IsAbsolute(path) ? std::string(path) : SiblingPath(manifest, path);
}

}  // namespace

std::variant<std::vector<Options>, InputError> ParseManifest(
    std::string_view text, std::string_view path, bool force) {
  std::vector<Options> jobs;
  LineCursor lines(text);
  std::string_view line;
  auto error = [&](std::string message) {
    return InputError{std::string(path), lines.number(), std::move(message)};
  };
  while (lines.Next(&line)) {
    std::optional<std::vector<std::string>> words = ManifestWords(line);
    if (!words) return error("a double quote is not closed");
    if (words->empty()) continue;
    if (words->size() < 2 || words->at(1).starts_with("-"))
      return error("a line needs RECORD and CASE_FOLDER before its options");
    std::vector<std::string_view> args = {words->at(0), "-o", words->at(1)};
    for (std::size_t i = 2; i < words->size(); ++i) {
      if (!words->at(i).starts_with("-"))
        return error("one RECORD and one CASE_FOLDER to a line: '" +
                     words->at(i) + "' is neither an option nor its value");
      args.push_back(words->at(i));
      // An option's value may be the next word.
      if (words->at(i).find('=') == std::string::npos &&
          words->at(i) != "--force" && i + 1 < words->size())
        args.push_back(words->at(++i));
    }
    Arguments parsed = ParseArguments(args);
    if (parsed.action != Action::kConvert)
      return error(parsed.action == Action::kUsageError
                       ? parsed.error
                       : "--help and --version have no place in a manifest");
    Options job = parsed.options;
    job.record = FromManifest(path, job.record);
    job.folder = FromManifest(path, job.folder);
    job.force = job.force || force;
    jobs.push_back(std::move(job));
  }
  if (jobs.empty()) return InputError{std::string(path), 0, "no records in it"};
  return jobs;
}

}  // namespace lpgm::prepare
