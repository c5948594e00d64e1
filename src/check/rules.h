// The checker's rules, all in one table: each with its id, its severity,
// the part of the inputs it looks at and the wording of its findings. A
// rule judges the facts of the reading (facts.h) and the summaries the
// checker computed (check_result.h); applying the table appends the
// findings to the result.
//
// The rules are applied part by part in the order a user reads the inputs
// (the definition file, its folders, each fault's file with its rows, the
// period grid, each case's file, the values of the cases, of the faults
// and of the target, the ranking, the output files left by a run), and
// within one part in the table's order.
#ifndef LPGM_CHECK_RULES_H_
#define LPGM_CHECK_RULES_H_

#include <span>
#include <string>
#include <vector>

#include "check/check_result.h"
#include "check/facts.h"

namespace lpgm::check {

// The parts of the inputs, in the order they are judged.
enum class Scope {
  kDefinition,   // the definition file and its name
  kFolder,       // one folder of the definition file
  kFaultFile,    // one fault's spectrum file and its rows
  kPeriodGrid,   // one fault's periods against fault 1's
  kCaseFile,     // one case's acceleration file
  kCaseValues,   // one case's samples and velocities
  kFaultValues,  // one fault's periods and Sv
  kTarget,       // the target spectrum
  kRanking,      // the ranking of the cases
  kOutputFile,   // one of the six files a run writes
};

// What one rule looks at: the facts, the result so far, and which folder,
// fault, case or output file (`index`, from 0) of its scope.
struct RuleInput {
  const CheckFacts& facts;
  const CheckResult& result;
  std::size_t index = 0;
};

// One finding a rule raises: where it points (the file's name in CP932)
// and its message in UTF-8.
struct Hit {
  int fault = 0;
  int case_number = 0;
  std::string file;
  long line = 0;
  std::string message;
};

struct Rule {
  const char* id;
  Severity severity;
  Scope scope;
  // What it finds, in a few words for the program's help (lines of at
  // most 44 characters, separated by line feeds).
  const char* summary;
  // Appends the rule's findings on one subject of its scope.
  void (*judge)(const RuleInput& in, std::vector<Hit>& hits);
};

// The table.
std::span<const Rule> Rules();

// The help's list of the rules: one line (and its continuations) for each
// id, the errors first, then the warnings, then the notes.
std::string RulesHelp();

// Applies every rule of the table to the facts and appends the findings
// to `result`.
void ApplyRules(const CheckFacts& facts, CheckResult& result);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_RULES_H_
