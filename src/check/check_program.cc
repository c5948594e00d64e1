#include "check/check_program.h"

#include <exception>
#include <sstream>

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

// Whether `html` (UTF-8) is the same file as an input or one of lpgm's
// outputs.
bool NamesProtectedFile(const std::string& html, const CheckResult& result,
                        platform::FileSystem& files) {
  std::vector<std::string> paths;
  for (const InputFile& f : result.inputs) paths.push_back(f.path);
  for (int k = 0; k < 6; ++k)
    paths.push_back(platform::HostPath(OutputFileName(k)));
  for (const std::string& p : paths)
    if (files.SameFile(html, p)) return true;
  return false;
}

// The report's name comes as typed (`cp932`, for messages) and as the
// system names files (`utf8`).
int WriteHtml(const std::string& cp932, const std::string& utf8,
              const CheckResult& result, CheckEnvironment& env) {
  if (NamesProtectedFile(utf8, result, env.files)) {
    env.console.WriteErrorLine(
        "lpgm-check: the report would replace " + cp932 +
        ", an input or output file of lpgm; not written");
    return kExitCannotWrite;
  }
  std::ostringstream page;
  WriteHtmlReport(result, page);
  if (!env.files.WriteWhole(utf8, page.str()).ok()) {
    env.console.WriteErrorLine("lpgm-check: cannot write the report " + cp932);
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
  request.working_directory = env.files.WorkingDirectory();
  request.checked_at = env.checked_at;
  request.version = CheckerVersion();
  request.spectrum_kind = cl.spectrum;
  request.damping = cl.damping;
  CheckResult result = CheckInputs(request, env.files, env.state);
  if (cl.json) {
    std::string json = JsonReport(result);
    env.raw_out.Write(json.data(), json.size());
  } else {
    ShowText(env.console, TextReport(result));
  }
  if (cl.html) {
    const std::string& typed = *cl.html;
    int status =
        WriteHtml(utf8 ? platform::Utf8ToCp932(typed) : typed,
                  utf8 ? typed : platform::Cp932ToUtf8(typed), result, env);
    if (status != 0) return status;
  }
  return ExitStatusOf(result);
}

}  // namespace

const char* CheckerVersion() { return LPGM_VERSION; }

int RunCheckProgram(std::span<const std::string> args,
                    CheckEnvironment& env) noexcept {
  try {
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
      ShowText(env.console,
               std::string("lpgm-check ") + CheckerVersion() + "\n");
      return 0;
    }
    return Check(cl, env);
  } catch (const std::exception& e) {
    // A RunStop the checker did not take as a finding ends here too.
    try {
      env.console.WriteErrorLine(std::string("lpgm-check: internal error: ") +
                                 e.what());
    } catch (...) {
      // Not even the message could be made (out of memory).
    }
    return kExitInternal;
  }
}

}  // namespace lpgm::check
