// Plot engine: automatic ranges, tick steps, tick values and labels, mapping.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "plot/plot_chart.h"

namespace {

// A chart holding one series over the given X values (Y = X).
struct OneSeriesChart {
    std::vector<float> values;
    PlotChart chart;
    explicit OneSeriesChart(std::vector<float> v) : values(std::move(v)) {
        PlotSeries& s = chart.Series(chart.AddSeries());
        s.count = static_cast<int32_t>(values.size());
        s.xData = s.yData = values.data();
        UpdateAccessors(s);
    }
};

TEST(PlotRanges, AutomaticRangeWidensEmptyAndNarrowRanges) {
    struct Case {
        std::vector<float> values;
        double min, max;
    } cases[] = {
        {{10.0f, 10.0f, 10.0f}, 9.9995, 10.0005},        // all equal: ± half the resolution
        {{1000.0f, 1000.5f}, 999.74975, 1000.75025},     // narrower than 1000.5·10^-3: centred widening
        {{2.0f, 5.0f, 3.0f}, 2.0, 5.0},                  // wide enough: kept
        {{}, 0.0, 0.0},                                  // no values
    };
    for (const Case& c : cases) {
        OneSeriesChart one(c.values);
        one.chart.UpdateRanges();
        EXPECT_NEAR(one.chart.xMin, c.min, 1e-9) << c.values.size();
        EXPECT_NEAR(one.chart.xMax, c.max, 1e-9) << c.values.size();
        EXPECT_TRUE(one.chart.xRangeDone);
    }
}

TEST(PlotRanges, BandsTakeNoPartAndFixedRangesAreCopied) {
    OneSeriesChart one({1.0f, 2.0f});
    const std::vector<float> far = {-100.0f, 100.0f};
    PlotSeries& bands = one.chart.Series(one.chart.AddSeries());
    bands.marker = MarkerBands;
    bands.count = 2;
    bands.xData = bands.yData = far.data();
    UpdateAccessors(bands);
    one.chart.SetYRange(-3.0, 7.0);
    one.chart.UpdateRanges();
    EXPECT_DOUBLE_EQ(one.chart.xMin, 1.0);
    EXPECT_DOUBLE_EQ(one.chart.xMax, 2.0);
    EXPECT_DOUBLE_EQ(one.chart.yMin, -3.0);
    EXPECT_DOUBLE_EQ(one.chart.yMax, 7.0);
    one.chart.SetYRange(5.0, 5.0);  // not a range: back to automatic
    EXPECT_TRUE(one.chart.autoY);
}

TEST(PlotRanges, LogarithmicRangesAreStoredInDecades) {
    PlotChart chart;
    chart.flags = PlotFlags::LogX | PlotFlags::LogY;
    chart.SetXRange(10.0, 1000.0);
    chart.SetYRange(0.01, 100.0);
    EXPECT_DOUBLE_EQ(chart.userXMin, 1.0);
    EXPECT_DOUBLE_EQ(chart.userXMax, 3.0);
    EXPECT_DOUBLE_EQ(chart.userYMin, -2.0);
    EXPECT_DOUBLE_EQ(chart.userYMax, 2.0);
}

TEST(PlotTicks, StepIsChosenFromTheNiceFamily) {
    // length 100 and spacing 100 make the raw step the width of the range.
    struct Case {
        double raw, step;
    } cases[] = {{0.27, 0.3}, {0.25, 0.25}, {0.16, 0.2}, {0.8, 1.0}, {0.12, 0.1},
                 {4.0, 5.0}, {2.45, 2.5}, {7.6, 10.0}, {3000.0, 3000.0}};
    for (const Case& c : cases) {
        double min = 0.0, max = c.raw;
        EXPECT_NEAR(NiceTickStep(min, max, 100, 100.0, false, 0.0).step, c.step, c.step * 1e-12) << c.raw;
    }
}

TEST(PlotTicks, AutomaticEndsMoveOntoNearbyTicksFixedEndsStay) {
    // Range width 0.89 over 100 pixels with 20-pixel spacing: raw 0.178, step 0.2.
    struct Case {
        double min, max;
        bool automatic;
        double newMin, newMax, first, last;
    } cases[] = {
        {0.07, 0.96, true, 0.0, 1.0, 0.0, 1.0},     // both ends within half a step of a tick
        {0.07, 0.96, false, 0.07, 0.96, 0.2, 0.8},  // fixed: bounds kept, ticks inside
        {0.13, 1.02, true, 0.13, 1.02, 0.2, 1.0},   // 0.13 is 0.13 above 0: not moved
    };
    for (const Case& c : cases) {
        double min = c.min, max = c.max;
        const TickStep t = NiceTickStep(min, max, 100, 20.0, c.automatic, 0.0);
        EXPECT_NEAR(t.step, 0.2, 1e-12);
        EXPECT_NEAR(min, c.newMin, 1e-12) << c.min << " auto " << c.automatic;
        EXPECT_NEAR(max, c.newMax, 1e-12) << c.max << " auto " << c.automatic;
        EXPECT_NEAR(t.firstTick, c.first, 1e-12);
        EXPECT_NEAR(t.lastTick, c.last, 1e-12);
    }
}

TEST(PlotTicks, EmptyRangeGivesNoTicks) {
    double min = 3.0, max = 3.0;
    const TickStep t = NiceTickStep(min, max, 100, 20.0, true, 0.0);
    EXPECT_EQ(min, 3.0);
    EXPECT_EQ(max, 3.0);
    EXPECT_DOUBLE_EQ(t.step, 1.0);
    EXPECT_TRUE(TickValues(0.0, 1.0, 0.0).empty());
}

TEST(PlotTicks, ValuesCarryNoRoundingAndLabelsAreShort) {
    const std::vector<double> ticks = TickValues(-0.3, 0.9, 0.1);
    ASSERT_EQ(ticks.size(), 13u);
    std::vector<std::wstring> labels;
    for (double v : ticks) labels.push_back(TickLabel(v));
    EXPECT_EQ(labels.front(), L"-0.3");
    EXPECT_EQ(labels[3], L"0");  // never "-0"
    EXPECT_EQ(labels[6], L"0.3");
    EXPECT_EQ(labels.back(), L"0.9");
    EXPECT_EQ(TickLabel(999.74975), L"999.74975");
    EXPECT_EQ(TickLabel(1.0e12), L"1e+12");
    EXPECT_EQ(TickValues(0.0, 1.0, 0.25).size(), 5u);
}

TEST(PlotMapping, CartesianAndPolarPixels) {
    PlotArea area;
    area.plotRect = {10, 20, 111, 121};
    area.xMin = 0.0;
    area.xMax = 100.0;
    area.yMin = 0.0;
    area.yMax = 100.0;
    struct Case {
        PlotMapping mapX, mapY;
        double a, b;
        int32_t x, y;
    } cases[] = {
        {CartesianMapX, CartesianMapY, 0.0, 0.0, 10, 120},   // lower left corner of the area
        {CartesianMapX, CartesianMapY, 100.0, 100.0, 110, 20},
        {CartesianMapX, CartesianMapY, 50.0, 25.0, 60, 95},
        {PolarMapX, PolarMapY, 0.0, 40.0, 50, 120},           // angle 0, radius 40
        {PolarMapX, PolarMapY, std::acos(-1.0) / 2, 40.0, 10, 80},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.mapX(area, c.a, c.b), c.x) << c.a << "," << c.b;
        EXPECT_EQ(c.mapY(area, c.a, c.b), c.y) << c.a << "," << c.b;
    }
    area.xMax = area.xMin;  // an empty range maps to pixel 0
    EXPECT_EQ(CartesianMapX(area, 50.0, 0.0), 0);
    area.xMax = 100.0;
    // Values that cannot be shown land far outside, never anywhere undefined.
    EXPECT_LT(CartesianMapX(area, NAN, 0.0), -1000000);
    EXPECT_GT(CartesianMapX(area, 1e300, 0.0), 1000000);
}

TEST(PlotMapping, AccessorsReadDataOrGenerateAndTakeLogarithms) {
    const float x[] = {10.0f, 100.0f};
    PlotSeries s;
    s.count = 2;
    s.yOrigin = 5.0;
    s.yIncrement = 0.5;
    s.xData = x;
    UpdateAccessors(s);
    EXPECT_DOUBLE_EQ(s.GetX(s, 1), 100.0);
    EXPECT_DOUBLE_EQ(s.GetY(s, 1), 5.5);
    s.flags = PlotFlags::LogX;
    UpdateAccessors(s);
    EXPECT_DOUBLE_EQ(s.GetX(s, 1), 2.0);
    EXPECT_DOUBLE_EQ(s.GetY(s, 1), 5.5);
}

}  // namespace
