#include "prepare/definition_command.h"

#include <optional>
#include <string>
#include <vector>

#include "prepare/case_record.h"
#include "prepare/definition_writer.h"
#include "prepare/prepare.h"

namespace lpgm::prepare {

bool IsDefinitionCommand(std::span<const std::string_view> args) {
  for (std::string_view arg : args)
    if (arg == "--definition" || arg.starts_with("--definition=")) return true;
  return false;
}

namespace {

struct DefinitionArguments {
  std::string file;
  DefinitionContent content{"長周期地震動 震源断層/ケースフォルダ定義", {}, {}};
  bool force = false;
  std::string error;  // a usage error when not empty
};

// Takes the value of `arg` (after '=' or the next word) into *value.
bool TakeValue(std::string_view name, std::string_view arg,
               std::span<const std::string_view> args, std::size_t& next,
               std::string* value, std::string* error) {
  if (arg.size() > name.size()) {
    *value = arg.substr(name.size() + 1);
  } else if (next < args.size()) {
    *value = args[next++];
  } else {
    *error = "option " + std::string(name) + " needs a value";
    return false;
  }
  return true;
}

DefinitionArguments Parse(std::span<const std::string_view> args) {
  DefinitionArguments parsed;
  std::vector<std::string>* list = nullptr;  // where folders go
  std::size_t next = 0;
  while (next < args.size() && parsed.error.empty()) {
    std::string_view arg = args[next++];
    auto is = [&arg](std::string_view name) {
      return arg == name ||
             (arg.starts_with(name) && arg.size() > name.size() &&
              arg[name.size()] == '=');
    };
    if (is("--definition")) {
      TakeValue("--definition", arg, args, next, &parsed.file, &parsed.error);
    } else if (is("--title")) {
      TakeValue("--title", arg, args, next, &parsed.content.title,
                &parsed.error);
    } else if (arg == "--faults") {
      list = &parsed.content.faults;
    } else if (arg == "--cases") {
      list = &parsed.content.cases;
    } else if (arg == "--force") {
      parsed.force = true;
    } else if (arg.size() > 1 && arg.front() == '-') {
      parsed.error = "unknown option " + std::string(arg) + " for --definition";
    } else if (list == nullptr) {
      parsed.error = "'" + std::string(arg) +
                     "' is neither after --faults nor after --cases";
    } else {
      list->emplace_back(arg);
    }
  }
  if (parsed.error.empty() && parsed.file.empty())
    parsed.error = "empty definition file name";
  return parsed;
}

std::string Count(std::size_t n, std::string_view what) {
  return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
}

// The first folder that lacks the file lpgm reads from it.
std::optional<std::string> MissingInput(const DefinitionContent& content,
                                        platform::FileSystem& files) {
  auto lacks = [&files](const std::string& folder, std::string_view name) {
    return !files.Status(SiblingPath(CaseFilePath(folder), name));
  };
  for (const std::string& folder : content.faults)
    if (lacks(folder, "Korvel長周期.csv"))
      return folder + ": error: no Korvel長周期.csv in this fault folder";
  for (const std::string& folder : content.cases)
    if (lacks(folder, "加速度波形.acc"))
      return folder + ": error: no 加速度波形.acc in this case folder";
  return std::nullopt;
}

void Write(platform::OutputStream& stream, std::string_view text) {
  // Nowhere is left to report a failure of the standard streams.
  (void)stream.Write(text.data(), text.size());
}

}  // namespace

int RunDefinitionCommand(std::span<const std::string_view> args,
                         PrepareEnvironment& env) {
  DefinitionArguments parsed = Parse(args);
  if (!parsed.error.empty()) {
    Write(env.err,
          "lpgm-prepare: " + parsed.error + "\nTry 'lpgm-prepare --help'.\n");
    return kExitUsage;
  }
  DefinitionOutcome file = FormatDefinition(parsed.content);
  if (!file.error.empty()) {
    Write(env.err, parsed.file + ": error: " + file.error + "\n");
    return kExitInputError;
  }
  if (auto missing = MissingInput(parsed.content, env.files)) {
    Write(env.err, *missing + "\n");
    return kExitInputError;
  }
  if (!parsed.force && env.files.Status(parsed.file)) {
    Write(env.err,
          parsed.file + ": error: exists already; --force replaces it\n");
    return kExitInputError;
  }
  if (platform::FileResult written =
          env.files.ReplaceWhole(parsed.file, file.bytes);
      !written.ok()) {
    Write(env.err,
          parsed.file + ": error: cannot write: " + Reason(written) + "\n");
    return kExitInputError;
  }
  Write(env.out, parsed.file + ": " +
                     Count(parsed.content.faults.size(), "fault") + ", " +
                     Count(parsed.content.cases.size(), "case") +
                     " (Shift-JIS, CR LF)\n");
  return kExitOk;
}

}  // namespace lpgm::prepare
