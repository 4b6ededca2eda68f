// Series of the plot engine: value readers, mappings, markers, bands, the
// clipped polyline and the smooth curve.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "plot/plot_chart.h"

namespace {

// Mapped pixels stay well inside int32 so that clipping arithmetic cannot
// overflow; a value far outside the range lands far outside the data area.
constexpr double kPixelLimit = 536870912.0;  // 2^29

int32_t PixelFromOffset(double offset) {
    if (std::isnan(offset)) return -static_cast<int32_t>(kPixelLimit);
    return static_cast<int32_t>(std::clamp(offset, -kPixelLimit, kPixelLimit));
}

template <bool IsX, bool FromData, bool Logarithmic>
double ReadValue(const PlotSeries& s, int32_t i) {
    double v;
    if constexpr (FromData)
        v = static_cast<double>(IsX ? s.xData[i] : s.yData[i]);
    else
        v = IsX ? s.xOrigin + i * s.xIncrement : s.yOrigin + i * s.yIncrement;
    if constexpr (Logarithmic) v = std::log10(v);
    return v;
}

template <bool IsX>
SeriesValue ChooseReader(bool fromData, bool logarithmic) {
    if (fromData) return logarithmic ? ReadValue<IsX, true, true> : ReadValue<IsX, true, false>;
    return logarithmic ? ReadValue<IsX, false, true> : ReadValue<IsX, false, false>;
}

PlotPoint MapPoint(const PlotSeries& s, double x, double y) { return {s.MapX(s, x, y), s.MapY(s, x, y)}; }
PlotPoint MapPoint(const PlotSeries& s, int32_t i) { return MapPoint(s, s.GetX(s, i), s.GetY(s, i)); }

int Sign(int32_t v) { return (v > 0) - (v < 0); }

// Moves `moving` along the segment onto the line coordinate = edge when the two
// ends lie on different sides of it (horizontal: the line y = edge).
void MoveOntoEdge(PlotPoint& moving, const PlotPoint& other, int32_t edge, bool horizontal) {
    const int32_t dm = (horizontal ? moving.y : moving.x) - edge;
    const int32_t dother = (horizontal ? other.y : other.x) - edge;
    if (dm == 0 || Sign(dm) * Sign(dother) > 0) return;  // already on it, or both on one side
    if (horizontal) {
        moving.x = other.x + MulDivRound(moving.x - other.x, edge - other.y, moving.y - other.y);
        moving.y = edge;
    } else {
        moving.y = other.y + MulDivRound(moving.y - other.y, edge - other.x, moving.x - other.x);
        moving.x = edge;
    }
}

void DrawMarker(DrawSurface& dc, const PlotSeries& s, int32_t i, PlotPoint p) {
    const int32_t x = p.x, y = p.y, m = s.markerSize;
    switch (s.marker) {
        case MarkerCircle:
            dc.Ellipse(x - m, y - m, x + m + 1, y + m + 1);
            break;
        case MarkerDiagonalCross:
            dc.MoveTo(x - m, y - m);
            dc.LineTo(x + m + 1, y + m + 1);
            dc.MoveTo(x + m, y - m);
            dc.LineTo(x - m - 1, y + m + 1);
            break;
        case MarkerPlus:
            dc.MoveTo(x, y - m);
            dc.LineTo(x, y + m + 1);
            dc.MoveTo(x - m, y);
            dc.LineTo(x + m + 1, y);
            break;
        case MarkerSquare:
            dc.Rectangle(x - m, y - m, x + m + 1, y + m + 1);
            break;
        case MarkerArrow: {
            dc.Ellipse(x - m, y - m, x + m + 1, y + m + 1);
            PlotPoint q;  // (0, 0) without a partner point
            if (s.linked != nullptr && i < s.linked->count)
                q = MapPoint(s, s.GetX(*s.linked, i), s.GetY(*s.linked, i));
            const int32_t dy = std::abs(y - q.y);
            if (dy >= m) {
                const int32_t d = y > q.y ? 1 : -1;
                dc.MoveTo(x, y - m * d);
                dc.LineTo(q);
                if (dy >= 4 * m) {
                    dc.MoveTo(q);
                    dc.LineTo(q.x - 2, q.y + 3 * m * d);
                    dc.MoveTo(q);
                    dc.LineTo(q.x + 2, q.y + 3 * m * d);
                }
            }
            break;
        }
        default:
            break;
    }
}

void DrawBands(DrawSurface& dc, const PlotSeries& s) {
    const PlotRect& r = s.plotRect;
    OwnedObject plain(dc, dc.CreateBrush(0xFFFFC2));
    OwnedObject classOne(dc, dc.CreateBrush(0xA2FFFF));
    OwnedObject other(dc, dc.CreateBrush(0xC5C5C5));
    OwnedObject overlap(dc, dc.CreateBrush(0xC5C5FF));
    ObjectSelection nullPen(dc, dc.Stock(StockObject::NullPen));
    std::vector<std::pair<int32_t, int32_t>> shown;  // clipped extents of the bands drawn
    for (int32_t i = 0; i < s.count; ++i) {
        const int32_t a = s.MapX(s, s.GetX(s, i), 0.0);
        const int32_t b = s.MapX(s, s.GetY(s, i), 0.0);
        if (!((a > r.left || b > r.left) && (a < r.right || b < r.right))) continue;
        const int32_t bandClass = s.bandClass != nullptr ? s.bandClass[i] : 0;
        const DrawObject brush = bandClass == 0 ? plain.get() : bandClass == 1 ? classOne.get() : other.get();
        const int32_t left = std::max(a, r.left), right = std::min(b, r.right);
        ObjectSelection selected(dc, brush);
        dc.Rectangle(left, r.bottom + 1, right, r.top);
        shown.emplace_back(left, right);
    }
    ObjectSelection selected(dc, overlap.get());
    for (size_t i = 0; i < shown.size(); ++i) {
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const auto [li, ri] = shown[i];
            const auto [lj, rj] = shown[j];
            if (li < lj && lj < ri)
                dc.Rectangle(lj, r.bottom + 1, std::min(rj, ri), r.top);
            else if (lj < li && li < rj)
                dc.Rectangle(li, r.bottom + 1, std::min(ri, rj), r.top);
        }
    }
}

