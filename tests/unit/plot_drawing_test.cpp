// Plot engine on the recording surface: markers, lines and clipping, bands,
// layout, and the release of every drawing object.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/text.h"

#include "plot/plot_chart.h"
#include "plot/recording_surface.h"

namespace {

constexpr PlotColor kSeriesColor = 0x123456;

// A chart with fixed ranges 0..100 on both axes drawn into (10, 10, 111, 111):
// value v maps to column 10 + v and row 110 - v.
class PlotDrawing : public ::testing::Test {
protected:
    PlotSeries& Add(std::vector<float> x, std::vector<float> y, int32_t marker, int32_t line) {
        xs.push_back(std::move(x));
        ys.push_back(std::move(y));
        PlotSeries& s = chart.Series(chart.AddSeries());
        s.color = kSeriesColor;
        s.marker = marker;
        s.line = line;
        s.count = static_cast<int32_t>(xs.back().size());
        s.xData = xs.back().data();
        s.yData = ys.back().data();
        UpdateAccessors(s);
        return s;
    }
    void Draw() {
        chart.SetXRange(0.0, 100.0);
        chart.SetYRange(0.0, 100.0);
        chart.DrawPlot(surface, {10, 10, 111, 111});
    }
    std::vector<RecordedOp> SeriesOps(RecordedOp::Kind kind) const {
        std::vector<RecordedOp> found;
        for (const RecordedOp& op : surface.Ops(kind))
            if (op.penColor == kSeriesColor && op.penStyle == PenStyle::Solid) found.push_back(op);
        return found;
    }

    std::vector<std::vector<float>> xs, ys;  // reserved below so that the series' pointers stay put
    PlotChart chart;
    RecordingSurface surface;

    void SetUp() override {
        xs.reserve(8);
        ys.reserve(8);
    }
};

TEST_F(PlotDrawing, MarkersAreDrawnOnlyForPixelsInsideTheArea) {
    // (101, 50) maps to column 111, the right edge, which PtInRect excludes; likewise row 111.
    Add({0, 100, 101, 50, -1}, {0, 100, 50, -1, 50}, MarkerCircle, LineNone);
    Draw();
    const std::vector<RecordedOp> circles = SeriesOps(RecordedOp::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ((std::vector<int32_t>{circles[0].a, circles[0].b, circles[0].c, circles[0].d}),
              (std::vector<int32_t>{6, 106, 15, 115}));
    EXPECT_EQ((std::vector<int32_t>{circles[1].a, circles[1].b, circles[1].c, circles[1].d}),
              (std::vector<int32_t>{106, 6, 115, 15}));
    EXPECT_FALSE(circles[0].hollow);  // the first series fills with the surface's own brush
}

TEST_F(PlotDrawing, PolylineClipsSegmentsAndMarksWidePoints) {
    struct Segment {
        int32_t x0, y0, x1, y1;
    };
    struct Case {
        const char* what;
        std::vector<float> x, y;
        std::vector<Segment> segments;
        size_t dots;
    } cases[] = {
        {"coinciding pixels draw nothing", {50, 50.2f}, {50, 50.1f}, {}, 0},
        {"points 20 px apart get 5x5 dots", {0, 20, 40}, {50, 50, 50}, {{10, 60, 30, 60}, {30, 60, 50, 60}}, 2},
        {"points 10 px apart get none", {0, 10, 20}, {50, 50, 50}, {{10, 60, 20, 60}, {20, 60, 30, 60}}, 0},
        {"both ends outside: not drawn though it crosses", {-10, 110}, {50, 50}, {}, 0},
        {"inside to outside stops at the edge", {50, 150}, {50, 50}, {{60, 60, 110, 60}}, 1},
        {"outside to inside starts at the edge", {150, 50}, {50, 50}, {{110, 60, 60, 60}}, 1},
        {"diagonal leaving through the top", {50, 70}, {90, 110}, {{60, 20, 70, 10}}, 0},
    };
    for (const Case& c : cases) {
        chart.series.clear();
        surface.ClearOps();
        Add(c.x, c.y, MarkerNone, LinePolyline);
        Draw();
        const std::vector<RecordedOp> lines = SeriesOps(RecordedOp::LineTo);
        ASSERT_EQ(lines.size(), c.segments.size()) << c.what;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].a, c.segments[i].x0) << c.what;
            EXPECT_EQ(lines[i].b, c.segments[i].y0) << c.what;
            EXPECT_EQ(lines[i].c, c.segments[i].x1) << c.what;
            EXPECT_EQ(lines[i].d, c.segments[i].y1) << c.what;
        }
        const std::vector<RecordedOp> dots = SeriesOps(RecordedOp::Ellipse);
        ASSERT_EQ(dots.size(), c.dots) << c.what;
        for (size_t i = 0; i < dots.size(); ++i) {
            EXPECT_EQ(dots[i].c - dots[i].a, 5) << c.what;
            EXPECT_EQ(dots[i].a + 2, c.segments[i].x1) << c.what;
            EXPECT_EQ(dots[i].b + 2, c.segments[i].y1) << c.what;
        }
    }
}

