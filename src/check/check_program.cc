#include "check/check_program.h"

#include <exception>
#include <filesystem>
#include <fstream>

#include "check/check_result.h"
#include "check/checker.h"
#include "check/command_line.h"
#include "check/html_report.h"
#include "check/json_report.h"
#include "check/text_report.h"
#include "output/output_files.h"
#include "platform/encoding.h"

namespace lpgm::check {
namespace {

// Whether the console shows CP932 text as UTF-8: then its arguments are
// UTF-8 too.
bool ConsoleIsUtf8(platform::Console& console) {
  static const std::string kProbe = "\x82\xa0";  // HIRAGANA A in CP932
  return console.ToConsoleText(kProbe) != kProbe;
}

void ShowText(platform::Console& console, const std::string& utf8) {
  std::string cp932 = platform::Utf8ToCp932(utf8);
  console.Output().Write(cp932.data(), cp932.size());
}

// A UTF-8 name as a path: the narrow form of a path is the ANSI code page on
// Windows.
std::filesystem::path Utf8Path(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Whether `html` is the same file as an input or one of lpgm's outputs.
bool NamesProtectedFile(const std::filesystem::path& html,
                        const CheckResult& result) {
  std::vector<std::string> paths;
  for (const InputFile& f : result.inputs) paths.push_back(f.path);
  for (int k = 0; k < 6; ++k)
    paths.push_back(platform::HostPath(OutputFileName(k)));
  for (const std::string& p : paths) {
    std::error_code ec;
    if (std::filesystem::equivalent(html, Utf8Path(p), ec)) return true;
  }
  return false;
}

// The report's name comes as typed (`cp932`, for messages) and as the
// system names files (`utf8`).
int WriteHtml(const std::string& cp932, const std::string& utf8,
              const CheckResult& result, platform::Console& console) {
  const std::filesystem::path html = Utf8Path(utf8);
  if (NamesProtectedFile(html, result)) {
    console.WriteErrorLine("lpgm-check: the report would replace " + cp932 +
                           ", an input or output file of lpgm; not written");
    return kExitCannotWrite;
  }
  std::ofstream out(html, std::ios::binary | std::ios::trunc);
  if (out) WriteHtmlReport(result, out);
  out.close();
  if (!out) {
    console.WriteErrorLine("lpgm-check: cannot write the report " + cp932);
    return kExitCannotWrite;
  }
  return 0;
}

int Check(const CommandLine& cl, CheckEnvironment& env) {
  CheckRequest request;
  bool utf8 = ConsoleIsUtf8(env.console);
  request.definition_cp932 =
      utf8 ? platform::Utf8ToCp932(cl.definition) : cl.definition;
  request.definition =
      utf8 ? cl.definition : platform::Cp932ToUtf8(cl.definition);
  request.working_directory = env.working_directory;
  request.checked_at = env.checked_at;
  request.version = CheckerVersion();
  CheckResult result = CheckInputs(request, env.files, env.probe, env.state);
  if (cl.json) {
    std::string json = JsonReport(result);
    env.raw_out.Write(json.data(), json.size());
  } else {
    ShowText(env.console, TextReport(result));
  }
  if (cl.html) {
    const std::string& typed = *cl.html;
    int status = WriteHtml(utf8 ? platform::Utf8ToCp932(typed) : typed,
                           utf8 ? typed : platform::Cp932ToUtf8(typed), result,
                           env.console);
    if (status != 0) return status;
  }
  return ExitStatusOf(result);
}

}  // namespace

const char* CheckerVersion() { return LPGM_VERSION; }

int RunCheckProgram(std::span<const std::string> args, CheckEnvironment& env) {
  CommandLine cl = ParseCommandLine(args);
  if (!cl.error.empty()) {
    env.console.WriteErrorLine("lpgm-check: " + cl.error);
    env.console.WriteErrorLine(UsageLine());
    return kExitUsage;
  }
  if (cl.help) {
    ShowText(env.console, HelpText());
    return 0;
  }
  if (cl.version) {
    ShowText(env.console, std::string("lpgm-check ") + CheckerVersion() + "\n");
    return 0;
  }
  try {
    return Check(cl, env);
  } catch (const std::exception& e) {
    env.console.WriteErrorLine(std::string("lpgm-check: internal error: ") +
                               e.what());
    return kExitInternal;
  }
}

}  // namespace lpgm::check
