#include "plot/deviation_chart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "plot/graph_chart.h"

namespace {

const wchar_t kDeviationCaption[] = L"Отклонение, %";

bool Known(double v) { return HasValue(v) && std::isfinite(v); }

PlotSeries& PointSeries(PlotChart& chart, const std::vector<float>& x, const std::vector<float>& y, PlotColor color,
                        int32_t marker, int32_t markerSize, int32_t penWidth) {
    PlotSeries& s = chart.Series(static_cast<size_t>(chart.AddSeries()));
    s.color = color;
    s.marker = marker;
    s.markerSize = markerSize;
    s.penWidth = penWidth;
    s.line = LineNone;
    s.count = static_cast<int32_t>(x.size());
    s.xData = x.data();
    s.yData = y.data();
    UpdateAccessors(s);
    return s;
}

void AddWhiskers(PlotChart& chart, const DeviationPoints& points, const DeviationStyle& style) {
    for (size_t i = 0; i + 1 < points.normX.size(); i += 2) {
        PlotSeries& s = chart.Series(static_cast<size_t>(chart.AddSeries()));
        s.color = style.norm;
        s.penWidth = style.penWidth;
        s.marker = MarkerPlus;  // the ends of the norm
        s.markerSize = style.markerSize;
        s.line = LinePolyline;
        s.count = 2;
        s.xData = points.normX.data() + i;
        s.yData = points.normY.data() + i;
        UpdateAccessors(s);
    }
}

}  // namespace

void DeviationPoints::Clear() {
    x.clear();
    y.clear();
    outX.clear();
    outY.clear();
    normX.clear();
    normY.clear();
    outside.clear();
    xMin = std::numeric_limits<double>::max();
    xMax = std::numeric_limits<double>::lowest();
    yLimit = 0.0;
}

DeviationPoints DeviationPointsOf(const CalcComponent& component) {
    DeviationPoints points;
    if (!Known(component.slope)) return points;
    for (size_t i = 0; i < component.levels.size(); ++i) {
        const CalcLevel& level = component.levels[i];
        if (!Known(level.conc) || !Known(level.calcConc) || !Known(level.relDev)) continue;
        const float x = static_cast<float>(level.conc);
        const double deviation = level.calcConc >= level.conc ? level.relDev : -level.relDev;
        const bool hasNorm = Known(level.devNorm);
        const bool out = hasNorm && !level.devOk;
        (out ? points.outX : points.x).push_back(x);
        (out ? points.outY : points.y).push_back(static_cast<float>(deviation));
        if (out) points.outside.push_back(i);
        if (hasNorm) {
            points.normX.insert(points.normX.end(), {x, x});
            points.normY.insert(points.normY.end(), {static_cast<float>(-level.devNorm), static_cast<float>(level.devNorm)});
            points.yLimit = std::max(points.yLimit, std::fabs(level.devNorm));
        }
        points.xMin = std::min(points.xMin, level.conc);
        points.xMax = std::max(points.xMax, level.conc);
        points.yLimit = std::max(points.yLimit, std::fabs(deviation));
    }
    return points;
}

void SetupPageDeviationChart(PlotChart& chart) {
    SetupPageChart(chart);
    chart.yCaption = kDeviationCaption;
    chart.SetYRange(-1.0, 1.0);
}

void SetupReportDeviationChart(PlotChart& chart) {
    StyleReportChart(chart);
    chart.yCaption = kDeviationCaption;
}

void ShowDeviationsOnChart(PlotChart& chart, const DeviationPoints& points, const DeviationStyle& style,
                           double spread) {
    chart.series.clear();
    if (points.size() == 0) {
        chart.SetXRange(0.0, 1.0);
        chart.SetYRange(-1.0, 1.0);
        return;
    }
    double dx = (points.xMax - points.xMin) * spread;
    if (!(dx > 0.0)) dx = std::fabs(points.xMax) > 0.0 ? std::fabs(points.xMax) * spread : 1.0;
    const double y = points.yLimit > 0.0 ? points.yLimit * (1.0 + 2.0 * spread) : 1.0;
    chart.SetXRange(points.xMin - dx, points.xMax + dx);
    chart.SetYRange(-y, y);
    AddStraightLine(chart, 0.0, 0.0, points.xMin - dx, points.xMax + dx, style.norm, 0, kLineSteps);
    AddWhiskers(chart, points, style);
    PointSeries(chart, points.x, points.y, style.inside, MarkerCircle, style.markerSize, style.penWidth);
    PointSeries(chart, points.outX, points.outY, style.outside, MarkerSquare, style.markerSize + 1, style.penWidth);
}