TEST_F(PlotDrawing, SmoothCurvePassesThroughThePointsWithoutOvershoot) {
    PlotSeries& s = Add({0, 50, 100}, {0, 100, 0}, MarkerNone, LineSmooth);
    s.curveSteps = 10;
    Draw();
    const std::vector<RecordedOp> lines = SeriesOps(RecordedOp::LineTo);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[9].c, 60);
    EXPECT_EQ(lines[9].d, 10);  // the peak at (50, 100)
    EXPECT_EQ(lines.back().c, 110);
    for (const RecordedOp& op : lines) EXPECT_GE(op.d, 10);
}

TEST_F(PlotDrawing, BandsAreFilledByClassWithTheirOverlap) {
    const int32_t classes[] = {0, 1, 0};
    PlotSeries& s = Add({10, 30, 200}, {40, 60, 300}, MarkerBands, LineNone);
    s.bandClass = classes;
    Draw();
    struct Fill {
        int32_t left, right;
        PlotColor brush;
    } expected[] = {{20, 50, 0xFFFFC2}, {40, 70, 0xA2FFFF}, {40, 50, 0xC5C5FF}};
    std::vector<RecordedOp> fills;
    for (const RecordedOp& op : surface.Ops(RecordedOp::Rectangle))
        if (op.b == 112) fills.push_back(op);  // bands run from bottom + 1 to top
    ASSERT_EQ(fills.size(), 3u);
    for (size_t i = 0; i < fills.size(); ++i) {
        EXPECT_EQ(fills[i].a, expected[i].left);
        EXPECT_EQ(fills[i].c, expected[i].right);
        EXPECT_EQ(fills[i].d, 10);
        EXPECT_EQ(fills[i].brushColor, expected[i].brush);
        EXPECT_EQ(fills[i].penStyle, PenStyle::Null);
    }
}

TEST_F(PlotDrawing, ArrowMarkerPointsAtTheLinkedSeries) {
    Add({50}, {80}, MarkerNone, LineNone);
    PlotSeries& arrow = Add({50}, {20}, MarkerArrow, LineNone);
    arrow.linked = &chart.series[0];
    Draw();
    const std::vector<RecordedOp> lines = SeriesOps(RecordedOp::LineTo);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ((std::vector<int32_t>{lines[0].a, lines[0].b, lines[0].c, lines[0].d}),
              (std::vector<int32_t>{60, 86, 60, 30}));
    EXPECT_EQ((std::vector<int32_t>{lines[1].c, lines[1].d, lines[2].c, lines[2].d}),
              (std::vector<int32_t>{58, 42, 62, 42}));
}

TEST(PlotLayout, EmptyCaptionStillReservesItsGap) {
    struct Case {
        const wchar_t* caption;
        int32_t gap, bottom;
    } cases[] = {{L"", 2, 280}, {L"", 7, 275}, {L"Концентрация", 2, 268}};
    for (const Case& c : cases) {
        PlotChart chart;
        chart.xCaption = c.caption;
        chart.captionGap = c.gap;
        chart.SetXRange(0.0, 1.0);
        chart.SetYRange(0.0, 1.0);
        RecordingSurface surface;
        chart.Render(surface, {0, 0, 400, 300}, false);
        // 300 - margin 1 - caption - gap - (1 + tick font 12 + tick out 2 + label gap 2)
        EXPECT_EQ(chart.plotRect.bottom, c.bottom) << c.gap;
    }
}

