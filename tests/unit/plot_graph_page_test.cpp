// The graph page's rules on real calculation results: which components a
// channel offers, the level list, the chart and the graph data it gives the
// report (which the report writes: report_document_test.cpp).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "plot/graph_page_model.h"
#include "plot/recording_surface.h"
#include "tests/unit/calc_fixture.h"

namespace {

class GraphPageTest : public CalcTest {
protected:
    // Three mixtures; ethane is certified in only the first two, nitrogen only
    // in the first. Two analyses of each mixture on channels 0 and 1; the third
    // mixture's analyses still show an ethane peak (an area without a
    // certified concentration).
    void SetUp() override {
        CalcTest::SetUp();
        Switches(false, false);
        MixtureRecord* m[3] = {Mixture(L"ГСО-1", {{L"Метан", 10.0}, {L"Этан", 1.0}, {L"Азот", 2.0}}),
                               Mixture(L"ГСО-2", {{L"Метан", 20.0}, {L"Этан", 2.0}}),
                               Mixture(L"ГСО-3", {{L"Метан", 40.0}})};
        for (int i = 0; i < 3; ++i)
            for (int run = 0; run < 2; ++run) {
                const double k = (i == 2 ? 4 : i + 1) * (1.0 + run * 0.002);
                Assay(m[i], {Peak(L"Метан", 1000 * k, 0), Peak(L"Этан", 150 * k, 0), Peak(L"Азот", 70 * k, 0),
                             Peak(L"Метан", 500 * k, 1)});
            }
        Run();
        model.SetComponents(&calc.GetComponents());
    }

    int32_t IndexOf(const std::wstring& name, int32_t channel) const {
        const auto& all = calc.GetComponents();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i]->name == name && all[i]->channel == channel) return static_cast<int32_t>(i);
        return -1;
    }

    GraphPageModel model;
};

std::wstring Texts(const std::vector<GraphChoice>& choices) {
    std::wstring all;
    for (const GraphChoice& c : choices) all += c.text + L";";
    return all;
}

TEST_F(GraphPageTest, SelectorsOfferComponentsWithTwoLevelsOfBothValues) {
    const std::vector<GraphChoice> channels = GraphChannelChoices(calc);
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_EQ(channels[1].text, L"2");
    EXPECT_EQ(channels[1].data, 1);

    // Nitrogen has one certified level: not offered. Ethane has two.
    std::vector<GraphChoice> first = model.ComponentChoices(0);
    EXPECT_EQ(Texts(first), L"Метан;Этан;");
    EXPECT_EQ(first[1].data, IndexOf(L"Этан", 0));
    EXPECT_EQ(Texts(model.ComponentChoices(1)), L"Метан;");
    EXPECT_TRUE(model.ComponentChoices(7).empty());
    model.SetComponents(nullptr);
    EXPECT_TRUE(model.ComponentChoices(0).empty());
}

TEST_F(GraphPageTest, LevelWithoutConcentrationIsNeitherListedPlottedNorGiven) {
    const int32_t ethane = IndexOf(L"Этан", 0);
    const CalcComponent& c = *calc.GetComponents()[static_cast<size_t>(ethane)];
    ASSERT_EQ(c.levels.size(), 3u);
    std::vector<const CalcLevel*> shown;  // in level order
    int uncertified = 0;  // the third mixture has no ethane, but its analyses show it
    for (const CalcLevel& level : c.levels) {
        if (level.conc == NoValue && level.meanArea != NoValue) ++uncertified;
        if (level.conc != NoValue) shown.push_back(&level);
    }
    ASSERT_EQ(uncertified, 1);
    ASSERT_EQ(shown.size(), 2u);

    model.Show(ethane);
    ASSERT_EQ(model.Rows().size(), 2u);
    EXPECT_EQ(model.Rows()[1].cells[0], L"2");
    EXPECT_EQ(model.Rows()[1].cells[1], FormatW(L"%f", shown[1]->conc));
    EXPECT_EQ(model.Rows()[0].cells[2], FormatW(L"%f", shown[0]->meanArea));
    ASSERT_EQ(model.Chart().series.size(), 2u);  // the fitted line under the points
    EXPECT_EQ(model.Chart().series[0].color, kPageLineColor);
    EXPECT_EQ(model.Chart().series[1].count, 2);
    EXPECT_EQ(model.Chart().series[1].color, 0x737FFFu);
    EXPECT_DOUBLE_EQ(model.Chart().userXMin, 1.0 - 0.1);
    EXPECT_DOUBLE_EQ(model.Chart().userXMax, 2.0 + 0.1);

    RecordingSurface surface;
    GraphReportData data;
    data.levels.resize(5);  // whatever was there before is replaced
    EXPECT_EQ(model.ExportGraphData(surface, ethane, data), GraphPageModel::kExported);
    EXPECT_EQ(data.component, L"Этан");
    EXPECT_EQ(data.channel, 0);
    EXPECT_EQ(data.slope, c.slope);
    EXPECT_EQ(data.intercept, c.intercept);
    ASSERT_EQ(data.levels.size(), 2u);
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(data.levels[i].concentration, shown[i]->conc) << i;
        EXPECT_EQ(data.levels[i].meanArea, shown[i]->meanArea) << i;
    }
}