void StartLine(PlotSeries& s, PlotPoint first) {
    s.penPos = first;
    s.penVisible = PointInRect(s.plotRect, first) ? 1 : 0;
    s.dc->MoveTo(first);
}

void DrawPolyline(PlotSeries& s) {
    StartLine(s, MapPoint(s, 0));
    for (int32_t i = 1; i < s.count; ++i) s.LineToClipped(s.GetX(s, i), s.GetY(s, i));
}

// Tangents of a monotone cubic through (x[i], y[i]) with strictly monotonic x:
// the curve never overshoots between two points.
std::vector<double> MonotoneTangents(const std::vector<double>& x, const std::vector<double>& y) {
    const size_t n = x.size();
    std::vector<double> secant(n - 1), tangent(n);
    for (size_t k = 0; k + 1 < n; ++k) secant[k] = (y[k + 1] - y[k]) / (x[k + 1] - x[k]);
    tangent[0] = secant[0];
    tangent[n - 1] = secant[n - 2];
    for (size_t k = 1; k + 1 < n; ++k)
        tangent[k] = secant[k - 1] * secant[k] <= 0.0 ? 0.0 : (secant[k - 1] + secant[k]) / 2.0;
    for (size_t k = 0; k + 1 < n; ++k) {
        if (secant[k] == 0.0) {
            tangent[k] = tangent[k + 1] = 0.0;
            continue;
        }
        const double a = tangent[k] / secant[k], b = tangent[k + 1] / secant[k];
        const double length = std::hypot(a, b);
        if (length > 3.0) {
            tangent[k] = 3.0 / length * a * secant[k];
            tangent[k + 1] = 3.0 / length * b * secant[k];
        }
    }
    return tangent;
}

double CatmullRom(const std::vector<double>& v, size_t k, double t) {
    const double p0 = v[k == 0 ? 0 : k - 1], p1 = v[k], p2 = v[k + 1], p3 = v[k + 2 < v.size() ? k + 2 : k + 1];
    return 0.5 * (2.0 * p1 + (p2 - p0) * t + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * t * t +
                  (3.0 * p1 - p0 - 3.0 * p2 + p3) * t * t * t);
}

void DrawSmoothCurve(PlotSeries& s) {
    const size_t n = static_cast<size_t>(s.count);
    std::vector<double> x(n), y(n);
    for (size_t i = 0; i < n; ++i) {
        x[i] = s.GetX(s, static_cast<int32_t>(i));
        y[i] = s.GetY(s, static_cast<int32_t>(i));
    }
    bool monotonic = true;
    for (size_t i = 1; i < n && monotonic; ++i) {
        const double d = x[i] - x[i - 1];
        monotonic = d != 0.0 && (d > 0.0) == (x[1] - x[0] > 0.0);
    }
    const std::vector<double> tangent = monotonic ? MonotoneTangents(x, y) : std::vector<double>();
    const int32_t steps = std::max(1, s.curveSteps);
    StartLine(s, MapPoint(s, x[0], y[0]));
    for (size_t k = 0; k + 1 < n; ++k) {
        for (int32_t j = 1; j < steps; ++j) {
            const double t = static_cast<double>(j) / steps;
            if (monotonic) {
                const double h = x[k + 1] - x[k], t2 = t * t, t3 = t2 * t;
                const double value = (2 * t3 - 3 * t2 + 1) * y[k] + (t3 - 2 * t2 + t) * h * tangent[k] +
                                     (3 * t2 - 2 * t3) * y[k + 1] + (t3 - t2) * h * tangent[k + 1];
                s.LineToClipped(x[k] + t * h, value);
            } else {
                s.LineToClipped(CatmullRom(x, k, t), CatmullRom(y, k, t));
            }
        }
        s.LineToClipped(x[k + 1], y[k + 1]);  // every interval ends exactly on its point
    }
}

}  // namespace