TEST(PlotLayout, TickLabelsFitTheDrawingAndDoNotCollide) {
    struct Case {
        double min, max;
        bool automatic;
    } cases[] = {{0.0, 1.0, false}, {0.0, 1.0e6, false}, {999.5, 1000.5, true}, {-5e-4, 5e-4, true},
                 {-123456.0, 987654.0, true}};
    for (const Case& c : cases) {
        const std::vector<float> values = {static_cast<float>(c.min), static_cast<float>(c.max)};
        PlotChart chart;
        chart.yCaption = L"Площадь";
        PlotSeries& s = chart.Series(chart.AddSeries());
        s.count = 2;
        s.xData = s.yData = values.data();
        UpdateAccessors(s);
        if (!c.automatic) {
            chart.SetXRange(c.min, c.max);
            chart.SetYRange(c.min, c.max);
        }
        RecordingSurface surface;
        const PlotRect rect{0, 0, 300, 200};
        chart.Render(surface, rect, false);
        std::vector<RecordedOp> xLabels, yLabels;
        for (const RecordedOp& op : surface.Ops(RecordedOp::Text)) {
            if (op.align == (TextAlign::Center | TextAlign::Top)) xLabels.push_back(op);
            if (op.align == (TextAlign::Right | TextAlign::Baseline)) yLabels.push_back(op);
        }
        ASSERT_GE(xLabels.size(), 2u) << c.max;
        ASSERT_GE(yLabels.size(), 2u) << c.max;
        // Tick labels are 12 pixels high, 6 wide per character, ascent 10.
        const auto width = [](const std::wstring& text) { return static_cast<int32_t>(text.size()) * 6; };
        int32_t widest = 0;
        for (const RecordedOp& op : xLabels) {
            const int32_t w = width(op.text);
            widest = std::max(widest, w);
            EXPECT_GE(op.a - w / 2, rect.left) << c.max << " " << Utf8FromWide(op.text);
            EXPECT_LE(op.a + (w + 1) / 2, rect.right) << c.max << " " << Utf8FromWide(op.text);
        }
        for (size_t i = 1; i < xLabels.size(); ++i) EXPECT_GT(xLabels[i].a - xLabels[i - 1].a, widest) << c.max;
        for (const RecordedOp& op : yLabels) {
            EXPECT_GE(op.a - width(op.text), rect.left + 12) << c.max;  // clear of the caption
            EXPECT_GE(op.b - 10, rect.top) << c.max;
        }
        for (size_t i = 1; i < yLabels.size(); ++i) EXPECT_GE(yLabels[i - 1].b - yLabels[i].b, 12) << c.max;
    }
}

TEST(PlotResources, EveryObjectIsReleasedAndTheSelectionRestored) {
    const std::vector<float> x = {1, 2, 3, 4}, y = {2, 5, 3, 6};
    const int32_t classes[] = {0, 1, 2, 0};
    struct Case {
        bool memory;
        PlotRect rect;
        bool drawn;
    } cases[] = {{false, {5, 5, 405, 305}, true}, {true, {5, 5, 405, 305}, true}, {true, {0, 0, 30, 20}, false},
                 {false, {0, 0, 30, 20}, false}};
    for (const Case& c : cases) {
        PlotChart chart;
        chart.xCaption = L"Концентрация, моль%";
        chart.yCaption = L"Площадь";
        chart.axisStyle |= AxisStyle::OppositeTicks;
        for (int32_t marker = MarkerNone; marker <= MarkerBands; ++marker) {
            PlotSeries& s = chart.Series(chart.AddSeries());
            s.marker = marker;
            s.line = marker % 3;
            s.count = 4;
            s.xData = x.data();
            s.yData = y.data();
            s.bandClass = classes;
            UpdateAccessors(s);
        }
        chart.series[MarkerArrow].linked = &chart.series[0];
        RecordingSurface surface;
        const DrawObject pen = surface.SelectedPen(), brush = surface.SelectedBrush(), font = surface.SelectedFont();
        surface.SetTextColor(0x0000FF);
        surface.SetTextAlign(TextAlign::Baseline);
        chart.Render(surface, c.rect, c.memory);

        EXPECT_GT(surface.ObjectsCreated(), 0);
        EXPECT_EQ(surface.LiveObjects(), 0) << c.memory;
        EXPECT_EQ(surface.LiveSurfaces(), 0);
        EXPECT_EQ(surface.Faults(), 0);
        EXPECT_EQ(surface.SelectedPen(), pen);
        EXPECT_EQ(surface.SelectedFont(), font);
        // Straight drawing leaves the null brush of the last series selected.
        const bool nullBrushLeft = !c.memory && c.drawn;
        EXPECT_EQ(surface.SelectedBrush(), nullBrushLeft ? surface.Stock(StockObject::NullBrush) : brush);
        EXPECT_EQ(surface.TextColor(), 0x0000FFu);
        EXPECT_EQ(surface.TextAlignment(), TextAlign::Baseline);
        EXPECT_EQ(surface.BackgroundMode(), BackgroundMode::Opaque);

        size_t onTarget = 0;
        for (const RecordedOp& op : surface.Ops()) onTarget += op.surface == 0 ? 1 : 0;
        const std::vector<RecordedOp> copies = surface.Ops(RecordedOp::Copy);
        if (c.memory) {
            // Nothing but the one copy reaches the target, and only when the chart was drawn.
            EXPECT_EQ(onTarget, copies.size());
            ASSERT_EQ(copies.size(), c.drawn ? 1u : 0u);
            if (c.drawn)
                EXPECT_EQ((std::vector<int32_t>{copies[0].a, copies[0].b, copies[0].c, copies[0].d}),
                          (std::vector<int32_t>{5, 5, 400, 300}));
        } else {
            EXPECT_TRUE(copies.empty());
            EXPECT_EQ(surface.Ops(RecordedOp::LineTo).empty(), !c.drawn);
        }
    }
}

}  // namespace