TEST_F(GraphPageTest, ExportCodesAndEmptyStates) {
    RecordingSurface surface;
    GraphReportData data;
    for (int32_t bad : {-1, static_cast<int32_t>(calc.GetComponents().size())})
        EXPECT_EQ(model.ExportGraphData(surface, bad, data), GraphPageModel::kNoComponent);

    // A choice outside the results: no series, the ranges of the last drawing.
    model.Show(IndexOf(L"Метан", 0));
    const double lastXMax = model.Chart().userXMax;
    model.Show(-1);
    EXPECT_TRUE(model.Chart().series.empty());
    EXPECT_TRUE(model.Rows().empty());
    EXPECT_EQ(model.Chart().userXMax, lastXMax);

    // Without results (also after a calculation that found nothing): an empty chart from 0 to 1.
    model.SetComponents(nullptr);
    EXPECT_EQ(model.ExportGraphData(surface, 0, data), GraphPageModel::kNoResults);
    calc.Clear();
    model.SetComponents(&calc.GetComponents());
    EXPECT_EQ(model.ExportGraphData(surface, 0, data), GraphPageModel::kNoResults);
    model.Show(0);
    EXPECT_TRUE(model.Chart().series.empty());
    EXPECT_FALSE(model.Chart().autoX || model.Chart().autoY);
    EXPECT_EQ(model.Chart().userXMin, 0.0);
    EXPECT_EQ(model.Chart().userYMax, 1.0);
    // Nothing was drawn or given.
    EXPECT_TRUE(surface.Ops().empty());
    EXPECT_TRUE(data.component.empty() && data.levels.empty());
}

TEST_F(GraphPageTest, ReportPictureDrawsTheShownPointsAndReleasesEverything) {
    RecordingSurface surface;
    EXPECT_EQ(model.RenderReportGraph(nullptr), -1);
    model.Show(IndexOf(L"Метан", 1));
    GraphReportData data;
    EXPECT_EQ(model.ExportGraphData(surface, IndexOf(L"Метан", 1), data), 0);
    EXPECT_EQ(surface.LiveObjects(), 0);
    EXPECT_EQ(surface.Faults(), 0);
    EXPECT_EQ(surface.TextColor(), 0x000000u);
    EXPECT_EQ(surface.BackgroundMode(), BackgroundMode::Transparent);
    // Three black circles of half size 3 (besides the line's dots), the captions in the 25-pixel font.
    int circles = 0;
    for (const RecordedOp& op : surface.Ops(RecordedOp::Ellipse))
        if (op.c - op.a == 7 && op.penColor == 0x000000u) ++circles;
    EXPECT_EQ(circles, 3);
    bool caption = false;
    for (const RecordedOp& op : surface.Ops(RecordedOp::Text))
        caption = caption || (op.text == L"Концентрация, моль%" && op.fontHeight == 25);
    EXPECT_TRUE(caption);
}

}  // namespace
