// The calibration graph: mean peak area against certified concentration, as
// the graph page shows it and the report pictures it. Shared by the page, the
// report picture and the native PNG rendering so that all look the same.
#pragma once

#include <vector>

#include "base/no_value.h"
#include "plot/plot_chart.h"

// The plotted levels of one component and the extremes of their values. Only
// levels with both values are taken: a value that was not computed (the most
// negative double) or is not finite is never plotted.
struct GraphPoints {
    std::vector<float> x;  // concentrations, mol%
    std::vector<float> y;  // mean areas
    double xMin, xMax, yMin, yMax;

    GraphPoints() { Clear(); }
    void Clear();
    bool Add(double concentration, double meanArea);  // false when the level is not plotted
    size_t size() const { return x.size(); }
};

// Settings of the graph page's chart made once, at the page's initialisation:
// captions "Концентрация, моль%" and "Площадь", a 16-pixel Cyrillic caption
// font, grid and closed frame, fixed ranges 0 to 1.
void SetupPageChart(PlotChart& chart);
// Shows points on the page chart (series colour 0x737FFF, circles of half size
// 2, line width 2) with 10 % of the value spread added on each side; with no
// points, an empty chart with fixed ranges 0 to 1. The chart keeps pointing
// into points until the next call.
void ShowPointsOnPageChart(PlotChart& chart, const GraphPoints& points);
// The report picture's look: 25-pixel Cyrillic fonts, the captions of the
// calibration graph, black captions and axes, frame pen 2.
void StyleReportChart(PlotChart& chart);
// Sets up a fresh chart for the report picture: its look, a black series of
// the points, 7 % added on each side of the spread.
void SetupReportChart(PlotChart& chart, const GraphPoints& points);
// Adds the straight line A = slope·x + intercept from x0 to x1 as a series
// without markers, in `steps` equal pieces; it needs no arrays. Returns the
// series index.
int AddStraightLine(PlotChart& chart, double slope, double intercept, double x0, double x1, PlotColor color,
                    int32_t penWidth, int32_t steps = 1);

// The fitted calibration line A = slope·x + intercept of a component. A
// component without a line has no slope (or a value that was not computed).
struct GraphLine {
    double slope = NoValue;
    double intercept = NoValue;
    bool Known() const;
};
// The part [x0, x1] of the line whose values lie within [yMin, yMax]; false
// when the line misses that box or is not known.
bool LineInsideBox(const GraphLine& line, double& x0, double& x1, double yMin, double yMax);
// Puts the calibration line under every series of a chart with fixed ranges:
// across the whole X range, clipped to the Y range, in short pieces (the
// engine marks the end of a long piece with a dot). -1 and no series without
// a known line, with an automatic X axis or when the line misses the data
// area; otherwise the line's series index, 0.
int AddCalibrationLine(PlotChart& chart, const GraphLine& line, PlotColor color, int32_t penWidth);

// Pieces of a long straight line: a few pixels each on any real chart.
inline constexpr int32_t kLineSteps = 200;

// Colours of the calibration line: on the page, distinct from the points;
// black on the report picture.
inline constexpr PlotColor kPageLineColor = 0xC07020;  // blue
inline constexpr PlotColor kReportLineColor = 0x000000;
