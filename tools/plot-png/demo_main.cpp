// tessaro-plot-demo OUT.png [WIDTH HEIGHT]: draws a calibration-style chart
// (mean peak area against concentration with the fitted line) into a PNG file,
// the way the report pictures it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "plot/graph_chart.h"
#include "tools/plot-png/plot_png.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: tessaro-plot-demo OUT.png [WIDTH HEIGHT]\n");
        return 2;
    }
    const int width = argc == 4 ? std::atoi(argv[2]) : 1000;
    const int height = argc == 4 ? std::atoi(argv[3]) : 1000;

    // Five levels of a methane calibration: certified mol% and mean area.
    const double concentration[] = {0.5, 1.0, 2.5, 5.0, 10.0};
    const double area[] = {6322.0, 12484.0, 31010.0, 61880.0, 123597.0};
    GraphPoints points;
    for (int i = 0; i < 5; ++i) points.Add(concentration[i], area[i]);

    // Least squares line A = b·x + B through the levels.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    const double n = static_cast<double>(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        sx += concentration[i];
        sy += area[i];
        sxx += concentration[i] * concentration[i];
        sxy += concentration[i] * area[i];
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double intercept = (sy - slope * sx) / n;

    PlotChart chart;
    SetupReportChart(chart, points);
    chart.series[0].line = LineNone;  // the levels as points, the fitted line through them
    AddStraightLine(chart, slope, intercept, chart.userXMin, chart.userXMax, PlotRgb(0xC0, 0x20, 0x20), 2);

    if (!RenderChartPng(chart, width, height, argv[1])) {
        std::fprintf(stderr, "tessaro-plot-demo: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("A = %.4f * x + %.4f -> %s\n", slope, intercept, argv[1]);
    return 0;
}
