#include "spectrum/spectrum_files.h"

#include <charconv>
#include <string_view>

#include "platform/encoding.h"

namespace lpgm::spectrum {

std::string Fixed(double value, int decimals) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

namespace {

constexpr std::size_t kAt005 = 3;  // 0.05 in kFaultDampings

std::string Significant(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::general, 7);
  return std::string(buffer, result.ptr);
}

std::string DampingName(double h) { return Fixed(h, 2); }

std::string FaultColumnNames() {
  std::string line = "周期(s),振動数(Hz)";
  auto add = [&](std::string_view kind, std::size_t d, std::string_view unit) {
    line += ",";
    line += kind;
    line +=
        " h=" + DampingName(kFaultDampings[d]) + "(" + std::string(unit) + ")";
  };
  for (std::size_t d = 0; d < 6; ++d) add("Sd", d, "cm");
  for (std::size_t d = 0; d < 6; ++d)
    if (d != kAt005) add("Sv", d, "cm/s");
  for (std::size_t d = 0; d < 6; ++d) add("Sa", d, "cm/s2");
  for (std::size_t d = 0; d < 6; ++d) add("pSv", d, "cm/s");
  add("pSa", kAt005, "cm/s2");
  line += ",Sa/PGA h=0.05";
  add("Sv", kAt005, "cm/s");
  return line;
}

std::string FaultRow(const SpectrumTable& table, std::size_t p, double pga) {
  const double t = table.periods[p];
  std::string row = Fixed(t, 4) + "," + Fixed(1.0 / t, 5);
  auto add = [&](double value, int decimals) {
    row += "," + Fixed(value, decimals);
  };
  for (std::size_t d = 0; d < 6; ++d) add(table.At(d, p).sd, 5);
  for (std::size_t d = 0; d < 6; ++d)
    if (d != kAt005) add(table.At(d, p).sv, 5);
  for (std::size_t d = 0; d < 6; ++d) add(table.At(d, p).sa, 4);
  for (std::size_t d = 0; d < 6; ++d) add(PseudoVelocity(table.At(d, p), t), 5);
  add(PseudoAcceleration(table.At(kAt005, p), t), 4);
  add(pga > 0.0 ? table.At(kAt005, p).sa / pga : 0.0, 5);
  add(table.At(kAt005, p).sv, 6);
  return row;
}

std::string ColumnNumbers() {
  std::string line = "1";
  for (int k = 2; k <= 28; ++k) line += "," + std::to_string(k);
  return line;
}

std::string PeakNote(int substeps) {
  if (substeps == 1) return "ピークは各サンプル時刻の値";
  return "ピークは時間刻みを " + std::to_string(substeps) +
         " 等分した各時刻の値";
}

}  // namespace

std::string FaultFileText(const SpectrumTable& table, const RecordNote& note) {
  const std::string periods =
      note.default_periods
          ? "周期点: 0.1 s から 10 s まで対数等間隔 55 点 (小数 4 桁)"
          : "周期点: 指定ファイルの 55 点";
  const std::string lines[] = {
      "長周期地震動 応答スペクトル表 (lpgm-spectrum で記録から計算)",
      "記録: " + note.name + " (" + note.kind + ")",
      "時間刻み " + Fixed(note.dt, 4) + " s, データ数 " +
          std::to_string(note.samples) + ", 最大加速度 " + Fixed(note.pga, 3) +
          " cm/s2",
      "計算法: 区分線形加速度に対する厳密解, 静止状態から開始, " +
          PeakNote(note.substeps),
      periods + ", 減衰定数 0.01 0.02 0.03 0.05 0.10 0.20",
      std::string("Sd 相対変位, Sv 相対速度, Sa 絶対加速度, ") +
          "pSv 擬似速度 (2π/T)Sd, pSa 擬似加速度 (2π/T)^2 Sd",
      "第 28 列 = 相対速度応答スペクトル Sv (減衰定数 0.05), cm/s",
      FaultColumnNames(),
      ColumnNumbers()};
  std::string utf8;
  for (const std::string& line : lines) utf8 += line + "\r\n";
  for (std::size_t p = 0; p < table.periods.size(); ++p)
    utf8 += FaultRow(table, p, note.pga) + "\r\n";
  return platform::Utf8ToCp932(utf8);
}

std::string CsvText(const SpectrumTable& table) {
  std::string text = "period (s)";
  for (const double h : table.dampings) {
    const std::string at = " h=" + Significant(h);
    for (const char* column : {"Sd%s (cm)", "Sv%s (cm/s)", "Sa%s (cm/s2)",
                               "pSv%s (cm/s)", "pSa%s (cm/s2)"}) {
      const std::string_view name(column);
      const std::size_t mark = name.find("%s");
      text += ',';
      text.append(name.substr(0, mark));
      text += at;
      text.append(name.substr(mark + 2));
    }
  }
  text += "\n";
  for (std::size_t p = 0; p < table.periods.size(); ++p) {
    const double t = table.periods[p];
    text += Significant(t);
    for (std::size_t d = 0; d < table.dampings.size(); ++d) {
      const SpectralPeaks& peaks = table.At(d, p);
      for (const SpectrumKind kind :
           {SpectrumKind::kSd, SpectrumKind::kSv, SpectrumKind::kSa,
            SpectrumKind::kPsv, SpectrumKind::kPsa})
        text += "," + Significant(SpectralValue(peaks, t, kind));
    }
    text += "\n";
  }
  return text;
}

}  // namespace lpgm::spectrum
