// One chart as an inline SVG element: a plot area with its two axes (grid,
// ticks, labels, titles), lines in data units, marks and text. The chart
// scales with the page through its viewBox; its styles come from the page's
// classes (axis, grid, tick, label, title), colours and widths of the lines
// from the caller.
#ifndef LPGM_CHECK_SVG_CHART_H_
#define LPGM_CHECK_SVG_CHART_H_

#include <span>
#include <string>
#include <string_view>

#include "check/chart_axis.h"
#include "check/min_max_columns.h"

namespace lpgm::check {

struct PlotArea {
  double left = 0, top = 0, width = 0, height = 0;
};

enum class Anchor { kStart, kMiddle, kEnd };

// Appends `value` with at most one decimal and no trailing ".0"; values
// that are not finite are written as 0 and magnitudes are kept under 1e6,
// so that no coordinate of a chart is ever NaN or huge.
void AppendCoordinate(std::string& out, double value);

class SvgChart {
 public:
  // A chart of `width` x `height` user units, described by `title` for
  // screen readers.
  SvgChart(double width, double height, std::string_view title);

  // The plot area and axes that the calls below map data through. A stacked
  // chart sets one per strip.
  void SetFrame(const PlotArea& area, const Axis& x, const Axis& y);

  // Grid lines and ticks of both axes, the y labels and title, a frame; the
  // x labels and title only with `x_labels`.
  void DrawAxes(bool x_labels = true);

  // A line through `points` (data units). A point that the axes cannot show
  // (not finite, not positive on a log axis) breaks the line; points outside
  // the frame are drawn where they fall.
  void DrawLine(std::span<const Point> points, std::string_view colour,
                double stroke_width, std::string_view extra_class = "");

  // A bar from y = 0 across x = 0..value at the y position `row_center`
  // (user units), `thickness` high.
  void DrawHorizontalBar(double value, double row_center, double thickness,
                         std::string_view colour);

  // A dot at a data point; nothing when the axes cannot show it.
  void DrawDot(Point at, double radius, std::string_view colour);

  // Text at user-unit coordinates; `text` is escaped.
  void DrawText(double x, double y, std::string_view text,
                std::string_view css_class, Anchor anchor = Anchor::kStart);

  // A straight line in user units.
  void DrawSegment(Point from, Point to, std::string_view colour,
                   double stroke_width);

  // A rectangle in user units, filled with `colour`.
  void DrawRect(const PlotArea& box, std::string_view colour);

  // User-unit position of a data value (NaN when the axis cannot show it).
  double X(double value) const;
  double Y(double value) const;

  // The finished <svg> element.
  std::string Finish();

 private:
  void DrawXTicks(bool labels);
  void DrawYTicks();

  std::string svg_;
  PlotArea area_;
  Axis x_, y_;
};

}  // namespace lpgm::check

#endif  // LPGM_CHECK_SVG_CHART_H_
