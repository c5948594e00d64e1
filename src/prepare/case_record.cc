#include "prepare/case_record.h"

#include <cstdio>

#include "base/case_record.h"
#include "compute/sha256.h"
#include "prepare/units.h"

namespace lpgm::prepare {

namespace {

std::string Number(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string Bytes(std::size_t size) { return std::to_string(size) + " bytes"; }

}  // namespace

Provenance DescribeCase(const CaseRecordContext& context,
                        const SourceRecord& record,
                        const ConvertOptions& options,
                        const Conversion& conversion, const Peaks& peaks,
                        const std::vector<std::string>& warnings) {
  Provenance p;
  auto add = [&p](std::string key, std::string value) {
    p.fields.push_back({std::move(key), std::move(value)});
  };
  add("program", context.program);
  add("written", context.written);
  add("source", context.source);
  add("source size", Bytes(context.source_bytes.size()));
  add("source sha256", Sha256Hex(context.source_bytes));
  for (const std::string& line : record.header) add("header", line);
  add("format", std::string(FormatName(record.format)));
  add("units", std::string(UnitsName(record.units)) + " (x " +
                   Number("%g", FactorToCentimetres(record.units)) +
                   " to cm/s2)");
  add("scale", Number("%.17g", options.scale));
  add("baseline", BaselinePart(record, options).substr(9));
  add("filter", FilterPart(conversion));
  add("time step", Number("%g s", record.dt) + " -> 0.02 s");
  add("samples", std::to_string(record.values.size()) + " -> " +
                     std::to_string(conversion.samples.size()));
  add("PGA", Number("%.2f cm/s2 (at 0.02 s)", peaks.pga));
  add("PGV", Number("%.2f cm/s (at 0.02 s, from rest)", peaks.pgv));
  for (const std::string& warning : warnings) add("warning", warning);
  add(std::string(kCaseFileKey), std::string(context.case_file_name));
  add(std::string(kCaseFileSizeKey), Bytes(context.case_file_bytes.size()));
  add(std::string(kCaseFileDigestKey), Sha256Hex(context.case_file_bytes));
  return p;
}

std::string SiblingPath(std::string_view path, std::string_view name) {
  std::size_t slash = path.find_last_of("/\\");
  if (slash == std::string_view::npos) return std::string(name);
  return std::string(path.substr(0, slash + 1)) + std::string(name);
}

std::string CaseFilePath(std::string_view folder) {
  return std::string(folder) + platform::kHostSeparator + kCaseFileName;
}

std::string Reason(const platform::FileResult& result) {
  if (result.error == platform::OpenError::kIsDirectory)
    return "is a folder, not a file";
  return result.reason;
}

}  // namespace lpgm::prepare
