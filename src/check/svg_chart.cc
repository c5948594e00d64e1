#include "check/svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "check/html_escape.h"

namespace lpgm::check {
namespace {

constexpr double kTickLength = 4;

std::string_view AnchorName(Anchor anchor) {
  switch (anchor) {
    case Anchor::kMiddle:
      return "middle";
    case Anchor::kEnd:
      return "end";
    case Anchor::kStart:
      break;
  }
  return "start";
}

// A space-separated "x,y" pair.
void AppendPair(std::string& out, double x, double y) {
  AppendCoordinate(out, x);
  out += ',';
  AppendCoordinate(out, y);
}

}  // namespace

void AppendCoordinate(std::string& out, double value) {
  if (!std::isfinite(value)) value = 0;
  value = std::clamp(value, -999999.0, 999999.0);
  const long long tenths = std::llround(value * 10);
  if (tenths < 0) out += '-';
  const unsigned long long magnitude =
      static_cast<unsigned long long>(std::llabs(tenths));
  out += std::to_string(magnitude / 10);
  if (magnitude % 10 != 0) {
    out += '.';
    out += static_cast<char>('0' + magnitude % 10);
  }
}

SvgChart::SvgChart(double width, double height, std::string_view title) {
  svg_ +=
      "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" "
      "viewBox=\"0 0 ";
  AppendCoordinate(svg_, width);
  svg_ += ' ';
  AppendCoordinate(svg_, height);
  svg_ += "\" role=\"img\" aria-label=\"";
  AppendEscaped(svg_, title);
  svg_ += "\"><title>";
  AppendEscaped(svg_, title);
  svg_ += "</title>\n";
}

void SvgChart::SetFrame(const PlotArea& area, const Axis& x, const Axis& y) {
  area_ = area;
  x_ = x;
  y_ = y;
}

double SvgChart::X(double value) const {
  return area_.left + x_.Fraction(value) * area_.width;
}

double SvgChart::Y(double value) const {
  return area_.top + area_.height - y_.Fraction(value) * area_.height;
}

void SvgChart::DrawXTicks(bool labels) {
  const double bottom = area_.top + area_.height;
  for (const Tick& tick : x_.ticks) {
    const double x = X(tick.value);
    if (!(x >= area_.left - 0.01 && x <= area_.left + area_.width + 0.01)) {
      continue;
    }
    svg_ += tick.major ? "<path class=\"grid\" d=\"M"
                       : "<path class=\"grid minor\" d=\"M";
    AppendPair(svg_, x, area_.top);
    svg_ += "V";
    AppendCoordinate(svg_, bottom + (tick.major ? kTickLength : 0));
    svg_ += "\"/>";
    if (labels && !tick.label.empty()) {
      DrawText(x, bottom + kTickLength + 11, tick.label, "label",
               Anchor::kMiddle);
    }
  }
  if (labels) {
    DrawText(area_.left + area_.width / 2, bottom + kTickLength + 27, x_.title,
             "title", Anchor::kMiddle);
  }
  svg_ += '\n';
}

void SvgChart::DrawYTicks() {
  for (const Tick& tick : y_.ticks) {
    const double y = Y(tick.value);
    if (!(y >= area_.top - 0.01 && y <= area_.top + area_.height + 0.01)) {
      continue;
    }
    svg_ += tick.major ? "<path class=\"grid\" d=\"M"
                       : "<path class=\"grid minor\" d=\"M";
    AppendPair(svg_, area_.left - (tick.major ? kTickLength : 0), y);
    svg_ += "H";
    AppendCoordinate(svg_, area_.left + area_.width);
    svg_ += "\"/>";
    if (!tick.label.empty()) {
      DrawText(area_.left - kTickLength - 3, y + 3.5, tick.label, "label",
               Anchor::kEnd);
    }
  }
  svg_ += '\n';
}

void SvgChart::DrawAxes(bool x_labels) {
  DrawXTicks(x_labels);
  DrawYTicks();
  if (!y_.title.empty()) {
    const double cx = area_.left - 44, cy = area_.top + area_.height / 2;
    svg_ +=
        "<text class=\"title\" text-anchor=\"middle\" transform=\"rotate(-90 ";
    AppendPair(svg_, cx, cy);
    svg_ += ")\" x=\"";
    AppendCoordinate(svg_, cx);
    svg_ += "\" y=\"";
    AppendCoordinate(svg_, cy);
    svg_ += "\">";
    AppendEscaped(svg_, y_.title);
    svg_ += "</text>";
  }
  svg_ += "<rect class=\"axis\" x=\"";
  AppendCoordinate(svg_, area_.left);
  svg_ += "\" y=\"";
  AppendCoordinate(svg_, area_.top);
  svg_ += "\" width=\"";
  AppendCoordinate(svg_, area_.width);
  svg_ += "\" height=\"";
  AppendCoordinate(svg_, area_.height);
  svg_ += "\"/>\n";
}

void SvgChart::DrawLine(std::span<const Point> points, std::string_view colour,
                        double stroke_width, std::string_view extra_class) {
  std::string d;
  d.reserve(points.size() * 12);
  bool pen_down = false;
  for (const Point& p : points) {
    const double x = X(p.x), y = Y(p.y);
    if (!std::isfinite(x) || !std::isfinite(y)) {
      pen_down = false;
      continue;
    }
    d += pen_down ? ' ' : 'M';
    AppendPair(d, x, y);
    pen_down = true;
  }
  if (d.empty()) return;
  svg_ += "<path class=\"series";
  if (!extra_class.empty()) {
    svg_ += ' ';
    svg_ += extra_class;
  }
  svg_ += "\" stroke=\"";
  svg_ += colour;
  svg_ += "\" stroke-width=\"";
  AppendCoordinate(svg_, stroke_width);
  svg_ += "\" d=\"";
  svg_ += d;
  svg_ += "\"/>\n";
}

void SvgChart::DrawSegment(Point from, Point to, std::string_view colour,
                           double stroke_width) {
  svg_ += "<path class=\"series\" stroke=\"";
  svg_ += colour;
  svg_ += "\" stroke-width=\"";
  AppendCoordinate(svg_, stroke_width);
  svg_ += "\" d=\"M";
  AppendPair(svg_, from.x, from.y);
  svg_ += ' ';
  AppendPair(svg_, to.x, to.y);
  svg_ += "\"/>\n";
}

void SvgChart::DrawHorizontalBar(double value, double row_center,
                                 double thickness, std::string_view colour) {
  double x0 = X(0), x1 = X(value);
  if (!std::isfinite(x0)) x0 = area_.left;
  if (!std::isfinite(x1)) return;
  x1 = std::clamp(x1, area_.left, area_.left + area_.width);
  DrawRect({std::min(x0, x1), row_center - thickness / 2, std::fabs(x1 - x0),
            thickness},
           colour);
}

void SvgChart::DrawDot(Point at, double radius, std::string_view colour) {
  const double x = X(at.x), y = Y(at.y);
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  svg_ += "<circle cx=\"";
  AppendCoordinate(svg_, x);
  svg_ += "\" cy=\"";
  AppendCoordinate(svg_, y);
  svg_ += "\" r=\"";
  AppendCoordinate(svg_, radius);
  svg_ += "\" fill=\"";
  svg_ += colour;
  svg_ += "\"/>";
}

void SvgChart::DrawText(double x, double y, std::string_view text,
                        std::string_view css_class, Anchor anchor) {
  svg_ += "<text class=\"";
  svg_ += css_class;
  svg_ += "\" x=\"";
  AppendCoordinate(svg_, x);
  svg_ += "\" y=\"";
  AppendCoordinate(svg_, y);
  if (anchor != Anchor::kStart) {
    svg_ += "\" text-anchor=\"";
    svg_ += AnchorName(anchor);
  }
  svg_ += "\">";
  AppendEscaped(svg_, text);
  svg_ += "</text>";
}

void SvgChart::DrawRect(const PlotArea& box, std::string_view colour) {
  svg_ += "<rect x=\"";
  AppendCoordinate(svg_, box.left);
  svg_ += "\" y=\"";
  AppendCoordinate(svg_, box.top);
  svg_ += "\" width=\"";
  AppendCoordinate(svg_, std::max(0.0, box.width));
  svg_ += "\" height=\"";
  AppendCoordinate(svg_, std::max(0.0, box.height));
  svg_ += "\" fill=\"";
  svg_ += colour;
  svg_ += "\"/>";
}

std::string SvgChart::Finish() {
  svg_ += "</svg>\n";
  return std::move(svg_);
}

}  // namespace lpgm::check
