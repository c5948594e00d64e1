#include "check/rules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <string_view>

#include "base/case_record.h"
#include "check/read_cause.h"
#include "check/report_format.h"
#include "check/series_stats.h"
#include "platform/encoding.h"
#include "record/number_format.h"

namespace lpgm::check {
namespace {

std::string Utf8(std::string_view cp932) {
  return platform::Cp932ToUtf8(cp932);
}

// --- what the rules ask of the facts and the summaries --------------------

const FolderFacts& FolderAt(const RuleInput& in) {
  return in.facts.folders[in.index];
}
const FaultFacts& FaultAt(const RuleInput& in) {
  return in.facts.faults[in.index];
}
const FaultSummary& FaultSummaryAt(const RuleInput& in) {
  return in.result.faults[in.index];
}
const CaseFacts& CaseAt(const RuleInput& in) {
  return in.facts.cases[in.index];
}
const CaseSummary& CaseSummaryAt(const RuleInput& in) {
  return in.result.cases[in.index];
}

using Extremes = SeriesExtremes;

// Whether a finite value would be written as asterisks by Fw.d.
bool Overflows(double value, int width, int decimals) {
  if (!std::isfinite(value)) return false;
  char text[32];
  FormatFixed(text, width, decimals, value);
  return text[0] == '*';
}

bool ExtremesOverflow(const Extremes& e, int width, int decimals) {
  return Overflows(e.min, width, decimals) || Overflows(e.max, width, decimals);
}

// A case whose samples were read whole and are more than none.
bool HasSamples(const CaseSummary& c) { return c.read_ok && c.npts > 0; }

bool OutsidePgaRange(const CaseSummary& c) {
  return HasSamples(c) &&
         (c.pga < kPlausiblePgaLow || c.pga > kPlausiblePgaHigh);
}

std::string Slot(const FolderFacts& f, int k) {
  return (f.fault != 0 ? "fault " : "case ") + std::to_string(k);
}

// What makes lpgm take a folder name other than the user meant: the name
// runs to the end of its line, commas, quotes and leading blanks included.
// nullptr when nothing does.
const char* LiteralDefect(const std::string& folder) {
  if (!folder.empty() && folder.back() == ',') return "a comma at the end";
  if (!folder.empty() && folder.front() == ' ') return "a leading blank";
  if (folder.find_first_of("'\"") != std::string::npos)
    return "quotation marks";
  if (folder.find_first_of(",\t") != std::string::npos)
    return "a comma or a tab";
  return nullptr;
}

const std::optional<ReadStop>& StopOfFolder(const CheckFacts& facts,
                                            const FolderFacts& f) {
  static const std::optional<ReadStop> kNoStop;
  if (f.fault != 0 && static_cast<std::size_t>(f.fault) <= facts.faults.size())
    return facts.faults[static_cast<std::size_t>(f.fault - 1)].stop;
  if (f.case_number != 0 &&
      static_cast<std::size_t>(f.case_number) <= facts.cases.size())
    return facts.cases[static_cast<std::size_t>(f.case_number - 1)].stop;
  return kNoStop;
}

// The folders whose name is taken literally, split by whether their file
// could be opened: one cause, one finding for each side.
struct LiteralFolders {
  std::vector<const FolderFacts*> unopened;
  std::vector<const FolderFacts*> opened;
};

LiteralFolders LiteralFoldersOf(const CheckFacts& facts) {
  LiteralFolders found;
  for (const FolderFacts& f : facts.folders) {
    if (LiteralDefect(f.folder) == nullptr) continue;
    (StoppedFor(StopOfFolder(facts, f), StopReason::kCannotOpen)
         ? found.unopened
         : found.opened)
        .push_back(&f);
  }
  return found;
}

// "faults 1-6 and cases 1-10", "case 3".
std::string SlotList(const std::vector<const FolderFacts*>& folders) {
  std::vector<int> faults, cases;
  for (const FolderFacts* f : folders)
    (f->fault != 0 ? faults : cases).push_back(f->fault + f->case_number);
  auto part = [](const std::vector<int>& n, const char* one, const char* many) {
    if (n.empty()) return std::string();
    return std::string(n.size() == 1 ? one : many) + " " + Ranges(n);
  };
  std::string text = part(faults, "fault", "faults");
  std::string more = part(cases, "case", "cases");
  if (!text.empty() && !more.empty()) text += " and ";
  return text + more;
}

// The folder names quoted, at most three, then how many more.
std::string NameList(const std::vector<const FolderFacts*>& folders) {
  std::string text;
  for (std::size_t k = 0; k < folders.size() && k < 3; ++k)
    text += (k == 0 ? "\"" : ", \"") + Utf8(folders[k]->folder) + "\"";
  if (folders.size() > 3)
    text += " and " + std::to_string(folders.size() - 3) + " more";
  return text;
}

// The defect all the folders share, or the general one.
std::string SharedDefect(const std::vector<const FolderFacts*>& folders) {
  const char* first = LiteralDefect(folders.front()->folder);
  for (const FolderFacts* f : folders)
    if (std::string_view(LiteralDefect(f->folder)) != first)
      return "commas, quotation marks or leading blanks";
  return first;
}

// --- the rules that share their wording between faults and cases ----------

// lpgm's own message for a stop, without the console's " ! [Enter]" (the
// checker does not wait), in UTF-8.
std::string LpgmText(const ReadStop& stop) {
  constexpr std::string_view kEnter = " ! [Enter]";
  std::string_view message = stop.message;
  if (message.ends_with(kEnter)) message.remove_suffix(kEnter.size());
  return Utf8(message);
}

// A stop's message: its cause and what follows from it, then lpgm's own
// words; without a cause, lpgm's words, what follows and `advice`.
std::string StopMessage(const ReadStop& stop, std::string_view follows,
                        std::string_view advice) {
  std::string lpgm = LpgmText(stop);
  if (stop.cause.empty())
    return lpgm + " - " + std::string(follows) + std::string(advice);
  if (lpgm.rfind("lpgm: ", 0) != 0) lpgm = "lpgm: " + lpgm;
  return stop.cause + "; " + std::string(follows) + " - " + lpgm;
}

void ReadFailure(const std::optional<ReadStop>& stop, Hit place,
                 std::vector<Hit>& hits) {
  if (!StoppedFor(stop, StopReason::kNone)) return;
  place.line = stop->line;
  place.message = StopMessage(*stop, "lpgm fails here",
                              "; check that the file is complete and every "
                              "value is a number");
  hits.push_back(std::move(place));
}

// Whether no fault and no case file could be opened: then the folders are
// likely read from the wrong place.
bool NothingOpened(const CheckFacts& facts) {
  if (facts.faults.empty() && facts.cases.empty()) return false;
  for (const FaultFacts& f : facts.faults)
    if (!StoppedFor(f.stop, StopReason::kCannotOpen)) return false;
  for (const CaseFacts& c : facts.cases)
    if (!StoppedFor(c.stop, StopReason::kCannotOpen)) return false;
  return true;
}

// The files that cannot be opened because their folder names are taken
// literally: one finding, at the first of them.
void LiteralFoldersUnopened(const LiteralFolders& literal, const ReadStop& stop,
                            Hit place, std::vector<Hit>& hits) {
  const bool one = literal.unopened.size() == 1;
  place.message =
      "the folder name" + std::string(one ? " of " : "s of ") +
      SlotList(literal.unopened) + " (" + NameList(literal.unopened) +
      (one ? ") has " : ") have ") + SharedDefect(literal.unopened) +
      ", which lpgm keeps as part of the name, so " +
      (one ? "its file cannot" : "none of their files can") +
      " be opened; lpgm stops at the first - lpgm: " + LpgmText(stop);
  hits.push_back(std::move(place));
}

// The folders whose file cannot be opened for the same cause as `stop`.
std::vector<const FolderFacts*> SameOpenCause(const CheckFacts& facts,
                                              const ReadStop& stop) {
  std::vector<const FolderFacts*> same;
  for (const FolderFacts& f : facts.folders) {
    const std::optional<ReadStop>& other = StopOfFolder(facts, f);
    if (StoppedFor(other, StopReason::kCannotOpen) &&
        other->cause == stop.cause)
      same.push_back(&f);
  }
  return same;
}

// No fault and no case file opens: most likely the check runs in another
// directory than the folders are relative to. One finding, at fault 1.
void NothingOpens(const RuleInput& in, const ReadStop& stop, Hit place,
                  std::vector<Hit>& hits) {
  const std::string& wd = in.result.working_directory;
  const std::size_t files = in.facts.faults.size() + in.facts.cases.size();
  place.message =
      "none of the " + std::to_string(files) +
      " fault and case files can be opened" +
      (stop.cause.empty() ? std::string()
                          : " (the first: " + stop.cause + ")") +
      ": lpgm reads the folders of the definition file relative to the "
      "working directory" +
      (wd.empty() ? std::string() : ", here " + wd) +
      "; run the check where lpgm runs, or correct the folders - lpgm: " +
      LpgmText(stop);
  hits.push_back(std::move(place));
}

// A file that cannot be opened, with the causes that many files share
// told once.
void CannotOpen(const RuleInput& in, const std::optional<ReadStop>& stop,
                Hit place, std::vector<Hit>& hits) {
  if (!StoppedFor(stop, StopReason::kCannotOpen)) return;
  const LiteralFolders literal = LiteralFoldersOf(in.facts);
  for (const FolderFacts* f : literal.unopened) {
    if (f->fault != place.fault || f->case_number != place.case_number)
      continue;
    if (f == literal.unopened.front())
      LiteralFoldersUnopened(literal, *stop, std::move(place), hits);
    return;
  }
  if (literal.unopened.empty() && NothingOpened(in.facts)) {
    if (place.fault == 1) NothingOpens(in, *stop, std::move(place), hits);
    return;
  }
  if (!stop->cause.empty()) {
    const std::vector<const FolderFacts*> same = SameOpenCause(in.facts, *stop);
    if (same.size() > 1) {
      if (same.front()->fault == place.fault &&
          same.front()->case_number == place.case_number) {
        place.message = stop->cause + ", so the files of " + SlotList(same) +
                        " cannot be opened; lpgm stops at the first - lpgm: " +
                        LpgmText(*stop);
        hits.push_back(std::move(place));
      }
      return;
    }
  }
  place.message = StopMessage(*stop, "lpgm stops here",
                              "; check the folder name in the definition "
                              "file and that the file exists and is "
                              "readable");
  hits.push_back(std::move(place));
}

Hit AtFault(const RuleInput& in, long line = 0) {
  return {FaultAt(in).fault, 0, FaultAt(in).path, line, {}};
}
Hit AtCase(const RuleInput& in, long line = 0) {
  return {0, CaseAt(in).case_number, CaseAt(in).path, line, {}};
}
Hit AtCaseOnly(const RuleInput& in) {
  return {0, CaseAt(in).case_number, {}, 0, {}};
}

// --- the spectra -------------------------------------------------------------

// How far, in decades, a case's spectrum may lie on average from the
// cases' median spectrum before a wrong unit or scale is more likely than
// nature: real records of long-period design sets lie within 0.7 of it,
// a record in m/s2 2 below.
constexpr double kCaseSpread = 1.2;

// The band a spectrum may lie in against the target, in decades: real
// records lie from 1.25 below it (weak, distant ones) to just above it; a
// target is an envelope, so the band is lopsided.
constexpr double kTargetLow = -1.6;
constexpr double kTargetHigh = 0.48;

bool OutsideTargetLevel(double ratio) {
  const double e = std::log10(ratio);
  return e < kTargetLow || e > kTargetHigh;
}

// How much more alike samples two or three apart must be than neighbours
// before the record is taken for interleaved series: real records at
// 0.02 s stay 0.15 below it.
constexpr double kInterleaveExcess = 0.1;

// "0.0102 times" or "98.1 times".
std::string LevelFactorText(double ratio) {
  return (ratio < 1 ? Number(ratio, 4) : Number(ratio, 1)) + " times";
}

// The likely causes of a spectrum `ratio` times the yardstick's.
std::string LevelCause(double ratio) {
  if (ratio < 1)
    return "a record in m/s2 (x 100) or in g (x 980.665) taken as cm/s2 "
           "would give this; lpgm takes the samples in cm/s2, check the "
           "record's units";
  return "a record in mm/s2 taken as cm/s2, or a scale applied twice, would "
         "give this; check the record's units and any scale applied";
}

// --- the table --------------------------------------------------------------

// The summaries of the rules raised on more than one part.
constexpr const char* kReadFailure =
    "a file ends too early or holds a\nmalformed field";
constexpr const char* kCannotOpen = "a fault or case file cannot be opened";
constexpr const char* kNonFinite =
    "an infinite or NaN sample or spectrum value";
constexpr const char* kSpectrumLevel =
    "a spectrum on average more than 16 times\nabove or below the cases' "
    "median (below\n1/40 or above 3 times the target's)";
constexpr const char* kFieldOverflow =
    "a value an output file shows as asterisks";

const Rule kRules[] = {
    // The definition file and its name.
    {"definition-name-long", Severity::kWarning, Scope::kDefinition,
     "a name longer than the 40 bytes lpgm keeps",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const DefinitionFacts& d = in.facts.definition;
       if (d.name.size() <= d.name_kept) return;
       hits.push_back(
           {0,
            0,
            {},
            0,
            "the name is " + std::to_string(d.name.size()) +
                " bytes long: lpgm keeps only the first " +
                std::to_string(d.name_kept) + " at its prompt and opens \"" +
                Utf8(d.name.substr(0, d.name_kept)) +
                "\"; move the definition file or use a shorter relative "
                "name"});
     }},
    {"definition-name-quoting", Severity::kNote, Scope::kDefinition,
     "the name must be quoted at lpgm's prompt",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       if (in.facts.definition.name.find_first_of(" \t,/'\"") ==
           std::string::npos)
         return;
       hits.push_back({0,
                       0,
                       {},
                       0,
                       "at lpgm's prompt a blank, comma or slash ends the "
                       "name: type it between quotation marks (\"...\")"});
     }},
    {"definition-encoding", Severity::kWarning, Scope::kDefinition,
     "the definition file is UTF-8 or UTF-16",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const DefinitionFacts& d = in.facts.definition;
       if (d.encoding == TextEncoding::kShiftJis) return;
       const char* what = d.encoding == TextEncoding::kUtf16 ? "UTF-16"
                          : d.encoding == TextEncoding::kUtf8Bom
                              ? "UTF-8 with a BOM"
                              : "UTF-8";
       hits.push_back(
           {0, 0, d.path, 0,
            std::string("the definition file looks like ") + what +
                ": lpgm reads Shift-JIS (CP932), so Japanese folder names "
                "will not be found and the counts may not read; save it as "
                "Shift-JIS"});
     }},
    {"definition-error", Severity::kError, Scope::kDefinition,
     "the definition file cannot be opened or\nlpgm would stop on it",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const DefinitionFacts& d = in.facts.definition;
       if (!d.stop) return;
       hits.push_back({0, 0, d.path, d.stop->line,
                       StopMessage(*d.stop,
                                   "lpgm stops here; no other input can be "
                                   "checked",
                                   "")});
     }},

    // The folders of the definition file.
    {"same-folder", Severity::kWarning, Scope::kFolder,
     "two faults or two cases name one folder",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const FolderFacts& f = FolderAt(in);
       if (f.same_as == 0) return;
       const int k = f.fault != 0 ? f.fault : f.case_number;
       hits.push_back({f.fault,
                       f.case_number,
                       {},
                       0,
                       Slot(f, k) + " names the same folder as " +
                           Slot(f, f.same_as) + " (" + Utf8(f.folder) +
                           "): lpgm reads it twice; check the definition "
                           "file"});
     }},
    {"folder-name-literal", Severity::kNote, Scope::kFolder,
     "a folder name with commas, quotes or a\nleading blank",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       // Folders whose file cannot be opened are told by cannot-open.
       const LiteralFolders literal = LiteralFoldersOf(in.facts);
       const FolderFacts& f = FolderAt(in);
       if (literal.opened.empty() || literal.opened.front() != &f) return;
       const bool one = literal.opened.size() == 1;
       hits.push_back(
           {f.fault,
            f.case_number,
            {},
            0,
            "the folder name" + std::string(one ? " of " : "s of ") +
                SlotList(literal.opened) + " (" + NameList(literal.opened) +
                (one ? ") has " : ") have ") + SharedDefect(literal.opened) +
                ": lpgm takes each name literally to the end of "
                "its line (commas, quotation marks and leading "
                "blanks included)"});
     }},

    // Each fault's spectrum file.
    {"read-failure", Severity::kError, Scope::kFaultFile, kReadFailure,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       ReadFailure(FaultAt(in).stop, AtFault(in), hits);
     }},
    {"cannot-open", Severity::kError, Scope::kFaultFile, kCannotOpen,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       CannotOpen(in, FaultAt(in).stop, AtFault(in), hits);
     }},
    {"spectrum-short-row", Severity::kWarning, Scope::kFaultFile,
     "rows without field 28 (Sv read as 0.0)",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       if (!FaultSummaryAt(in).read_ok) return;
       const std::vector<SpectrumRowSeen>& rows = FaultAt(in).rows;
       std::vector<int> short_rows;
       int fields = 0;
       for (std::size_t k = 0; k < rows.size(); ++k) {
         if (rows[k].has_sv) continue;
         if (short_rows.empty()) fields = rows[k].fields;
         short_rows.push_back(static_cast<int>(k) + 1);
       }
       if (short_rows.empty()) return;
       const bool one = short_rows.size() == 1;
       hits.push_back(AtFault(in, 9 + short_rows.front()));
       hits.back().message =
           (one ? "row " : "rows ") + Ranges(short_rows) +
           (one ? " has " : " have no value in field 28 (the first has ") +
           std::to_string(fields) + " of 28 fields" +
           (one ? " and no value in field 28" : ")") + ": lpgm reads " +
           (one ? "its Sv as 0.0; fill the row"
                : "their Sv as 0.0; fill the rows") +
           " (a blank cell in the last column?)";
     }},
    {"spectrum-nonpositive", Severity::kWarning, Scope::kFaultFile,
     "an Sv of 0 or less",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const FaultSummary& f = FaultSummaryAt(in);
       if (!f.read_ok) return;
       const std::vector<SpectrumRowSeen>& rows = FaultAt(in).rows;
       std::vector<int> low;
       for (std::size_t k = 0; k < rows.size() && k < f.sv.size(); ++k)
         if (rows[k].has_sv && f.sv[k] <= 0)
           low.push_back(static_cast<int>(k) + 1);
       if (low.empty()) return;
       const std::size_t first = static_cast<std::size_t>(low.front() - 1);
       hits.push_back(AtFault(in, 9 + low.front()));
       hits.back().message =
           "Sv " + Number(f.sv[first], 6) + " cm/s at row " +
           std::to_string(low.front()) +
           (low.size() == 1 ? ""
                            : " (" + std::to_string(low.size()) +
                                  " rows of 0 or less: " + Ranges(low) + ")") +
           ": lpgm takes it as it is into the target spectrum; check the "
           "column and the sign";
     }},

    // The period grid.
    {"period-order", Severity::kWarning, Scope::kPeriodGrid,
     "fault 1's periods not increasing or not\npositive",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const FaultSummary& f = FaultSummaryAt(in);
       if (f.fault != 1 || !f.read_ok) return;
       const std::vector<double>& p = f.period;
       for (std::size_t j = 0; j < p.size(); ++j) {
         const bool positive = p[j] > 0;
         if (positive && (j == 0 || p[j] > p[j - 1])) continue;
         hits.push_back(AtFault(in, 10 + static_cast<long>(j)));
         hits.back().message =
             "fault 1's period " + Number(p[j], 4) + " s at row " +
             std::to_string(j + 1) +
             (positive ? " does not increase" : " is not positive") +
             ": lpgm pairs the faults by row and writes the periods in "
             "this order; sort the rows by increasing period";
         return;
       }
     }},
    {"period-grid", Severity::kWarning, Scope::kPeriodGrid,
     "a fault's periods differ from fault 1's",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const int row = FaultAt(in).grid_difference_row;
       if (row == 0) return;
       const std::size_t k = static_cast<std::size_t>(row - 1);
       const double own = FaultSummaryAt(in).period[k];
       const double first = in.result.faults[0].period[k];
       hits.push_back(AtFault(in, 9 + row));
       hits.back().message =
           "period " + Number(own, 4) + " s at row " + std::to_string(row) +
           " differs from fault 1's " + Number(first, 4) +
           " s: lpgm pairs the faults by row and uses fault 1's periods, so "
           "this Sv lands on another period; put every fault on the same "
           "period grid";
     }},

    // Each case's acceleration file.
    {"read-failure", Severity::kError, Scope::kCaseFile, kReadFailure,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       ReadFailure(CaseAt(in).stop, AtCase(in), hits);
     }},
    {"cannot-open", Severity::kError, Scope::kCaseFile, kCannotOpen,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       CannotOpen(in, CaseAt(in).stop, AtCase(in), hits);
     }},
    {"sample-capacity", Severity::kError, Scope::kCaseFile,
     "a header count above 100000",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseFacts& c = CaseAt(in);
       if (!StoppedFor(c.stop, StopReason::kSampleCount)) return;
       hits.push_back(AtCase(in, 1));
       hits.back().message =
           LpgmText(*c.stop) + " - the header count " + std::to_string(c.npts) +
           " is above lpgm's capacity of " + std::string(kSampleCapacityText) +
           " samples; lpgm stops here";
     }},
    {"header-time-step", Severity::kWarning, Scope::kCaseFile,
     "the header's time step is not 0 or 0.02",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const std::optional<double>& step = CaseAt(in).header_time_step;
       if (!step || *step == 0 || *step == kTimeStep) return;
       hits.push_back(AtCase(in, 1));
       hits.back().message =
           "the header gives a time step of " + Number(*step, 6) +
           " s: lpgm never reads it and integrates at " +
           std::string(kTimeStepText) +
           " s always, so the velocities and the duration scale wrongly; "
           "resample the record to " +
           std::string(kTimeStepText) + " s";
     }},
    {"no-samples", Severity::kWarning, Scope::kCaseFile,
     "a header count of 0 or less",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseSummary& c = CaseSummaryAt(in);
       if (!c.read_ok || c.npts > 0) return;
       hits.push_back(AtCase(in, 1));
       hits.back().message =
           "the header count is " + std::to_string(c.npts) +
           ": lpgm takes no sample of this case, its peak velocity is 0; "
           "check the header's first field";
     }},
    {"samples-ended-early", Severity::kWarning, Scope::kCaseFile,
     "a slash ends the samples before the count",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseFacts& c = CaseAt(in);
       if (!CaseSummaryAt(in).read_ok || c.end.slash_line == 0) return;
       hits.push_back(AtCase(in, c.end.slash_line));
       hits.back().message =
           "a slash ends the samples after " +
           std::to_string(c.end.values_before_slash) + " of " +
           std::to_string(c.npts) +
           ": lpgm reads the rest as 0.0; remove the slash or fix the count";
     }},
    {"extra-samples", Severity::kWarning, Scope::kCaseFile,
     "values follow the count's last sample",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseFacts& c = CaseAt(in);
       if (!CaseSummaryAt(in).read_ok || c.end.value_after_count_line == 0)
         return;
       hits.push_back(AtCase(in, c.end.value_after_count_line));
       hits.back().message =
           "values follow the count's last sample (" + std::to_string(c.npts) +
           "): lpgm ignores them; check the header count against the "
           "record's length";
     }},

    {"case-changed", Severity::kWarning, Scope::kCaseFile,
     "the case file differs from the one\nlpgm-prepare wrote "
     "(prepare-record.txt)",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const std::optional<ProvenanceFacts>& p = CaseAt(in).provenance;
       if (!p || p->check.state != CaseFileState::kChanged) return;
       hits.push_back(AtCase(in));
       hits.back().message =
           "the case file was changed after lpgm-prepare wrote it from " +
           (p->source.empty() ? std::string("its source") : p->source) +
           ": its SHA-256 is " + p->check.actual_sha256.substr(0, 16) +
           "..., " + Utf8(p->path) + " records " +
           p->check.recorded_sha256.substr(0, 16) + "... (" +
           std::to_string(p->actual_size) + " bytes now, " +
           (p->recorded_size.empty() ? std::string("?") : p->recorded_size) +
           " then); prepare the case again, or check the change by hand";
     }},
    {"provenance-unreadable", Severity::kNote, Scope::kCaseFile,
     "prepare-record.txt cannot be read or\nholds no SHA-256 of the case file",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const std::optional<ProvenanceFacts>& p = CaseAt(in).provenance;
       if (!p) return;
       std::string why = p->problem;
       if (why.empty() && p->check.state == CaseFileState::kUnknown)
         why = "it records no SHA-256 of the case file";
       if (why.empty()) return;
       hits.push_back({0, CaseAt(in).case_number, p->path, 0,
                       why + ": whether the case file is still the one "
                             "lpgm-prepare wrote cannot be told"});
     }},

    // The samples and velocities of each case.
    {"non-finite", Severity::kWarning, Scope::kCaseValues, kNonFinite,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseSummary& c = CaseSummaryAt(in);
       if (!HasSamples(c)) return;
       const Extremes& acc = c.acc_extremes;
       if (acc.non_finite == 0) return;
       hits.push_back(AtCaseOnly(in));
       hits.back().message =
           std::to_string(acc.non_finite) +
           " samples are infinite or NaN (the first is sample " +
           std::to_string(acc.first_non_finite) +
           "): lpgm carries them into the velocities and writes them as "
           "Infinity or NaN; check the record";
     }},
    {"field-overflow", Severity::kWarning, Scope::kCaseValues, kFieldOverflow,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseSummary& c = CaseSummaryAt(in);
       if (!HasSamples(c)) return;
       const Extremes& acc = c.acc_extremes;
       if (!ExtremesOverflow(acc, 14, 6) &&
           !ExtremesOverflow(c.vel_extremes, 14, 6))
         return;
       hits.push_back(AtCaseOnly(in));
       hits.back().message =
           "accelerations or velocities of this case reach 10^7 "
           "(acceleration " +
           Number(acc.max, 1) + " / " + Number(acc.min, 1) +
           "): lpgm writes them as asterisks in the waveform files; check "
           "the units";
     }},
    {"acceleration-range", Severity::kWarning, Scope::kCaseValues,
     "PGA below 5 or above 3000 cm/s2",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseSummary& c = CaseSummaryAt(in);
       if (!OutsidePgaRange(c)) return;
       hits.push_back(AtCaseOnly(in));
       hits.back().message =
           "PGA " + Number(c.pga, 3) + " cm/s2 is outside " +
           std::string(kPlausiblePgaText) +
           ": lpgm takes the samples in cm/s2; is the record in g (x "
           "980.665), m/s2 (x 100) or gal x 10?";
     }},
    {"velocity-drift", Severity::kWarning, Scope::kCaseValues,
     "|end velocity| above 0.2 x PGV",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseSummary& c = CaseSummaryAt(in);
       if (!HasSamples(c) || !(std::fabs(c.end_velocity) > kDriftShare * c.pgv))
         return;
       hits.push_back(AtCaseOnly(in));
       hits.back().message =
           "the velocity ends at " + Number(c.end_velocity, 3) +
           " cm/s, more than " + std::string(kDriftPercentText) +
           " of the PGV " + Number(c.pgv, 3) +
           " cm/s: a baseline offset or drift in the record raises the peak "
           "velocity and may change the phase case; correct the baseline";
     }},
    {"record-duration", Severity::kNote, Scope::kCaseValues,
     "a record shorter than 10 s or longer\nthan 600 s at 0.02 s",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseSummary& c = CaseSummaryAt(in);
       if (!HasSamples(c) || !(c.duration < 10 || c.duration > 600)) return;
       hits.push_back(AtCaseOnly(in));
       hits.back().message =
           std::to_string(c.npts) + " samples at " +
           std::string(kTimeStepText) + " s last " + Number(c.duration, 2) +
           " s, unusual for a long-period record: check the header count "
           "and the time step";
     }},

    {"spectrum-level", Severity::kWarning, Scope::kCaseValues, kSpectrumLevel,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseSummary& c = CaseSummaryAt(in);
       // One cause, one finding: a PGA out of range already names the
       // units, a slash the samples left 0.0.
       if (!c.level_ratio || OutsidePgaRange(c) ||
           CaseAt(in).end.slash_line != 0)
         return;
       const bool target = in.result.levels_against_target;
       if (!(target ? OutsideTargetLevel(*c.level_ratio)
                    : std::fabs(std::log10(*c.level_ratio)) > kCaseSpread))
         return;
       hits.push_back(AtCaseOnly(in));
       hits.back().message =
           "its response spectrum (" +
           SpectrumBasis(in.result.spectrum_kind, in.result.damping) +
           ") lies on average " + LevelFactorText(*c.level_ratio) +
           (target ? " the target's" : " the cases' median spectrum") + ": " +
           LevelCause(*c.level_ratio);
     }},
    {"interleaved-columns", Severity::kWarning, Scope::kCaseValues,
     "the samples alternate between two or\nthree series",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const CaseSummary& c = CaseSummaryAt(in);
       if (!HasSamples(c) || c.acc.size() < 4) return;
       const auto [r1, r2, r3] = c.lag_correlation;
       if (!(std::max(r2, r3) - r1 > kInterleaveExcess)) return;
       hits.push_back(AtCaseOnly(in));
       hits.back().message =
           "each sample is more like the one " +
           std::string(r3 > r2 ? "three" : "two") +
           " places on than its neighbour (correlation " + Number(r1, 2) +
           " at lag 1, " + Number(std::max(r2, r3), 2) + " at lag " +
           (r3 > r2 ? "3" : "2") +
           "): the samples alternate between series, as a table of columns "
           "(or a time column) read as one record would give, or the record "
           "is sampled far coarser than 0.02 s; take one column and check "
           "the time step";
     }},

    // The periods and Sv of each fault, and the target.
    {"non-finite", Severity::kWarning, Scope::kFaultValues, kNonFinite,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const FaultSummary& f = FaultSummaryAt(in);
       if (!f.read_ok) return;
       if (ExtremesOf(f.sv).non_finite == 0 &&
           (f.fault != 1 || ExtremesOf(f.period).non_finite == 0))
         return;
       hits.push_back({f.fault,
                       0,
                       {},
                       0,
                       "a period or Sv of this fault is infinite or NaN: lpgm "
                       "carries it into the target spectrum; check the "
                       "file"});
     }},
    {"field-overflow", Severity::kWarning, Scope::kFaultValues, kFieldOverflow,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const FaultSummary& f = FaultSummaryAt(in);
       if (!f.read_ok) return;
       if (!ExtremesOverflow(ExtremesOf(f.sv), 14, 6) &&
           (f.fault != 1 || !ExtremesOverflow(ExtremesOf(f.period), 12, 4)))
         return;
       hits.push_back({f.fault,
                       0,
                       {},
                       0,
                       "a period or Sv of this fault is too wide for its "
                       "field: lpgm writes it as asterisks; check the "
                       "units"});
     }},
    {"field-overflow", Severity::kWarning, Scope::kTarget, kFieldOverflow,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       if (!ExtremesOverflow(ExtremesOf(in.result.target), 14, 6)) return;
       hits.push_back({0,
                       0,
                       {},
                       0,
                       "the target spectrum reaches 10^7 cm/s: lpgm writes "
                       "it as asterisks in the file handed to the design "
                       "step"});
     }},

    {"spectrum-level", Severity::kWarning, Scope::kTarget, kSpectrumLevel,
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const std::optional<double>& level = in.result.set_level_ratio;
       if (!level || !OutsideTargetLevel(*level)) return;
       hits.push_back({0, 0, {}, 0, {}});
       hits.back().message =
           "the cases' median response spectrum (" +
           SpectrumBasis(in.result.spectrum_kind, in.result.damping) +
           ") lies on average " + LevelFactorText(*level) +
           " the target's: " + LevelCause(*level) +
           " (every record, or the target: check the faults' units and "
           "--spectrum)";
     }},

    // The ranking, once every input was read.
    {"even-cases", Severity::kNote, Scope::kRanking, "an even number of cases",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       const int n = static_cast<int>(in.result.cases.size());
       if (!in.result.computed || n % 2 != 0) return;
       hits.push_back({0,
                       0,
                       {},
                       0,
                       std::to_string(n) +
                           " cases, an even number: lpgm takes rank " +
                           std::to_string((n + 1) / 2) +
                           ", the larger of the two middle ones, as the "
                           "phase case"});
     }},
    {"near-tie", Severity::kNote, Scope::kRanking,
     "the phase case's PGV within 1 % of a\nneighbouring rank's",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       if (!in.result.computed) return;
       const CaseSummary* phase = nullptr;
       for (const CaseSummary& c : in.result.cases)
         if (c.phase) phase = &c;
       if (phase == nullptr) return;
       for (const CaseSummary& c : in.result.cases) {
         if (c.rank != phase->rank - 1 && c.rank != phase->rank + 1) continue;
         if (std::fabs(c.pgv - phase->pgv) > 0.01 * phase->pgv) continue;
         hits.push_back(
             {0,
              phase->case_number,
              {},
              0,
              "the phase case's PGV " + Number(phase->pgv, 3) +
                  " cm/s is within 1 % of case " +
                  std::to_string(c.case_number) + "'s " + Number(c.pgv, 3) +
                  " cm/s (rank " + std::to_string(c.rank) +
                  "): a small change in either record changes the phase "
                  "case"});
       }
     }},

    // The files an earlier run left.
    {"stale-output", Severity::kWarning, Scope::kOutputFile,
     "an output file older than an input",
     [](const RuleInput& in, std::vector<Hit>& hits) {
       // One earlier run left them all: one finding, at the first.
       std::vector<std::size_t> stale;
       for (std::size_t k = 0; k < in.facts.outputs.size(); ++k)
         if (in.facts.outputs[k].older_than_inputs) stale.push_back(k);
       if (stale.empty() || stale.front() != in.index) return;
       const OutputFacts& o = in.facts.outputs[in.index];
       std::string others;
       for (std::size_t k = 1; k < stale.size(); ++k)
         others += (k == 1 ? " (with " : ", ") +
                   Utf8(in.facts.outputs[stale[k]].name);
       if (!others.empty()) others += ")";
       const bool one = stale.size() == 1;
       hits.push_back(
           {0, 0, o.name, 0,
            std::string(one ? "this output file is"
                            : "these output files are") +
                " older than an input" + others + ": " +
                (one ? "it was" : "they were") +
                " left by an earlier run and do" + (one ? "es" : "") +
                " not show the inputs as they are now; run lpgm again before "
                "handing the files on"});
     }},
};

