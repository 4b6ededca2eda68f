// The calibration graph set-up shared by the graph page, the report picture and
// the PNG rendering.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plot/graph_chart.h"

namespace {

TEST(PlotGraph, OnlyLevelsWithBothValuesArePlotted) {
    const double none = std::numeric_limits<double>::lowest();  // a value that was not computed
    GraphPoints points;
    struct Case {
        double concentration, area;
        bool plotted;
    } cases[] = {{1.0, 100.0, true}, {none, 150.0, false}, {2.0, none, false}, {NAN, 1.0, false}, {4.0, 390.0, true}};
    for (const Case& c : cases) EXPECT_EQ(points.Add(c.concentration, c.area), c.plotted) << c.concentration;
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points.x[1], 4.0f);
    EXPECT_DOUBLE_EQ(points.xMin, 1.0);
    EXPECT_DOUBLE_EQ(points.xMax, 4.0);
    EXPECT_DOUBLE_EQ(points.yMin, 100.0);
    EXPECT_DOUBLE_EQ(points.yMax, 390.0);
}

TEST(PlotGraph, PageChartRangesFollowThePoints) {
    PlotChart chart;
    SetupPageChart(chart);
    EXPECT_EQ(chart.xCaption, L"Концентрация, моль%");
    EXPECT_EQ(chart.yCaption, L"Площадь");
    EXPECT_EQ(chart.captionFont.height, 16);
    EXPECT_EQ(chart.captionFont.charSet, FontCharSet::Russian);

    GraphPoints points;
    points.Add(2.0, 100.0);
    points.Add(2.0, 300.0);  // equal concentrations: the X axis becomes automatic
    ShowPointsOnPageChart(chart, points);
    ASSERT_EQ(chart.series.size(), 1u);
    EXPECT_EQ(chart.series[0].color, 0x737FFFu);
    EXPECT_EQ(chart.series[0].count, 2);
    EXPECT_TRUE(chart.autoX);
    EXPECT_FALSE(chart.autoY);
    EXPECT_DOUBLE_EQ(chart.userYMin, 80.0);
    EXPECT_DOUBLE_EQ(chart.userYMax, 320.0);
    chart.UpdateRanges();
    EXPECT_NEAR((chart.xMin + chart.xMax) / 2, 2.0, 1e-12);

    ShowPointsOnPageChart(chart, GraphPoints());  // nothing to show: an empty chart from 0 to 1
    EXPECT_TRUE(chart.series.empty());
    EXPECT_FALSE(chart.autoX || chart.autoY);
    EXPECT_EQ(chart.userXMax, 1.0);
    EXPECT_EQ(chart.userYMin, 0.0);
}

TEST(PlotGraph, ReportChartAndStraightLine) {
    GraphPoints points;
    points.Add(1.0, 10.0);
    points.Add(11.0, 110.0);
    PlotChart chart;
    SetupReportChart(chart, points);
    EXPECT_EQ(chart.tickFont.height, 25);
    EXPECT_EQ(chart.framePenWidth, 2);
    EXPECT_EQ(chart.series[0].markerSize, 3);
    EXPECT_DOUBLE_EQ(chart.userXMin, 1.0 - 0.7);
    EXPECT_DOUBLE_EQ(chart.userYMax, 110.0 + 7.0);
    const int line = AddStraightLine(chart, 10.0, 0.5, 0.0, 20.0, 0x0000FF, 2);
    const PlotSeries& s = chart.series[static_cast<size_t>(line)];
    EXPECT_DOUBLE_EQ(s.GetX(s, 1), 20.0);
    EXPECT_DOUBLE_EQ(s.GetY(s, 0), 0.5);
    EXPECT_DOUBLE_EQ(s.GetY(s, 1), 200.5);
}

}  // namespace