int32_t CartesianMapX(const PlotArea& a, double x, double) {
    if (a.xMax == a.xMin) return 0;
    const double offset =
        std::ceil((x - a.xMin) / (a.xMax - a.xMin) * (a.plotRect.right - a.plotRect.left - 1) - 0.5);
    return PixelFromOffset(offset) + a.panX + a.plotRect.left;
}

int32_t CartesianMapY(const PlotArea& a, double, double y) {
    if (a.yMax == a.yMin) return 0;
    const double offset =
        std::ceil((y - a.yMin) / (a.yMax - a.yMin) * (a.plotRect.bottom - a.plotRect.top - 1) - 0.5);
    return a.plotRect.bottom + a.panY - 1 - PixelFromOffset(offset);
}

int32_t PolarMapX(const PlotArea& a, double angle, double radius) {
    return CartesianMapX(a, radius * std::cos(angle), 0.0);
}

int32_t PolarMapY(const PlotArea& a, double angle, double radius) {
    return CartesianMapY(a, 0.0, radius * std::sin(angle));
}

PlotSeries::PlotSeries() { UpdateAccessors(*this); }

void UpdateAccessors(PlotSeries& s) {
    const bool polar = (s.flags & PlotFlags::PolarCoordinates) != 0;
    s.MapX = polar ? PolarMapX : CartesianMapX;
    s.MapY = polar ? PolarMapY : CartesianMapY;
    s.GetX = ChooseReader<true>(s.xData != nullptr, (s.flags & PlotFlags::LogX) != 0);
    s.GetY = ChooseReader<false>(s.yData != nullptr, (s.flags & PlotFlags::LogY) != 0);
}

void PlotArea::ClipSegment(PlotPoint& p, PlotPoint& q) const {
    if (penVisible != 0 && PointInRect(plotRect, q)) return;
    const PlotRect& r = plotRect;
    {
        const bool pSmaller = p.y < q.y;
        MoveOntoEdge(pSmaller ? p : q, pSmaller ? q : p, r.top, true);
    }
    {
        const bool pSmaller = p.y < q.y;
        MoveOntoEdge(pSmaller ? q : p, pSmaller ? p : q, r.bottom - 1, true);
    }
    {
        const bool pSmaller = p.x < q.x;
        MoveOntoEdge(pSmaller ? p : q, pSmaller ? q : p, r.left, false);
    }
    {
        const bool pSmaller = p.x < q.x;
        MoveOntoEdge(pSmaller ? q : p, pSmaller ? p : q, r.right - 1, false);
    }
}

void PlotArea::LineToClipped(double x, double y) {
    const PlotPoint p{MapX(*this, x, y), MapY(*this, x, y)};
    if (p == penPos) return;
    PlotPoint q = p;
    ClipSegment(penPos, q);
    const bool inside = PointInRect(plotRect, p);
    bool drawn = false;
    if (penVisible != 0) {
        dc->LineTo(q);
        drawn = true;
    } else if (inside) {
        dc->MoveTo(penPos);
        dc->LineTo(q);
        drawn = true;
    }
    if (drawn && std::abs(q.x - penPos.x) > 12) dc->Ellipse(q.x - 2, q.y - 2, q.x + 3, q.y + 3);
    penPos = p;
    penVisible = inside ? 1 : 0;
}

void PlotChart::DrawSeries(DrawSurface& dc, PlotSeries& s) {
    s.dc = &dc;
    s.plotRect = plotRect;
    s.xMin = xMin;
    s.xMax = xMax;
    s.yMin = yMin;
    s.yMax = yMax;
    s.autoX = s.autoY = false;
    // The values are drawn in the chart's coordinates (logarithmic or polar).
    s.flags = flags;
    UpdateAccessors(s);
    {
        OwnedObject pen(dc, dc.CreatePen(s.penStyle, s.penWidth, s.color));
        ObjectSelection selected(dc, pen.get());
        if (s.marker == MarkerBands) {
            DrawBands(dc, s);
        } else if (s.marker != MarkerNone) {
            for (int32_t i = 0; i < s.count; ++i) {
                const PlotPoint p = MapPoint(s, i);
                if (PointInRect(plotRect, p)) DrawMarker(dc, s, i, p);
            }
        }
        if (s.count > 1) {
            if (s.line == LineSmooth && s.count >= 3)
                DrawSmoothCurve(s);
            else if (s.line == LinePolyline || s.line == LineSmooth)
                DrawPolyline(s);
        }
    }
    dc.Select(dc.Stock(StockObject::NullBrush));
}