// Applies the rules of `scope` to one subject, in the table's order.
void Judge(Scope scope, const RuleInput& in, CheckResult& result) {
  std::vector<Hit> hits;
  for (const Rule& rule : kRules) {
    if (rule.scope != scope) continue;
    hits.clear();
    rule.judge(in, hits);
    for (Hit& hit : hits) {
      Finding f;
      f.id = rule.id;
      f.severity = rule.severity;
      f.fault = hit.fault;
      f.case_number = hit.case_number;
      f.file = hit.file.empty() ? std::string() : Utf8(hit.file);
      f.line = hit.line;
      f.message = std::move(hit.message);
      result.findings.push_back(std::move(f));
    }
  }
}

}  // namespace

std::span<const Rule> Rules() { return kRules; }

std::string RulesHelp() {
  std::string text;
  std::set<std::string_view> listed;
  for (Severity severity :
       {Severity::kError, Severity::kWarning, Severity::kNote}) {
    for (const Rule& rule : kRules) {
      if (rule.severity != severity || !listed.insert(rule.id).second) continue;
      std::string line = "  ";
      line += severity == Severity::kError     ? "error"
              : severity == Severity::kWarning ? "warning"
                                               : "note";
      line.resize(11, ' ');
      line += rule.id;
      line.resize(std::max<std::size_t>(line.size() + 1, 35), ' ');
      for (const char* c = rule.summary; *c != '\0'; ++c)
        line += *c == '\n' ? "\n" + std::string(35, ' ') : std::string(1, *c);
      text += line + "\n";
    }
  }
  return text;
}

void ApplyRules(const CheckFacts& facts, CheckResult& result) {
  auto each = [&](Scope scope, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
      Judge(scope, {facts, result, i}, result);
  };
  Judge(Scope::kDefinition, {facts, result, 0}, result);
  each(Scope::kFolder, facts.folders.size());
  each(Scope::kFaultFile, facts.faults.size());
  each(Scope::kPeriodGrid, facts.faults.size());
  each(Scope::kCaseFile, facts.cases.size());
  each(Scope::kCaseValues, facts.cases.size());
  each(Scope::kFaultValues, facts.faults.size());
  Judge(Scope::kTarget, {facts, result, 0}, result);
  Judge(Scope::kRanking, {facts, result, 0}, result);
  each(Scope::kOutputFile, facts.outputs.size());
}

}  // namespace lpgm::check
