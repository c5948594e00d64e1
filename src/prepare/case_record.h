// The record lpgm-prepare keeps beside a case file it writes
// (prepare-record.txt): where the samples came from and what was done to
// them, so that a case can be traced back to its download.
#ifndef LPGM_PREPARE_CASE_RECORD_H_
#define LPGM_PREPARE_CASE_RECORD_H_

#include <string>
#include <string_view>
#include <vector>

#include "compute/provenance.h"
#include "platform/file_system.h"
#include "prepare/convert.h"
#include "prepare/formats.h"

namespace lpgm::prepare {

// What the record says beyond the conversion itself.
struct CaseRecordContext {
  std::string program;  // "lpgm-prepare 1.2.0"
  std::string written;  // the local date and time of writing
  std::string source;   // the record's path as given
  std::string_view source_bytes;
  std::string_view case_file_name;  // "加速度波形.acc"
  std::string_view case_file_bytes;
};

// The fields of the record, in the order they are written: program, date,
// source (path, size, SHA-256), the header lines, format, units, scale,
// baseline, filter, time step and count before and after, PGA and PGV at
// 0.02 s, the warnings, and the case file (name, size, SHA-256).
Provenance DescribeCase(const CaseRecordContext& context,
                        const SourceRecord& record,
                        const ConvertOptions& options,
                        const Conversion& conversion, const Peaks& peaks,
                        const std::vector<std::string>& warnings);

// The path of `name` in the folder of `path` (the part up to its last '/'
// or '\'; `name` alone when there is none).
std::string SiblingPath(std::string_view path, std::string_view name);

// The case file of `folder` (a host path), as the console shows it.
std::string CaseFilePath(std::string_view folder);

// The words for a file that cannot be read or written.
std::string Reason(const platform::FileResult& result);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_CASE_RECORD_H_
