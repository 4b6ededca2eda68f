// The deviation chart: for one component, each level's relative deviation of
// the concentration back-calculated from the line (relDev, %) against the
// certified concentration, with its norm ±2·σk as a whisker, and the levels
// outside their norm marked apart, in a second colour and shape. The deviation
// is drawn with the sign of back-calculated minus certified concentration, so
// a level whose area lies above the line (the detector reads high) is above zero. The RSD and its norm are not drawn:
// their scale differs from the deviations' and one picture would read neither.
// Shared by the graph page, the report picture and the native PNG rendering.
#pragma once

#include <cstddef>
#include <vector>

#include "calc/calc_records.h"
#include "plot/plot_chart.h"

struct DeviationPoints {
    std::vector<float> x, y;          // levels within their norm, or without one
    std::vector<float> outX, outY;    // levels outside their norm
    std::vector<float> normX, normY;  // per level with a norm: (x, -norm), (x, +norm)
    std::vector<size_t> outside;      // indices (into the component's levels) of the levels outside
    double xMin, xMax, yLimit;        // extremes of the concentrations; largest size of a deviation or norm

    DeviationPoints() { Clear(); }
    void Clear();
    size_t size() const { return x.size() + outX.size(); }
};

// The levels of a component that have a certified and a back-calculated
// concentration and a deviation; none without a line. A level counts as
// outside when its norm applies and the calculation found it not met.
DeviationPoints DeviationPointsOf(const CalcComponent& component);

struct DeviationStyle {
    PlotColor inside = 0x008000;   // green circles
    PlotColor outside = 0x0000FF;  // red squares
    PlotColor norm = 0xA0A0A0;     // grey whiskers and the zero line
    int32_t markerSize = 3;        // half size; the squares are one pixel larger
    int32_t penWidth = 2;
};
inline constexpr DeviationStyle kPageDeviationStyle{};
inline constexpr DeviationStyle kReportDeviationStyle{0x000000, 0x0000FF, 0x606060, 5, 2};

// The page's deviation chart: the page chart's settings with the caption
// "Отклонение, %".
void SetupPageDeviationChart(PlotChart& chart);
// The report's deviation chart: the report picture's fonts and colours.
void SetupReportDeviationChart(PlotChart& chart);
// Replaces the chart's series by the zero line, the norm whiskers and the two
// kinds of points; X from the concentrations with `spread` of their spread
// added on each side, Y symmetric about zero with room for every deviation
// and norm. Without points, X from 0 to 1 and Y from -1 to 1. The chart keeps
// pointing into points until the next call.
void ShowDeviationsOnChart(PlotChart& chart, const DeviationPoints& points, const DeviationStyle& style,
                           double spread);
