// The chart: ranges, ticks, the layout and the drawing of frame, grid and axes.
#include "plot/plot_chart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/text.h"

namespace {

constexpr size_t kMaxTicks = 10000;  // a guard against absurd ranges, far above any real axis

PlotFont DefaultFont() {
    PlotFont font;
    font.height = 12;
    font.weight = 400;
    font.charSet = FontCharSet::Default;
    SetFontFace(font, L"Arial");
    return font;
}

int32_t AtLeastOne(int32_t v) { return v == 0 ? 1 : v; }

int32_t WidestLabel(DrawSurface& dc, const std::vector<double>& ticks) {
    int32_t widest = 0;
    for (double v : ticks) widest = std::max(widest, dc.TextExtent(TickLabel(v)).cx);
    return widest;
}

// Resets the "range already computed" flags when a drawing pass ends, however it ends.
struct RangePass {
    PlotChart& chart;
    ~RangePass() { chart.xRangeDone = chart.yRangeDone = false; }
};

}  // namespace

TickStep NiceTickStep(double& min, double& max, int32_t length, double spacing, bool automatic, double offset) {
    TickStep t{1.0, min, max};
    const double raw = (max - min) * spacing / length;
    if (!(raw > 0.0) || !std::isfinite(raw)) return t;  // empty or broken range: nothing to divide
    const double e = std::floor(std::log10(raw));
    const double m = raw * std::pow(10.0, -e);
    const double mantissa = m > 7.5 ? 10.0 : m > 3.5 ? 5.0 : m > 2.6 ? 3.0 : m > 2.4 ? 2.5 : m > 1.5 ? 2.0 : 1.0;
    const double step = mantissa * std::pow(10.0, e);
    t.step = step;
    const bool movable = automatic && std::fabs(offset) < 1e-5;

    const double g = min + offset;
    const double kLow = std::floor(g / step);
    if (g - kLow * step < step / 2 && movable) {
        t.firstTick = kLow * step;
        min = std::floor(min / step) * step;
    } else {
        t.firstTick = std::ceil(g / step - 0.01) * step;
    }
    const double h = (max + offset) / step;
    const double kHigh = std::ceil(h);
    if (kHigh * step - max - offset < step / 2 && movable) {
        t.lastTick = kHigh * step;
        max = std::ceil(max / step) * step;
    } else {
        t.lastTick = std::floor(h + 0.01) * step;
    }
    return t;
}

std::vector<double> TickValues(double first, double last, double step) {
    std::vector<double> ticks;
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(first) || !std::isfinite(last)) return ticks;
    const double epsilon = std::pow(10.0, std::floor(std::log10(step)) - 3);
    for (double v = first; v < last + step / 2 && ticks.size() < kMaxTicks;) {
        ticks.push_back(v + 0.0);  // + 0.0 turns a negative zero into 0
        const double next = std::ceil((v + step) / epsilon - 0.5) * epsilon;
        if (!(next > v)) break;
        v = next;
    }
    return ticks;
}

std::wstring TickLabel(double value) { return FormatW(L"%.10g", value); }

PlotChart::PlotChart() {
    tickFont = DefaultFont();
    captionFont = DefaultFont();
    captionFont.outPrecision = 7;    // TrueType only
    captionFont.clipPrecision = 0;   // default clipping
    captionFont.quality = 2;         // proof quality
    captionFont.pitchAndFamily = 2;  // variable pitch
}

void PlotChart::SetXRange(double min, double max) {
    if (min >= max) {
        autoX = true;
        return;
    }
    autoX = false;
    if (flags & PlotFlags::LogX) {
        userXMin = std::log10(std::max(min, 0.0));
        userXMax = std::log10(max);
    } else {
        userXMin = min;
        userXMax = max;
    }
}

