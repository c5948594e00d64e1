#include "check/json_report.h"

#include "check/json_writer.h"
#include "check/text_report.h"

namespace lpgm::check {
namespace {

void IntOrNull(JsonWriter& w, long long value) {
  if (value > 0) {
    w.Integer(value);
  } else {
    w.Null();
  }
}

void WriteFault(JsonWriter& w, const FaultSummary& f) {
  w.BeginObject();
  w.Key("fault");
  w.Integer(f.fault);
  w.Key("folder");
  w.String(f.folder);
  w.Key("read_ok");
  w.Bool(f.read_ok);
  w.Key("rows");
  w.Integer(f.rows);
  w.Key("period_min");
  w.Number(f.period_min);
  w.Key("period_max");
  w.Number(f.period_max);
  w.Key("grid_matches");
  w.Bool(f.grid_matches);
  w.Key("sv_min");
  w.Number(f.sv_min);
  w.Key("sv_max");
  w.Number(f.sv_max);
  w.EndObject();
}

void NumberArray(JsonWriter& w, std::span<const double> values) {
  w.BeginArray();
  for (double v : values) w.Number(v);
  w.EndArray();
}

void WriteRatio(JsonWriter& w, const std::optional<SpectrumRatio>& ratio) {
  if (!ratio) {
    w.Null();
    return;
  }
  w.BeginObject();
  w.Key("min");
  w.Number(ratio->min);
  w.Key("min_period");
  w.Number(ratio->min_period);
  w.Key("mean");
  w.Number(ratio->mean);
  w.Key("max");
  w.Number(ratio->max);
  w.Key("max_period");
  w.Number(ratio->max_period);
  w.Key("points");
  w.Integer(ratio->points);
  w.EndObject();
}

// The case's spectrum at the result's periods, its ratio to the target
// and its level against the yardstick.
void WriteCaseSpectrum(JsonWriter& w, const CaseSummary& c) {
  w.Key("spectrum");
  if (c.spectrum.empty()) {
    w.Null();
  } else {
    NumberArray(w, c.spectrum);
  }
  w.Key("ratio_to_target");
  WriteRatio(w, c.ratio);
  w.Key("level_ratio");
  if (c.level_ratio) {
    w.Number(*c.level_ratio);
  } else {
    w.Null();
  }
}

// The periods, the kind and damping of every spectrum, and the target.
void WriteSpectra(JsonWriter& w, const CheckResult& r) {
  w.Key("spectra");
  w.BeginObject();
  w.Key("kind");
  w.String(r.spectrum_kind);
  w.Key("damping");
  w.Number(r.damping);
  w.Key("peaks_at");
  w.String("samples");
  w.Key("level_yardstick");
  w.String(r.levels_against_target ? "target" : "median of the other cases");
  w.Key("periods");
  NumberArray(w, r.period);
  w.Key("srss");
  NumberArray(w, r.srss);
  w.Key("target");
  NumberArray(w, r.target);
  w.EndObject();
}

void WriteCase(JsonWriter& w, const CaseSummary& c) {
  w.BeginObject();
  w.Key("case");
  w.Integer(c.case_number);
  w.Key("folder");
  w.String(c.folder);
  w.Key("read_ok");
  w.Bool(c.read_ok);
  w.Key("npts");
  w.Integer(c.npts);
  w.Key("header_time_step");
  if (c.header_time_step) {
    w.Number(*c.header_time_step);
  } else {
    w.Null();
  }
  w.Key("duration");
  w.Number(c.duration);
  w.Key("pga");
  w.Number(c.pga);
  w.Key("pga_time");
  w.Number(c.pga_time);
  w.Key("pgv");
  w.Number(c.pgv);
  w.Key("pgv_time");
  w.Number(c.pgv_time);
  w.Key("end_velocity");
  w.Number(c.end_velocity);
  w.Key("rank");
  IntOrNull(w, c.rank);
  w.Key("phase");
  w.Bool(c.phase);
  WriteCaseSpectrum(w, c);
  w.EndObject();
}

void WriteFinding(JsonWriter& w, const Finding& f) {
  w.BeginObject();
  w.Key("id");
  w.String(f.id);
  w.Key("severity");
  w.String(SeverityName(f.severity));
  w.Key("fault");
  IntOrNull(w, f.fault);
  w.Key("case");
  IntOrNull(w, f.case_number);
  w.Key("file");
  if (f.file.empty()) {
    w.Null();
  } else {
    w.String(f.file);
  }
  w.Key("line");
  IntOrNull(w, f.line);
  w.Key("message");
  w.String(f.message);
  w.EndObject();
}

}  // namespace

std::string JsonReport(const CheckResult& r) {
  JsonWriter w;
  w.BeginObject();
  w.Key("definition");
  w.String(r.definition);
  w.Key("version");
  w.String(r.version);
  w.Key("definition_ok");
  w.Bool(r.definition_ok);
  w.Key("computed");
  w.Bool(r.computed);
  w.Key("faults");
  w.BeginArray();
  for (const FaultSummary& f : r.faults) WriteFault(w, f);
  w.EndArray();
  w.Key("cases");
  w.BeginArray();
  for (const CaseSummary& c : r.cases) WriteCase(w, c);
  w.EndArray();
  w.Key("phase_case");
  IntOrNull(w, r.phase_case);
  WriteSpectra(w, r);
  w.Key("findings");
  w.BeginArray();
  for (const Finding& f : r.findings) WriteFinding(w, f);
  w.EndArray();
  w.Key("exit_status");
  w.Integer(ExitStatusOf(r));
  w.EndObject();
  return w.text() + "\n";
}

}  // namespace lpgm::check
