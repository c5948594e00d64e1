#include "check/svg_chart.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace lpgm::check {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Coordinate(double v) {
  std::string s;
  AppendCoordinate(s, v);
  return s;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos;
       at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

TEST(SvgChart, CoordinatesHaveOneDecimalAndAreAlwaysNumbers) {
  EXPECT_EQ(Coordinate(12.34), "12.3");
  EXPECT_EQ(Coordinate(12.35001), "12.4");
  EXPECT_EQ(Coordinate(7.0), "7");
  EXPECT_EQ(Coordinate(-0.04), "0");
  EXPECT_EQ(Coordinate(-3.26), "-3.3");
  EXPECT_EQ(Coordinate(kNaN), "0");
  EXPECT_EQ(Coordinate(kInf), "0");
  EXPECT_EQ(Coordinate(1e300), "999999");
  EXPECT_EQ(Coordinate(-1e300), "-999999");
}

SvgChart LinearChart() {
  SvgChart chart(200, 100, "test");
  const std::vector<double> range = {0, 10};
  const std::array<std::span<const double>, 1> s = {range};
  const Axis axis = MakeLinearAxis(s, "x");
  chart.SetFrame({10, 10, 100, 50}, axis, axis);
  return chart;
}

TEST(SvgChart, UnshowablePointsBreakTheLine) {
  SvgChart chart = LinearChart();
  const std::vector<Point> points = {{0, 0}, {1, 1},    {2, kNaN},
                                     {3, 3}, {4, kInf}, {5, 5}};
  chart.DrawLine(points, "#000", 1);
  const std::string svg = chart.Finish();
  EXPECT_EQ(Count(svg, "<path class=\"series"), 1u);
  EXPECT_EQ(Count(svg, "M"), 3u);  // three pieces: 0-1, 3, 5
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
}

TEST(SvgChart, DataMapsIntoThePlotArea) {
  SvgChart chart = LinearChart();
  EXPECT_DOUBLE_EQ(chart.X(0), 10);
  EXPECT_DOUBLE_EQ(chart.X(10), 110);
  EXPECT_DOUBLE_EQ(chart.Y(0), 60);  // y grows downwards
  EXPECT_DOUBLE_EQ(chart.Y(10), 10);
}

TEST(SvgChart, TextIsEscapedAndAxesCarryTheirTitles) {
  SvgChart chart = LinearChart();
  chart.DrawAxes();
  chart.DrawText(0, 0, "<a&b>", "label");
  chart.DrawLine(std::vector<Point>{}, "#000", 1);  // draws nothing
  const std::string svg = chart.Finish();
  EXPECT_NE(svg.find("&lt;a&amp;b&gt;"), std::string::npos);
  EXPECT_EQ(svg.find("<a&b>"), std::string::npos);
  EXPECT_EQ(Count(svg, ">x</text>"), 2u);  // both axis titles
  EXPECT_EQ(Count(svg, "<path class=\"series"), 0u);
  EXPECT_EQ(svg.rfind("</svg>\n"), svg.size() - 7);
}

}  // namespace
}  // namespace lpgm::check
