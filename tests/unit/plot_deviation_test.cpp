// The graph page's two charts beyond the points: the fitted calibration line
// (where it runs, under the points, only with a line) and the deviation chart
// (which levels it draws, which it marks as outside their norm, where).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "plot/deviation_chart.h"
#include "plot/graph_chart.h"
#include "plot/graph_page_model.h"
#include "plot/recording_surface.h"

namespace {

CalcLevel Level(double conc, double calcConc, double devNorm) {
    CalcLevel level;
    level.conc = conc;
    level.calcConc = calcConc;
    level.meanArea = 100.0 * (HasValue(calcConc) ? calcConc : conc);
    if (HasValue(calcConc)) level.relDev = std::fabs(conc - calcConc) / std::fabs(calcConc) * 100.0;
    level.devNorm = devNorm;
    level.devOk = HasValue(devNorm) && devNorm >= level.relDev;
    return level;
}

// A = 100·x with norms of 2 %: the third level reads 3 % low and is the only
// one outside; the second reads a little high; the sixth has no norm (its
// concentration beyond the table) and the seventh no back-calculated value.
std::unique_ptr<CalcComponent> OneLevelOutside() {
    auto c = std::make_unique<CalcComponent>();
    c->name = L"Этан";
    c->channel = 0;
    c->slope = 100.0;
    c->intercept = 0.0;
    c->levels = {Level(1, 1, 2), Level(2, 2.01, 2), Level(3, 3 / 1.03, 2), Level(4, 4, 2),
                 Level(5, 5, 2), Level(6, 6, NoValue), Level(7, NoValue, 2)};
    return c;
}

TEST(DeviationPoints, MarksExactlyTheLevelsOutsideTheirNorm) {
    const auto component = OneLevelOutside();
    const DeviationPoints p = DeviationPointsOf(*component);
    ASSERT_EQ(p.outside, std::vector<size_t>{2});
    ASSERT_EQ(p.outX.size(), 1u);
    EXPECT_FLOAT_EQ(p.outX[0], 3.0f);
    EXPECT_NEAR(p.outY[0], -3.0, 1e-5);  // back-calculated below certified: below zero
    EXPECT_EQ(p.x, (std::vector<float>{1, 2, 4, 5, 6}));
    EXPECT_GT(p.y[1], 0.0f);  // read high: above zero
    // Whiskers of ±2 % for the five levels with a norm, none for the sixth.
    ASSERT_EQ(p.normX.size(), 10u);
    EXPECT_EQ(p.normY[4], -2.0f);
    EXPECT_EQ(p.normY[5], 2.0f);
    EXPECT_EQ(p.normX[9], 5.0f);
    EXPECT_DOUBLE_EQ(p.xMin, 1.0);
    EXPECT_DOUBLE_EQ(p.xMax, 6.0);
    EXPECT_NEAR(p.yLimit, 3.0, 1e-9);

    component->slope = NoValue;  // no line: no deviations
    EXPECT_EQ(DeviationPointsOf(*component).size(), 0u);
}

// Drawn on the recording surface, as the page and as the report picture: one
// square in the "outside" colour, where the third level maps, and a circle
// for each of the other five levels.
TEST(DeviationPoints, TheChartMarksTheLevelOutsideWhereItMaps) {
    LinearityCalc::Components components;
    components.push_back(OneLevelOutside());
    GraphPageModel model;
    model.SetComponents(&components);
    model.Show(0);
    model.SetView(GraphView::Deviations);
    struct Case {
        const char* name;
        bool report;
        DeviationStyle style;
    } cases[] = {{"page", false, kPageDeviationStyle}, {"report", true, kReportDeviationStyle}};
    for (const Case& c : cases) {
        RecordingSurface surface;
        PlotChart reportChart;
        model.DeviationReportChart(reportChart);
        PlotChart& chart = c.report ? reportChart : model.Chart();
        chart.Render(surface, PlotRect{0, 0, 600, 400}, false);
        std::vector<PlotPoint> squares;
        for (const RecordedOp& op : surface.Ops(RecordedOp::Rectangle))
            if (op.penColor == c.style.outside) squares.push_back({(op.a + op.c - 1) / 2, (op.b + op.d - 1) / 2});
        ASSERT_EQ(squares.size(), 1u) << c.name;
        EXPECT_EQ(squares[0].x, CartesianMapX(chart, 3.0, 0.0)) << c.name;
        EXPECT_EQ(squares[0].y, CartesianMapY(chart, 0.0, -3.0f)) << c.name;
        int circles = 0;
        for (const RecordedOp& op : surface.Ops(RecordedOp::Ellipse))
            circles += op.penColor == c.style.inside && op.c - op.a == 2 * c.style.markerSize + 1;
        EXPECT_EQ(circles, 5) << c.name;
        EXPECT_EQ(surface.LiveObjects(), 0);
        EXPECT_EQ(surface.Faults(), 0);
    }
    EXPECT_EQ(model.ExportDeviationPicture(*std::make_unique<RecordingSurface>(), 3), GraphPageModel::kNoComponent);
}

TEST(CalibrationLine, PartInsideTheBox) {
    struct Case {
        double slope, intercept, x0, x1;
        bool inside;
        double from, to;
    } cases[] = {
        {2.0, 1.0, 0.0, 10.0, true, 0.0, 9.5},     // leaves at the top: 2·9.5 + 1 = 20
        {-2.0, 21.0, 0.0, 10.0, true, 0.5, 10.0},  // falling: enters at the top
        {0.0, 5.0, 0.0, 10.0, true, 0.0, 10.0},    // level, inside
        {0.0, 25.0, 0.0, 10.0, false, 0, 0},       // level, above
        {1.0, 100.0, 0.0, 10.0, false, 0, 0},      // passes above the box
        {NoValue, 0.0, 0.0, 10.0, false, 0, 0},    // no line
        {NAN, 0.0, 0.0, 10.0, false, 0, 0},
        {1.0, INFINITY, 0.0, 10.0, false, 0, 0},
    };
    for (const Case& c : cases) {
        double x0 = c.x0, x1 = c.x1;
        ASSERT_EQ(LineInsideBox(GraphLine{c.slope, c.intercept}, x0, x1, 0.0, 20.0), c.inside) << c.slope;
        if (!c.inside) continue;
        EXPECT_DOUBLE_EQ(x0, c.from);
        EXPECT_DOUBLE_EQ(x1, c.to);
    }
}

// The page and the report picture of a refitted component (A = 2·x + 30 from
// 40 to 99 mol%): the line is the first series, runs along A = 2·x + 30 within
// the chart's ranges in short pieces, and is drawn before the points; without
// a slope there is no line.
TEST(CalibrationLine, UnderThePointsOnThePageAndTheReportPicture) {
    auto refit = std::make_unique<CalcComponent>();
    refit->name = L"Метан";
    refit->slope = 2.0;
    refit->intercept = 30.0;
    for (double x : {40.0, 55.0, 70.0, 85.0, 99.0}) {
        refit->levels.push_back(Level(x, x, 0.2));
        refit->levels.back().meanArea = 2.0 * x + 30.0;
    }
    refit->levels[2].meanArea += 3.0;  // off the line a little
    LinearityCalc::Components components;
    components.push_back(std::move(refit));
    GraphPageModel model;
    model.SetComponents(&components);
    model.Show(0);
    PlotChart report;
    model.ReportChart(report);
    struct Case {
        PlotChart* chart;
        PlotColor line, points;
    } cases[] = {{&model.Chart(), kPageLineColor, 0x737FFF}, {&report, kReportLineColor, 0x000000}};
    for (const Case& c : cases) {
        PlotChart& chart = *c.chart;
        ASSERT_EQ(chart.series.size(), 2u);
        const PlotSeries& line = chart.series[0];
        EXPECT_EQ(line.color, c.line);
        EXPECT_EQ(line.penWidth, 1);
        EXPECT_EQ(line.marker, MarkerNone);
        EXPECT_EQ(line.count, kLineSteps + 1);
        for (int32_t i : {0, kLineSteps / 2, kLineSteps}) {
            const double x = line.GetX(line, i), y = line.GetY(line, i);
            EXPECT_NEAR(y, 2.0 * x + 30.0, 1e-9);
            EXPECT_TRUE(x >= chart.userXMin - 1e-9 && x <= chart.userXMax + 1e-9) << x;
            EXPECT_TRUE(y >= chart.userYMin - 1e-9 && y <= chart.userYMax + 1e-9) << y;
        }
        RecordingSurface surface;
        chart.Render(surface, PlotRect{0, 0, 800, 600}, false);
        const std::vector<RecordedOp>& ops = surface.Ops();
        size_t firstLine = ops.size(), firstPoint = ops.size();
        for (size_t i = 0; i < ops.size(); ++i) {
            if (ops[i].kind == RecordedOp::LineTo && ops[i].penColor == c.line && ops[i].penWidth == 1)
                firstLine = std::min(firstLine, i);
            if (ops[i].kind == RecordedOp::Ellipse && ops[i].penColor == c.points) firstPoint = std::min(firstPoint, i);
        }
        EXPECT_LT(firstLine, firstPoint);
        EXPECT_LT(firstPoint, ops.size());
    }

    components[0]->slope = NoValue;
    model.Show(0);
    EXPECT_EQ(model.Chart().series.size(), 1u);
    PlotChart without;
    model.ReportChart(without);
    EXPECT_EQ(without.series.size(), 1u);
}

}  // namespace
