#include "spectrum/spectrum_program.h"

#include <memory>
#include <string>
#include <vector>

#include "compute/response_spectrum.h"
#include "platform/encoding.h"
#include "spectrum/command_line.h"
#include "spectrum/periods.h"
#include "spectrum/record_source.h"
#include "spectrum/spectrum_files.h"

namespace lpgm::spectrum {

namespace {

constexpr std::string_view kProgram = "lpgm-spectrum";

void Say(platform::Console& console, std::string_view utf8) {
  const std::string cp932 = platform::Utf8ToCp932(utf8);
  console.Output().Write(cp932.data(), cp932.size());
}

int Refuse(SpectrumEnvironment& env, const prepare::InputError& error) {
  env.console.WriteErrorLine(platform::Utf8ToCp932(prepare::Describe(error)));
  return kExitInputError;
}

std::variant<std::vector<double>, prepare::InputError> Periods(
    const Command& command, platform::FileSystem& files) {
  if (command.periods_file.empty()) return DefaultPeriods();
  auto text = ReadWholeFile(files, command.periods_file);
  if (auto* error = std::get_if<prepare::InputError>(&text)) return *error;
  return ReadPeriods(std::get<std::string>(text), command.periods_file);
}

SpectrumTable Compute(const Command& command, const GroundRecord& record,
                      std::vector<double> periods,
                      const SpectrumEnvironment& env) {
  SpectrumTable table;
  table.periods = std::move(periods);
  if (command.output_kind == OutputKind::kFaultFile)
    table.dampings.assign(std::begin(kFaultDampings), std::end(kFaultDampings));
  else if (command.dampings.empty())
    table.dampings = {0.05};
  else
    table.dampings = command.dampings;
  std::vector<Oscillator> oscillators;
  for (const double h : table.dampings)
    for (const double t : table.periods) oscillators.push_back({t, h});
  SpectrumOptions options;
  options.substeps = command.substeps;
  options.kernel = env.kernel;
  table.peaks.resize(oscillators.size());
  const RecordSamples one[] = {{record.acc, record.dt}};
  ComputeSpectralPeaksOfRecords(one, oscillators, options, env.threads,
                                table.peaks);
  return table;
}

std::optional<prepare::InputError> WriteOutput(const std::string& utf8_name,
                                               std::string_view bytes,
                                               platform::FileSystem& files) {
  platform::OpenError error = platform::OpenError::kNone;
  std::unique_ptr<platform::OutputStream> out =
      files.OpenForWriting(platform::Utf8ToCp932(utf8_name), &error);
  if (!out)
    return prepare::InputError{utf8_name, 0, "cannot be opened for writing"};
  if (!out->Write(bytes.data(), bytes.size()) || !out->Close())
    return prepare::InputError{utf8_name, 0, "cannot be written"};
  return std::nullopt;
}

std::string Summary(const Command& command, const GroundRecord& record,
                    const SpectrumTable& table) {
  return command.record + ": " + std::to_string(record.acc.size()) +
         " samples at " + Fixed(record.dt, 4) + " s, PGA " +
         Fixed(record.pga, 3) + " cm/s2; " +
         std::to_string(table.periods.size()) + " periods x " +
         std::to_string(table.dampings.size()) +
         (table.dampings.size() == 1 ? " damping" : " dampings") + ", peaks " +
         (command.substeps == 1
              ? std::string("at the sample times")
              : "at " + std::to_string(command.substeps) + " points a step") +
         " -> " + command.output + "\n";
}

// A file name with each '\' as '/', without "." steps, and with "name/.."
// steps taken out: two names that differ only so name one file.
std::string Normal(std::string_view name) {
  std::vector<std::string> parts;
  std::string part;
  const bool rooted = !name.empty() && (name[0] == '/' || name[0] == '\\');
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && name[i] != '/' && name[i] != '\\') {
      part += name[i];
      continue;
    }
    if (part == ".." && !parts.empty() && parts.back() != "..")
      parts.pop_back();
    else if (!part.empty() && part != ".")
      parts.push_back(part);
    part.clear();
  }
  std::string normal = rooted ? "/" : "";
  for (std::size_t k = 0; k < parts.size(); ++k)
    normal += (k == 0 ? "" : "/") + parts[k];
  return normal;
}

int Run(const Command& command, SpectrumEnvironment& env) {
  const std::string output = Normal(command.output);
  if (output == Normal(command.record) ||
      (!command.periods_file.empty() && output == Normal(command.periods_file)))
    return Refuse(env, {command.output, 0,
                        "is an input of this run; choose another output"});
  auto periods = Periods(command, env.files);
  if (auto* error = std::get_if<prepare::InputError>(&periods))
    return Refuse(env, *error);
  auto read = ReadGroundRecord(command, env.files, env.state);
  if (auto* error = std::get_if<prepare::InputError>(&read))
    return Refuse(env, *error);
  const GroundRecord& record = std::get<GroundRecord>(read);
  const SpectrumTable table = Compute(
      command, record, std::move(std::get<std::vector<double>>(periods)), env);
  RecordNote note{command.record,
                  record.kind,
                  record.dt,
                  record.acc.size(),
                  record.pga,
                  command.substeps,
                  command.periods_file.empty()};
  const std::string bytes = command.output_kind == OutputKind::kFaultFile
                                ? FaultFileText(table, note)
                                : CsvText(table);
  if (auto error = WriteOutput(command.output, bytes, env.files))
    return Refuse(env, *error);
  Say(env.console, Summary(command, record, table));
  return kExitOk;
}

}  // namespace

int RunSpectrum(std::span<const std::string_view> args,
                SpectrumEnvironment& env) {
  const ParsedCommand parsed = ParseCommandLine(args);
  switch (parsed.action) {
    case Action::kHelp:
      Say(env.console, HelpText());
      return kExitOk;
    case Action::kVersion:
      Say(env.console, std::string(kProgram) + " " + LPGM_VERSION + "\n");
      return kExitOk;
    case Action::kUsageError:
      env.console.WriteErrorLine(
          platform::Utf8ToCp932(std::string(kProgram) + ": " + parsed.error));
      env.console.WriteErrorLine("Try 'lpgm-spectrum --help'.");
      return kExitUsage;
    case Action::kCompute:
      break;
  }
  return Run(parsed.command, env);
}

}  // namespace lpgm::spectrum
