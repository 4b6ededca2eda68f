#include "plot/graph_chart.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

const wchar_t kConcentrationCaption[] = L"Концентрация, моль%";
const wchar_t kAreaCaption[] = L"Площадь";

PlotFont CyrillicFont(int32_t height) {
    PlotFont font;
    font.height = height;
    font.charSet = FontCharSet::Russian;
    SetFontFace(font, L"Arial");
    return font;
}

bool Plottable(double v) { return std::isfinite(v) && v != std::numeric_limits<double>::lowest(); }

void ShowPoints(PlotChart& chart, const GraphPoints& points, PlotSeries& s, double spread) {
    s.count = static_cast<int32_t>(points.size());
    s.xData = points.x.data();
    s.yData = points.y.data();
    UpdateAccessors(s);
    const double dx = (points.xMax - points.xMin) * spread, dy = (points.yMax - points.yMin) * spread;
    chart.SetXRange(points.xMin - dx, points.xMax + dx);
    chart.SetYRange(points.yMin - dy, points.yMax + dy);
}

}  // namespace

void GraphPoints::Clear() {
    x.clear();
    y.clear();
    xMax = yMax = std::numeric_limits<double>::lowest();
    xMin = yMin = std::numeric_limits<double>::max();
}

bool GraphPoints::Add(double concentration, double meanArea) {
    if (!Plottable(concentration) || !Plottable(meanArea)) return false;
    x.push_back(static_cast<float>(concentration));
    y.push_back(static_cast<float>(meanArea));
    xMin = std::min(xMin, concentration);
    xMax = std::max(xMax, concentration);
    yMin = std::min(yMin, meanArea);
    yMax = std::max(yMax, meanArea);
    return true;
}

void SetupPageChart(PlotChart& chart) {
    chart.captionFont = CyrillicFont(16);
    chart.axisStyle = AxisStyle::GridX | AxisStyle::GridY | AxisStyle::ClosedFrame;
    chart.flags = 0;
    chart.MapX = CartesianMapX;
    chart.MapY = CartesianMapY;
    chart.autoX = chart.autoY = true;
    chart.xCaption = kConcentrationCaption;
    chart.yCaption = kAreaCaption;
    chart.SetXRange(0.0, 1.0);
    chart.SetYRange(0.0, 1.0);
}

void ShowPointsOnPageChart(PlotChart& chart, const GraphPoints& points) {
    chart.series.clear();
    if (points.size() == 0) {
        chart.SetXRange(0.0, 1.0);
        chart.SetYRange(0.0, 1.0);
        return;
    }
    PlotSeries& s = chart.Series(chart.AddSeries());
    s.color = 0x737FFF;
    s.penWidth = 2;
    s.markerSize = 2;
    s.marker = MarkerCircle;
    ShowPoints(chart, points, s, 0.1);
}

void StyleReportChart(PlotChart& chart) {
    chart.tickFont = chart.captionFont = CyrillicFont(25);
    chart.xCaption = kConcentrationCaption;
    chart.yCaption = kAreaCaption;
    chart.captionColor = chart.axisColor = 0x000000;
    chart.framePenWidth = 2;
}

void SetupReportChart(PlotChart& chart, const GraphPoints& points) {
    StyleReportChart(chart);
    PlotSeries& s = chart.Series(chart.AddSeries());
    s.color = 0x000000;
    s.penStyle = PenStyle::Solid;
    s.penWidth = 2;
    s.markerSize = 3;
    s.marker = MarkerCircle;
    s.line = LinePolyline;
    ShowPoints(chart, points, s, 0.07);
}

int AddStraightLine(PlotChart& chart, double slope, double intercept, double x0, double x1, PlotColor color,
                    int32_t penWidth, int32_t steps) {
    steps = std::max(1, steps);
    const int index = chart.AddSeries();
    PlotSeries& s = chart.Series(static_cast<size_t>(index));
    s.color = color;
    s.penWidth = penWidth;
    s.marker = MarkerNone;
    s.line = LinePolyline;
    s.count = steps + 1;
    s.xOrigin = x0;
    s.xIncrement = (x1 - x0) / steps;
    s.yOrigin = slope * x0 + intercept;
    s.yIncrement = slope * (x1 - x0) / steps;
    UpdateAccessors(s);
    return index;
}

bool GraphLine::Known() const { return Plottable(slope) && Plottable(intercept); }

bool LineInsideBox(const GraphLine& line, double& x0, double& x1, double yMin, double yMax) {
    if (!line.Known() || !(x0 < x1) || !(yMin <= yMax)) return false;
    if (line.slope == 0.0) return line.intercept >= yMin && line.intercept <= yMax;
    double a = (yMin - line.intercept) / line.slope, b = (yMax - line.intercept) / line.slope;
    if (a > b) std::swap(a, b);
    x0 = std::max(x0, a);
    x1 = std::min(x1, b);
    return std::isfinite(x0) && std::isfinite(x1) && x0 < x1;
}

int AddCalibrationLine(PlotChart& chart, const GraphLine& line, PlotColor color, int32_t penWidth) {
    if (chart.autoX) return -1;
    double x0 = chart.userXMin, x1 = chart.userXMax;
    const bool inside = chart.autoY ? line.Known() && x0 < x1
                                    : LineInsideBox(line, x0, x1, chart.userYMin, chart.userYMax);
    if (!inside) return -1;
    const int index = AddStraightLine(chart, line.slope, line.intercept, x0, x1, color, penWidth, kLineSteps);
    std::rotate(chart.series.begin(), chart.series.begin() + index, chart.series.end());  // drawn first
    return 0;
}