void PlotChart::SetYRange(double min, double max) {
    if (min >= max) {
        autoY = true;
        return;
    }
    autoY = false;
    if (flags & PlotFlags::LogY) {
        userYMin = std::log10(min);
        userYMax = std::log10(max);
    } else {
        userYMin = min;
        userYMax = max;
    }
}

int PlotChart::AddSeries() {
    series.emplace_back();
    return static_cast<int>(series.size()) - 1;
}

void PlotChart::AutomaticRange(bool xAxis) {
    const bool polar = (flags & PlotFlags::PolarCoordinates) != 0;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (PlotSeries& s : series) {
        if (s.marker == MarkerBands) continue;
        s.flags = flags;
        UpdateAccessors(s);
        for (int32_t i = 0; i < s.count; ++i) {
            const double x = s.GetX(s, i), y = s.GetY(s, i);
            const double v = xAxis ? (polar ? y * std::cos(x) : x) : (polar ? y * std::sin(x) : y);
            if (!std::isfinite(v)) continue;  // a value that cannot be shown takes no part
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (low > high) {
        low = high = 0.0;
    } else {
        const double resolution = std::pow(10.0, -(xAxis ? xDigits : yDigits));
        const double width = std::max(std::fabs(low), std::fabs(high)) * resolution;
        if (low == high) {
            low -= resolution / 2;
            high += resolution / 2;
        } else if (width > high - low) {
            const double centre = (low + high) / 2;
            low = centre - width / 2;
            high = centre + width / 2;
        }
    }
    (xAxis ? xMin : yMin) = low;
    (xAxis ? xMax : yMax) = high;
    (xAxis ? xRangeDone : yRangeDone) = true;
}

void PlotChart::UpdateRanges() {
    if (!autoX) {
        xMin = userXMin;
        xMax = userXMax;
    } else if (!xRangeDone) {
        AutomaticRange(true);
    }
    if (!autoY) {
        yMin = userYMin;
        yMax = userYMax;
    } else if (!yRangeDone) {
        AutomaticRange(false);
    }
}

int32_t PlotChart::UpdateXTicks(DrawSurface& dc, const PlotTextMetrics& tm, const PlotRect& rect) {
    const int32_t length = rect.right - rect.left;
    const int32_t average = std::max(1, tm.aveCharWidth);
    const double offset = panX == 0 || length < 2 ? 0.0 : (xMax - xMin) * panX / (length - 1);
    double spacing = 6.0 * average;
    double low = xMin, high = xMax;
    int32_t widest = 0;
    for (;;) {
        low = xMin;
        high = xMax;
        const TickStep t = NiceTickStep(low, high, length, spacing, autoX, offset);
        xStep = t.step;
        xFirstTick = t.firstTick;
        xLastTick = t.lastTick;
        widest = WidestLabel(dc, TickValues(xFirstTick, xLastTick, xStep));
        spacing += average;
        if (spacing >= length || widest + 3.0 * average <= length * xStep / (xMax - xMin)) break;
    }
    xMin = low;
    xMax = high;
    return widest;
}

int32_t PlotChart::UpdateYTicks(DrawSurface& dc, const PlotTextMetrics& tm, const PlotRect& rect) {
    const int32_t length = rect.bottom - rect.top;
    const double offset = panY == 0 || length < 2 ? 0.0 : (yMax - yMin) * panY / (length - 1);
    const TickStep t = NiceTickStep(yMin, yMax, length, 2.0 * std::max(1, tm.height), autoY, offset);
    yStep = t.step;
    yFirstTick = t.firstTick;
    yLastTick = t.lastTick;
    return WidestLabel(dc, TickValues(yFirstTick, yLastTick, yStep));
}

void PlotChart::Render(DrawSurface& target, const PlotRect& rect, bool useMemoryBitmap) {
    RangePass pass{*this};
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (!useMemoryBitmap) {
        Compose(target, rect);
        return;
    }
    if (width < 1 || height < 1) return;
    std::unique_ptr<DrawSurface> memory = target.CreateCompatible();
    if (memory == nullptr) {  // no memory surface to be had: draw straight into the target
        Compose(target, rect);
        return;
    }
    OwnedObject bitmap(target, target.CreateBitmap(width, height));
    if (bitmap.get() == 0) {
        memory.reset();
        Compose(target, rect);
        return;
    }
    bool drawn;
    {
        ObjectSelection selected(*memory, bitmap.get());
        drawn = Compose(*memory, PlotRect{0, 0, width, height});
        if (drawn) target.CopyFrom(rect.left, rect.top, width, height, *memory, 0, 0);
    }
    dc = &target;
}

bool PlotChart::Compose(DrawSurface& s, PlotRect r) {
    dc = &s;
    {
        OwnedObject brush(s, s.CreateBrush(background));
        s.FillRect(r, brush.get());
    }
    r.left += margin;
    r.bottom -= margin;

    int32_t xCaptionHeight = 0, yCaptionHeight = 0;
    {
        TextState text(s, captionColor, BackgroundMode::Transparent);
        if (!xCaption.empty()) {
            PlotFont font = captionFont;
            font.escapement = font.orientation = 0;
            OwnedObject object(s, s.CreateFontObject(font));
            ObjectSelection selected(s, object.get());
            s.SetTextAlign(TextAlign::Right | TextAlign::Bottom);
            s.DrawString(r.right - margin - 1, r.bottom, xCaption);
            xCaptionHeight = s.TextExtent(xCaption).cy;
        }
        if (!yCaption.empty()) {
            PlotFont font = captionFont;
            font.escapement = font.orientation = 900;  // reading upwards
            OwnedObject object(s, s.CreateFontObject(font));
            ObjectSelection selected(s, object.get());
            s.SetTextAlign(TextAlign::Right | TextAlign::Top);
            s.DrawString(r.left, r.top + margin + 1, yCaption);
            yCaptionHeight = s.TextExtent(yCaption).cy;
        }
    }
    r.bottom -= xCaptionHeight + captionGap;
    r.left += yCaptionHeight + captionGap;

    OwnedObject font(s, s.CreateFontObject(tickFont));
    PlotRect p = r;
    {
        ObjectSelection selected(s, font.get());
        const PlotTextMetrics tm = s.FontMetrics();
        tickIn = AtLeastOne(tm.height / 3);
        tickOut = AtLeastOne(tm.height / 6);
        labelGap = AtLeastOne(tm.height / 5);
        int32_t extra = (axisStyle & (AxisStyle::OppositeTicks | AxisStyle::ClosedFrame)) ? 1 : 0;
        if (axisStyle & AxisStyle::OppositeTicks) extra += tickOut;
        r.top += std::max(tm.ascent, extra);
        r.left += 1 + tickOut + labelGap;
        r.right -= extra;
        r.bottom -= 1 + tm.height + tickOut + labelGap;

        p = r;
        for (;;) {
            if (RectEmpty(p)) return false;
            UpdateRanges();
            const int32_t wx = UpdateXTicks(s, tm, p);
            const int32_t wy = UpdateYTicks(s, tm, p);
            PlotRect q = r;
            q.left = r.left + std::max(wy, wx / 2 - tickOut - labelGap);
            q.right = r.right - 1 - wx / 2;
            q = IntersectRects(q, p);
            if (q == p) break;
            p = q;
        }
    }
    DrawPlot(s, p);
    return true;
}

void PlotChart::DrawPlot(DrawSurface& s, const PlotRect& rect) {
    RangePass pass{*this};
    dc = &s;
    plotRect = rect;
    OwnedObject font(s, s.CreateFontObject(tickFont));
    ObjectSelection selectedFont(s, font.get());
    const PlotTextMetrics tm = s.FontMetrics();
    UpdateRanges();
    UpdateXTicks(s, tm, rect);
    UpdateYTicks(s, tm, rect);
    const std::vector<double> xTicks = xMax > xMin ? TickValues(xFirstTick, xLastTick, xStep) : std::vector<double>();
    const std::vector<double> yTicks = yMax > yMin ? TickValues(yFirstTick, yLastTick, yStep) : std::vector<double>();
    {
        OwnedObject pen(s, framePenWidth <= 1 ? s.CreatePen(PenStyle::Null, 1, 0)
                                              : s.CreatePen(PenStyle::Solid, framePenWidth, 0));
        OwnedObject brush(s, s.CreateBrush(plotBackground));
        ObjectSelection selectedPen(s, pen.get());
        ObjectSelection selectedBrush(s, brush.get());
        s.Rectangle(rect.left, rect.top, rect.right, rect.bottom);
    }
    DrawGrid(s, xTicks, yTicks);
    for (PlotSeries& one : series) {
        DrawSeries(s, one);
        if (one.marker == MarkerBands) DrawGrid(s, xTicks, yTicks);
    }
    DrawAxes(s, xTicks, yTicks);
}

void PlotChart::DrawGrid(DrawSurface& s, const std::vector<double>& xTicks, const std::vector<double>& yTicks) {
    const PlotRect& r = plotRect;
    const bool opposite = (axisStyle & AxisStyle::OppositeTicks) != 0;
    OwnedObject pen(s, s.CreatePen(PenStyle::Solid, 0, gridColor));
    ObjectSelection selected(s, pen.get());
    if (axisStyle & AxisStyle::GridX) {
        for (double v : xTicks) {
            const int32_t x = MapX(*this, v, 0.0);
            s.MoveTo(x, r.top + (opposite ? tickIn : 0));
            s.LineTo(x, r.bottom - tickIn);
        }
    }
    if (axisStyle & AxisStyle::GridY) {
        for (double v : yTicks) {
            const int32_t y = MapY(*this, 0.0, v);
            s.MoveTo(r.right - 1 - (opposite ? tickIn : 0), y);
            s.LineTo(r.left - 1 + tickIn, y);
        }
    }
}

void PlotChart::DrawAxes(DrawSurface& s, const std::vector<double>& xTicks, const std::vector<double>& yTicks) {
    const PlotRect& r = plotRect;
    const bool opposite = (axisStyle & AxisStyle::OppositeTicks) != 0;
    s.MoveTo(r.left - 1, r.top - 1);
    s.LineTo(r.left - 1, r.bottom);
    s.LineTo(r.right, r.bottom);
    if (axisStyle & (AxisStyle::ClosedFrame | AxisStyle::OppositeTicks)) {
        s.LineTo(r.right, r.top - 1);
        s.LineTo(r.left - 1, r.top - 1);
    }
    OwnedObject pen(s, s.CreatePen(PenStyle::Solid, framePenWidth, axisColor));
    ObjectSelection selected(s, pen.get());
    TextState text(s, axisColor, BackgroundMode::Transparent);
    s.SetTextAlign(TextAlign::Center | TextAlign::Top);
    for (double v : xTicks) {
        const int32_t x = MapX(*this, v, 0.0);
        if (opposite) {
            s.MoveTo(x, r.top - tickOut - 1);
            s.LineTo(x, r.top + tickIn);
        }
        s.MoveTo(x, r.bottom - tickIn);
        s.LineTo(x, r.bottom + 1 + tickOut);
        s.DrawString(x, r.bottom + 1 + tickOut + labelGap, TickLabel(v));
    }
    s.SetTextAlign(TextAlign::Right | TextAlign::Baseline);
    for (double v : yTicks) {
        const int32_t y = MapY(*this, 0.0, v);
        if (opposite) {
            s.MoveTo(r.right + tickOut, y);
            s.LineTo(r.right - tickIn - 1, y);
        }
        s.MoveTo(r.left + tickIn - 1, y);
        s.LineTo(r.left - tickOut - 2, y);
        s.DrawString(r.left - tickOut - labelGap - 1, y, TickLabel(v));
    }
}
