// The calibration graph: mean peak area against certified concentration, as
// the graph page shows it and the report pictures it. Shared by the page, the
// report picture and the native PNG rendering so that all look the same.
#pragma once

#include <vector>

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
// Sets up a fresh chart for the report picture: 25-pixel Cyrillic fonts, black
// series and captions, frame pen 2, 7 % added on each side of the spread.
void SetupReportChart(PlotChart& chart, const GraphPoints& points);
// Adds the straight line A = slope·x + intercept from x0 to x1 as a series
// without markers; it needs no arrays. Returns the series index.
int AddStraightLine(PlotChart& chart, double slope, double intercept, double x0, double x1, PlotColor color,
                    int32_t penWidth);
