#include "check/findings.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <span>

#include "base/case_record.h"
#include "record/number_format.h"

namespace lpgm::check {
namespace {

struct Extremes {
  double min = std::numeric_limits<double>::infinity();
  double max = -std::numeric_limits<double>::infinity();
  long non_finite = 0;
  long first_non_finite = 0;  // 1-based index
};

Extremes ExtremesOf(std::span<const double> values) {
  Extremes e;
  for (std::size_t j = 0; j < values.size(); ++j) {
    double v = values[j];
    if (!std::isfinite(v)) {
      if (e.non_finite++ == 0) e.first_non_finite = static_cast<long>(j) + 1;
      continue;
    }
    if (v < e.min) e.min = v;
    if (v > e.max) e.max = v;
  }
  return e;
}

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

void CaseFieldFindings(CheckResult& r, const CaseSummary& c) {
  Extremes acc = ExtremesOf(c.acc);
  if (acc.non_finite > 0)
    AddFinding(r, "non-finite", Severity::kWarning, 0, c.case_number, "", 0,
               std::to_string(acc.non_finite) +
                   " samples are infinite or NaN (the first is sample " +
                   std::to_string(acc.first_non_finite) +
                   "): lpgm carries them into the velocities and writes "
                   "them as Infinity or NaN; check the record");
  Extremes vel = ExtremesOf(c.vel);
  if (ExtremesOverflow(acc, 14, 6) || ExtremesOverflow(vel, 14, 6))
    AddFinding(r, "field-overflow", Severity::kWarning, 0, c.case_number, "", 0,
               "accelerations or velocities of this case reach 10^7 "
               "(acceleration " +
                   Number(acc.max, 1) + " / " + Number(acc.min, 1) +
                   "): lpgm writes them as asterisks "
                   "in the waveform files; check the units");
}

void RangeFindings(CheckResult& r, const CaseSummary& c) {
  if (c.pga < kPlausiblePgaLow || c.pga > kPlausiblePgaHigh)
    AddFinding(r, "acceleration-range", Severity::kWarning, 0, c.case_number,
               "", 0,
               "PGA " + Number(c.pga, 3) + " cm/s2 is outside " +
                   std::string(kPlausiblePgaText) +
                   ": lpgm takes the samples in "
                   "cm/s2; is the record in g (x 980.665), m/s2 (x 100) or "
                   "gal x 10?");
  if (std::fabs(c.end_velocity) > kDriftShare * c.pgv)
    AddFinding(r, "velocity-drift", Severity::kWarning, 0, c.case_number, "", 0,
               "the velocity ends at " + Number(c.end_velocity, 3) +
                   " cm/s, more than " + std::string(kDriftPercentText) +
                   " of the PGV " + Number(c.pgv, 3) +
                   " cm/s: a baseline offset or drift in the record raises "
                   "the peak velocity and may change the phase case; "
                   "correct the baseline");
  if (c.duration < 10 || c.duration > 600)
    AddFinding(r, "record-duration", Severity::kNote, 0, c.case_number, "", 0,
               std::to_string(c.npts) + " samples at " +
                   std::string(kTimeStepText) + " s last " +
                   Number(c.duration, 2) +
                   " s, unusual for a long-period record: check the header "
                   "count and the time step");
}

}  // namespace

void AddFinding(CheckResult& result, std::string id, Severity severity,
                int fault, int case_number, std::string file, long line,
                std::string message) {
  Finding f;
  f.id = std::move(id);
  f.severity = severity;
  f.fault = fault;
  f.case_number = case_number;
  f.file = std::move(file);
  f.line = line;
  f.message = std::move(message);
  result.findings.push_back(std::move(f));
}

std::string Number(double value, int decimals) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

void AddCaseValueFindings(CheckResult& result) {
  for (const CaseSummary& c : result.cases) {
    if (!c.read_ok || c.npts <= 0) continue;
    CaseFieldFindings(result, c);
    RangeFindings(result, c);
  }
}

void AddSpectrumValueFindings(CheckResult& result) {
  for (const FaultSummary& f : result.faults) {
    if (!f.read_ok) continue;
    Extremes sv = ExtremesOf(f.sv);
    Extremes period = ExtremesOf(f.period);
    if (sv.non_finite > 0 || (f.fault == 1 && period.non_finite > 0))
      AddFinding(result, "non-finite", Severity::kWarning, f.fault, 0, "", 0,
                 "a period or Sv of this fault is infinite or NaN: lpgm "
                 "carries it into the target spectrum; check the file");
    bool wide = ExtremesOverflow(sv, 14, 6) ||
                (f.fault == 1 && ExtremesOverflow(period, 12, 4));
    if (wide)
      AddFinding(result, "field-overflow", Severity::kWarning, f.fault, 0, "",
                 0,
                 "a period or Sv of this fault is too wide for its field: "
                 "lpgm writes it as asterisks; check the units");
  }
  Extremes target = ExtremesOf(result.target);
  if (ExtremesOverflow(target, 14, 6))
    AddFinding(result, "field-overflow", Severity::kWarning, 0, 0, "", 0,
               "the target spectrum reaches 10^7 cm/s: lpgm writes it as "
               "asterisks in the file handed to the design step");
}

void AddRankingFindings(CheckResult& result) {
  const int n = static_cast<int>(result.cases.size());
  if (n % 2 == 0)
    AddFinding(result, "even-cases", Severity::kNote, 0, 0, "", 0,
               std::to_string(n) + " cases, an even number: lpgm takes rank " +
                   std::to_string((n + 1) / 2) +
                   ", the larger of the two middle ones, as the phase case");
  const CaseSummary* phase = nullptr;
  for (const CaseSummary& c : result.cases)
    if (c.phase) phase = &c;
  if (phase == nullptr) return;
  for (const CaseSummary& c : result.cases) {
    if (c.rank != phase->rank - 1 && c.rank != phase->rank + 1) continue;
    if (std::fabs(c.pgv - phase->pgv) > 0.01 * phase->pgv) continue;
    AddFinding(
        result, "near-tie", Severity::kNote, 0, phase->case_number, "", 0,
        "the phase case's PGV " + Number(phase->pgv, 3) +
            " cm/s is within 1 % of case " + std::to_string(c.case_number) +
            "'s " + Number(c.pgv, 3) + " cm/s (rank " + std::to_string(c.rank) +
            "): a small change in either record changes the phase "
            "case");
  }
}

}  // namespace lpgm::check
