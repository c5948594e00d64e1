#include "check/text_report.h"

#include <cstdarg>
#include <cstdio>

#include "check/report_format.h"

namespace lpgm::check {
namespace {

std::string Format(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

void AppendFaults(std::string& out, const CheckResult& r) {
  out += "Faults\n";
  out +=
      "  No.  rows  period (s)         grid    Sv (cm/s)                    "
      "folder\n";
  for (const FaultSummary& f : r.faults) {
    if (!f.read_ok) {
      out +=
          Format("  %3d  not read%*s%s\n", f.fault, 54, "", f.folder.c_str());
      continue;
    }
    out += Format(
        "  %3d  %4d  %-18s %-7s %-28s %s\n", f.fault, f.rows,
        (Number(f.period_min, 4) + " - " + Number(f.period_max, 4)).c_str(),
        f.grid_matches ? "same" : "differs",
        (Number(f.sv_min, 6) + " - " + Number(f.sv_max, 6)).c_str(),
        f.folder.c_str());
  }
}

void AppendCases(std::string& out, const CheckResult& r) {
  out += "Cases\n";
  out +=
      "  No.  samples  dt (s)  dur. (s)  PGA (cm/s2)   at (s)   PGV (cm/s)"
      "   at (s)  end vel.  rank  folder\n";
  for (const CaseSummary& c : r.cases) {
    if (!c.read_ok) {
      out += Format("  %3d  not read%*s%s\n", c.case_number, 79, "",
                    c.folder.c_str());
      continue;
    }
    std::string step =
        c.header_time_step ? Number(*c.header_time_step, 4) : "-";
    std::string rank = c.rank > 0 ? std::to_string(c.rank) : "-";
    out +=
        Format("  %3d  %7d  %6s  %8s  %11s %8s  %11s %8s  %8s  %4s%s %s\n",
               c.case_number, c.npts, step.c_str(),
               Number(c.duration, 2).c_str(), Number(c.pga, 3).c_str(),
               Number(c.pga_time, 2).c_str(), Number(c.pgv, 3).c_str(),
               Number(c.pgv_time, 2).c_str(), Number(c.end_velocity, 3).c_str(),
               rank.c_str(), c.phase ? "*" : " ", c.folder.c_str());
  }
}

std::string Margin(const CaseSummary& phase, const CaseSummary& other) {
  double diff = other.pgv - phase.pgv;
  std::string percent = phase.pgv > 0 ? Number(100 * diff / phase.pgv, 1) : "-";
  return Format("rank %d case %d %s cm/s (%s%s cm/s, %s%s %%)", other.rank,
                other.case_number, Number(other.pgv, 3).c_str(),
                diff >= 0 ? "+" : "", Number(diff, 3).c_str(),
                diff >= 0 && phase.pgv > 0 ? "+" : "", percent.c_str());
}

void AppendSpectra(std::string& out, const CheckResult& r) {
  bool any = false;
  for (const CaseSummary& c : r.cases) any = any || !c.spectrum.empty();
  if (!any) return;
  out +=
      "Cases against the target: " + SpectrumBasis(r.spectrum_kind, r.damping) +
      ", " + std::to_string(r.period.size()) +
      " periods, peaks at the 0.02 s samples\n";
  out +=
      "  No.  min ratio   at (s)  mean ratio  max ratio   at (s)  level  "
      "folder\n";
  for (const CaseSummary& c : r.cases) {
    if (c.spectrum.empty()) continue;
    std::string level = c.level_ratio ? Number(*c.level_ratio, 2) : "-";
    if (!c.ratio) {
      out += Format("  %3d  %9s  %7s  %10s  %9s  %7s  %5s  %s\n", c.case_number,
                    "-", "-", "-", "-", "-", level.c_str(), c.folder.c_str());
      continue;
    }
    const SpectrumRatio& q = *c.ratio;
    out += Format("  %3d  %9s  %7s  %10s  %9s  %7s  %5s  %s\n", c.case_number,
                  Number(q.min, 3).c_str(), Number(q.min_period, 2).c_str(),
                  Number(q.mean, 3).c_str(), Number(q.max, 3).c_str(),
                  Number(q.max_period, 2).c_str(), level.c_str(),
                  c.folder.c_str());
  }
  out += r.levels_against_target
             ? "  (level: the spectrum's geometric mean over the periods, as "
               "a multiple of the target's)\n"
             : "  (level: the spectrum's geometric mean over the periods, as "
               "a multiple of the cases' median spectrum's)\n";
}

void AppendPhase(std::string& out, const CheckResult& r) {
  const CaseSummary* phase = nullptr;
  for (const CaseSummary& c : r.cases)
    if (c.phase) phase = &c;
  if (phase == nullptr) {
    out +=
        "Phase case: none (lpgm would not get this far with these "
        "inputs)\n";
    return;
  }
  out += Format("Phase case: case %d (%s), rank %d of %llu, PGV %s cm/s\n",
                phase->case_number, phase->folder.c_str(), phase->rank,
                static_cast<unsigned long long>(r.cases.size()),
                Number(phase->pgv, 3).c_str());
  for (const CaseSummary& c : r.cases)
    if (c.rank == phase->rank - 1 || c.rank == phase->rank + 1)
      out += "  margin to " + Margin(*phase, c) + "\n";
  if (phase->ratio) {
    const SpectrumRatio& q = *phase->ratio;
    out += "  fit to the target (" + SpectrumBasis(r.spectrum_kind, r.damping) +
           "): min " + Number(q.min, 3) + " at " + Number(q.min_period, 2) +
           " s, mean " + Number(q.mean, 3) + ", max " + Number(q.max, 3) +
           " at " + Number(q.max_period, 2) + " s\n";
  }
}

void AppendFindings(std::string& out, const CheckResult& r) {
  int counts[3] = {0, 0, 0};
  for (const Finding& f : r.findings) ++counts[static_cast<int>(f.severity)];
  out += Format("Findings: %d error%s, %d warning%s, %d note%s\n", counts[0],
                counts[0] == 1 ? "" : "s", counts[1], counts[1] == 1 ? "" : "s",
                counts[2], counts[2] == 1 ? "" : "s");
  for (const Finding& f : r.findings) {
    std::string place = FindingPlace(f);
    out += Format("  %-7s %-23s ", SeverityName(f.severity), f.id.c_str());
    if (!place.empty()) out += place + ": ";
    out += f.message + "\n";
  }
}

}  // namespace

const char* SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kNote:
      return "note";
  }
  return "note";
}

std::string FindingPlace(const Finding& f) {
  std::string place;
  if (f.fault > 0) place = "fault " + std::to_string(f.fault);
  if (f.case_number > 0) place = "case " + std::to_string(f.case_number);
  if (!f.file.empty()) {
    if (!place.empty()) place += ", ";
    place += f.file;
    if (f.line > 0) {
      place += ':';
      place += std::to_string(f.line);
    }
  }
  return place;
}

std::string TextReport(const CheckResult& r) {
  std::string out = "lpgm-check " + r.version + ": " + r.definition + "\n";
  if (r.definition_ok) {
    out += "\n";
    AppendFaults(out, r);
    out += "\n";
    AppendCases(out, r);
    out += "\n";
    if (!r.period.empty()) {
      const std::size_t before = out.size();
      AppendSpectra(out, r);
      if (out.size() != before) out += "\n";
    }
    AppendPhase(out, r);
  }
  out += "\n";
  AppendFindings(out, r);
  return out;
}

}  // namespace lpgm::check
