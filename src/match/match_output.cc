#include "match/match_output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/encoding.h"
#include "platform/stream.h"
#include "record/layout.h"
#include "record/output_channel.h"
#include "record/record_writer.h"

namespace lpgm::match {

namespace {

constexpr int kUnitMotion = 21;

class StringStream : public platform::OutputStream {
 public:
  explicit StringStream(std::string* out) : out_(out) {}
  bool Write(const char* data, std::size_t size) override {
    out_->append(data, size);
    return true;
  }

 private:
  std::string* out_;
};

// No sign on a value that rounds to zero.
std::string Fixed(double v, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  if (text[0] == '-' && std::strspn(text + 1, "0.") == std::strlen(text + 1))
    return text + 1;
  return text;
}

double PeakAbs(const std::vector<double>& x) {
  double m = 0.0;
  for (const double v : x) m = std::max(m, std::fabs(v));
  return m;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonNumber(double v) {
  if (!std::isfinite(v)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

std::string JsonArray(const std::vector<double>& x) {
  std::string out = "[";
  for (std::size_t k = 0; k < x.size(); ++k)
    out += (k ? "," : "") + JsonNumber(x[k]);
  return out + "]";
}

std::string FitJson(const FitFigures& f) {
  return "{\"min_ratio\":" + JsonNumber(f.min_ratio) +
         ",\"mean_ratio\":" + JsonNumber(f.mean_ratio) +
         ",\"max_ratio\":" + JsonNumber(f.max_ratio) +
         ",\"cv\":" + JsonNumber(f.cv) +
         ",\"si_ratio\":" + JsonNumber(f.si_ratio) +
         ",\"max_abs_log_ratio\":" + JsonNumber(f.deviation) + "}";
}

}  // namespace

void MeasureMotion(MatchReport& report) {
  const std::vector<double>& acc = report.result.acc;
  report.velocity = IntegrateTrapezoid(acc, report.dt);
  report.displacement = IntegrateTrapezoid(report.velocity, report.dt);
  report.pga = PeakAbs(acc);
  report.pgv = PeakAbs(report.velocity);
  report.pgd = PeakAbs(report.displacement);
}

std::string FormatMotionFile(const MatchReport& report) {
  static const Layout kHeader = Layout::Parse("(A)");
  static const Layout kRow = Layout::Parse("(F12.4,3(A1,F14.6))");
  std::string bytes;
  StringStream stream(&bytes);
  OutputChannel channel(stream, kUnitMotion, report.phase_file);
  RecordWriter(channel, kHeader)
      .Text(platform::Utf8ToCp932("時刻(s),加速度(cm/s2),速度(cm/s),変位(cm)"))
      .End();
  const std::vector<double>& acc = report.result.acc;
  for (std::size_t j = 0; j < acc.size(); ++j) {
    RecordWriter(channel, kRow)
        .Real(static_cast<double>(j) * report.dt)
        .Text(",")
        .Real(acc[j])
        .Text(",")
        .Real(report.velocity[j])
        .Text(",")
        .Real(report.displacement[j])
        .End();
  }
  channel.Close();
  return bytes;
}

std::string KindText(const MatchTarget& target) {
  return std::string(SpectrumKindName(target.kind)) +
         " h=" + Fixed(target.damping, 3);
}

std::string SummaryLine(const MatchReport& r) {
  const FitFigures& f = r.result.fit;
  const double duration = static_cast<double>(r.result.acc.size()) * r.dt;
  std::string line =
      "lpgm-match: " + KindText(r.target) + ", " +
      std::to_string(r.result.iterations.size() - 1) + " iterations (best " +
      std::to_string(r.result.best_iteration) + "), ratio min " +
      Fixed(f.min_ratio, 3) + " mean " + Fixed(f.mean_ratio, 3) + " max " +
      Fixed(f.max_ratio, 3) + ", CV " + Fixed(f.cv, 3) + ", SI ratio " +
      Fixed(f.si_ratio, 3) + ", phase kept " + Fixed(r.result.phase_kept, 3) +
      ", PGA " + Fixed(r.pga, 1) + " cm/s2, PGV " + Fixed(r.pgv, 2) +
      " cm/s, PGD " + Fixed(r.pgd, 2) + " cm, end velocity " +
      Fixed(r.velocity.empty() ? 0.0 : r.velocity.back(), 3) +
      " cm/s, end displacement " +
      Fixed(r.displacement.empty() ? 0.0 : r.displacement.back(), 3) +
      " cm, duration " + Fixed(duration, 2) + " s";
  if (duration < kLongPeriodDuration)
    line += " (under 500 s, the length asked of long-period motions)";
  return line;
}

std::string JsonReport(const MatchReport& r) {
  const MatchResult& m = r.result;
  std::vector<double> ratio(m.achieved.size());
  for (std::size_t k = 0; k < ratio.size(); ++k)
    ratio[k] = m.achieved[k] / r.target.values[k];
  std::string failed = "[";
  for (std::size_t k = 0; k < m.failed.size(); ++k)
    failed += (k ? "," : "") + JsonString(m.failed[k]);
  failed += "]";
  std::string iterations = "[";
  for (std::size_t k = 0; k < m.iterations.size(); ++k)
    iterations += (k ? "," : "") + FitJson(m.iterations[k]);
  iterations += "]";
  const MatchCriteria& c = r.options.criteria;
  return "{\"target_file\":" + JsonString(r.target_file) +
         ",\"target_source\":" + JsonString(r.target_source) +
         ",\"phase_file\":" + JsonString(r.phase_file) +
         ",\"phase_source\":" + JsonString(r.phase_source) + ",\"spectrum\":" +
         JsonString(std::string(SpectrumKindName(r.target.kind))) +
         ",\"damping\":" + JsonNumber(r.target.damping) +
         ",\"dt\":" + JsonNumber(r.dt) +
         ",\"samples\":" + std::to_string(m.acc.size()) + ",\"duration\":" +
         JsonNumber(static_cast<double>(m.acc.size()) * r.dt) +
         ",\"baseline\":" +
         JsonString(std::string(MotionBaselineName(r.options.baseline))) +
         ",\"fft_length\":" + std::to_string(m.fft_length) +
         ",\"iterations\":" + std::to_string(m.iterations.size() - 1) +
         ",\"best_iteration\":" + std::to_string(m.best_iteration) +
         ",\"scale\":" + JsonNumber(m.scale) +
         ",\"criteria\":{\"min_ratio\":" + JsonNumber(c.min_ratio) +
         ",\"mean_ratio\":" + JsonNumber(c.mean_ratio) +
         ",\"max_cv\":" + JsonNumber(c.max_cv) + "}" +
         ",\"met\":" + (m.failed.empty() ? "true" : "false") +
         ",\"failed\":" + failed + ",\"fit\":" + FitJson(m.fit) +
         ",\"phase_kept\":" + JsonNumber(m.phase_kept) +
         ",\"pga\":" + JsonNumber(r.pga) + ",\"pgv\":" + JsonNumber(r.pgv) +
         ",\"pgd\":" + JsonNumber(r.pgd) +
         ",\"end_velocity\":" + JsonNumber(r.velocity.back()) +
         ",\"end_displacement\":" + JsonNumber(r.displacement.back()) +
         ",\"periods\":" + JsonArray(r.target.periods) +
         ",\"target\":" + JsonArray(r.target.values) +
         ",\"achieved\":" + JsonArray(m.achieved) +
         ",\"ratio\":" + JsonArray(ratio) + ",\"convergence\":" + iterations +
         "}\n";
}

}  // namespace lpgm::match
