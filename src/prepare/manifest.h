// A manifest: the records of a batch, one a line, each with its case folder
// and its own options.
//
//   # comment; blank lines are passed over
//   RECORD  CASE_FOLDER  [OPTION ...]
//   elcentro.dat  cases/ELCENTRO1940_NS  --format table --dt 0.02 --units g
//   "my records/RSN879_LANDERS_LCN260.AT2"  cases/LCN260
//
// Words are separated by blanks or tabs; a word with blanks is put in
// double quotes. The options are those of the command line for one record
// (--format, --dt, --units, --skip, --column, --scale, --baseline, --force)
// with the same rules. A RECORD or CASE_FOLDER that is not an absolute path
// is taken from the manifest's own folder. The manifest is UTF-8 text.
#ifndef LPGM_PREPARE_MANIFEST_H_
#define LPGM_PREPARE_MANIFEST_H_

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "prepare/formats.h"
#include "prepare/options.h"

namespace lpgm::prepare {

// The jobs of the manifest `text` read from `path`, in line order; `force`
// (from the command line) holds for every line. Fails at the first line
// that does not read, naming the manifest and the line.
std::variant<std::vector<Options>, InputError> ParseManifest(
    std::string_view text, std::string_view path, bool force);

// The words of a manifest line: split at blanks and tabs, a double-quoted
// word taken whole (without its quotes). An unclosed quote is an error
// (nullopt). A '#' that begins a word begins a comment to the line end.
std::optional<std::vector<std::string>> ManifestWords(std::string_view line);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_MANIFEST_H_
