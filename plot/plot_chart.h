// The plot engine: an x–y chart with frame, grid, ticks, numeric labels, two
// axis captions and any number of series drawn as markers and lines, laid out
// and drawn into any drawing surface. Coordinates are device pixels; data
// values are doubles, except series data, which are caller-owned float arrays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plot/draw_surface.h"

namespace PlotFlags {
constexpr int32_t PolarCoordinates = 1;  // X value is an angle in radians, Y value a radius
constexpr int32_t LogX = 2;
constexpr int32_t LogY = 4;
}  // namespace PlotFlags

namespace AxisStyle {
constexpr int32_t GridX = 1;
constexpr int32_t GridY = 2;
constexpr int32_t OppositeTicks = 4;
constexpr int32_t ClosedFrame = 8;
}  // namespace AxisStyle

enum MarkerKind : int32_t {
    MarkerNone = 0,
    MarkerCircle = 1,
    MarkerDiagonalCross = 2,
    MarkerPlus = 3,
    MarkerSquare = 4,
    MarkerArrow = 5,  // circle with an arrow to the linked series
    MarkerBands = 6,  // every point is an interval on the X axis
};

enum LineKind : int32_t {
    LineNone = 0,
    LinePolyline = 1,
    LineSmooth = 2,
};

struct PlotArea;
struct PlotSeries;
using PlotMapping = int32_t (*)(const PlotArea& area, double x, double y);
using SeriesValue = double (*)(const PlotSeries& series, int32_t index);

int32_t CartesianMapX(const PlotArea& area, double x, double y);
int32_t CartesianMapY(const PlotArea& area, double x, double y);
int32_t PolarMapX(const PlotArea& area, double angle, double radius);
int32_t PolarMapY(const PlotArea& area, double angle, double radius);

// The leading block shared by a chart and its series: flags, the data area,
// the ranges in effect and the pen state of the line being drawn.
struct PlotArea {
    int32_t flags = 0;  // PlotFlags
    PlotRect plotRect;
    DrawSurface* dc = nullptr;  // borrowed for one rendering
    bool autoX = true;
    bool autoY = true;
    double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;  // log10 units on a logarithmic axis
    double userXMin = 0.0, userXMax = 0.0, userYMin = 0.0, userYMax = 0.0;
    int32_t panX = 0, panY = 0;
    PlotPoint penPos;
    int32_t penVisible = 1;
    PlotMapping MapX = CartesianMapX;
    PlotMapping MapY = CartesianMapY;

    // Draws from penPos to the mapped (x, y), clipped to plotRect; a segment
    // whose ends both lie outside is not drawn.
    void LineToClipped(double x, double y);
    // Moves the ends p (the pen position) and q onto plotRect.
    void ClipSegment(PlotPoint& p, PlotPoint& q) const;
};

struct PlotSeries : PlotArea {
    PlotColor color = 0x000000;
    int32_t count = 0;
    const float* xData = nullptr;  // caller-owned; null: generated values
    const float* yData = nullptr;
    const int32_t* bandClass = nullptr;  // class of each band (bands only)
    const PlotSeries* linked = nullptr;  // partner of the arrow marker
    double xOrigin = 0.0, xIncrement = 1.0;
    double yOrigin = 0.0, yIncrement = 1.0;
    int32_t marker = MarkerNone;
    int32_t penStyle = PenStyle::Solid;
    int32_t penWidth = 0;
    int32_t markerSize = 4;  // half size of a marker in pixels
    int32_t line = LinePolyline;
    int32_t curveSteps = 20;
    SeriesValue GetX = nullptr;
    SeriesValue GetY = nullptr;

    PlotSeries();
};

// Chooses the mappings and value readers of a series from its flags and arrays.
void UpdateAccessors(PlotSeries& series);

// Tick step, first and last tick of one axis (see NiceTickStep).
struct TickStep {
    double step = 1.0;
    double firstTick = 0.0;
    double lastTick = 0.0;
};

// Chooses a step of 1, 2, 2.5, 3, 5 or 10 times a power of ten for an axis of
// `length` pixels with labels at least `spacing` pixels apart. On an automatic
// axis an end within half a step of a tick is moved out onto that tick.
TickStep NiceTickStep(double& min, double& max, int32_t length, double spacing, bool automatic, double offset);
// Tick values from first while below last + step/2, each rounded to a
// thousandth of the step's decade so that no rounding accumulates.
std::vector<double> TickValues(double first, double last, double step);
std::wstring TickLabel(double value);  // "%.10g"

struct PlotChart : PlotArea {
    int32_t xDigits = 3, yDigits = 3;  // resolution exponent of automatic ranges
    std::vector<PlotSeries> series;
    PlotColor axisColor = 0x000000;
    PlotColor gridColor = 0xBFBFBF;
    PlotColor plotBackground = 0xFFFFFF;
    int32_t framePenWidth = 0;
    int32_t axisStyle = AxisStyle::GridX | AxisStyle::GridY | AxisStyle::ClosedFrame;
    double xStep = 1.0, yStep = 1.0;
    double xFirstTick = 0.0, xLastTick = 0.0, yFirstTick = 0.0, yLastTick = 0.0;
    bool xRangeDone = false, yRangeDone = false;
    int32_t tickIn = 4, tickOut = 2, labelGap = 2;
    PlotFont tickFont;
    PlotColor captionColor = 0x000000;
    PlotColor background = 0xFFFFFF;
    int32_t captionGap = 2;
    int32_t margin = 1;
    std::wstring xCaption;
    std::wstring yCaption;
    PlotFont captionFont;

    PlotChart();

    // min >= max makes the axis automatic; otherwise the range is fixed.
    void SetXRange(double min, double max);
    void SetYRange(double min, double max);
    int AddSeries();
    PlotSeries& Series(size_t index) { return series.at(index); }

    // Lays out and draws the whole chart into rect of the surface; with the
    // memory bitmap it is composed off-screen and copied in one block.
    void Render(DrawSurface& surface, const PlotRect& rect, bool useMemoryBitmap);
    // Draws data area, grid, series and axes into an already laid-out rectangle.
    void DrawPlot(DrawSurface& surface, const PlotRect& rect);

    // The ranges of this drawing pass: automatic axes from the data (computed
    // once per pass), fixed axes from the user range.
    void UpdateRanges();

private:
    void AutomaticRange(bool xAxis);
    int32_t UpdateXTicks(DrawSurface& surface, const PlotTextMetrics& metrics, const PlotRect& rect);
    int32_t UpdateYTicks(DrawSurface& surface, const PlotTextMetrics& metrics, const PlotRect& rect);
    bool Compose(DrawSurface& surface, PlotRect rect);
    void DrawGrid(DrawSurface& surface, const std::vector<double>& xTicks, const std::vector<double>& yTicks);
    void DrawSeries(DrawSurface& surface, PlotSeries& series);
    void DrawAxes(DrawSurface& surface, const std::vector<double>& xTicks, const std::vector<double>& yTicks);
};
