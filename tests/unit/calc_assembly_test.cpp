// Assembly of the calculation from assays and mixtures: components, levels,
// corrections, order, range parts and the methane refit through Run.
#include <cmath>

#include "base/text.h"
#include "host/program_settings.h"
#include "report/report_document.h"
#include "tests/unit/calc_fixture.h"
#include "ui/model/results_table.h"

namespace {

const wchar_t* const kRefused =
    L"Для расчет требуется по 5 анализов (посадок) пяти градуировочных смесей, ГОСТ 31371.7 - 2020 (пунткы Б.1 и Б.4).";

TEST_F(CalcTest, EmptyInputIsRefusedWithOneMessage) {
    for (int variant = 0; variant < 3; ++variant) {
        mixtures.clear();
        assays.clear();
        GetMessageLog().ClearLog();
        // 0: no assays; 1: only an empty mixture slot; 2: no mixtures.
        MixtureRecord* m = variant == 0 ? Mixture(L"M1", {{L"Метан", 90}}) : nullptr;
        if (variant != 0) Assay(m, {Peak(L"Метан", 100)});
        if (variant == 1) mixtures.push_back(nullptr);  // an empty slot is no mixture
        Run();
        EXPECT_TRUE(calc.GetComponents().empty());
        EXPECT_EQ(calc.GetAssays(), nullptr);
        ASSERT_EQ(GetMessageLog().errorList.size(), 1u) << variant;
        EXPECT_EQ(GetMessageLog().errorList[0], kRefused);
        EXPECT_FALSE(GetMessageLog().logEmpty);
    }
}

TEST_F(CalcTest, ARefusedRunKeepsThePreviousChannels) {
    MixtureRecord* m = Mixture(L"M1", {{L"Метан", 90}});
    Assay(m, {Peak(L"Метан", 100, 1)});
    Run();
    ASSERT_EQ(calc.GetChannels().size(), 1u);
    AssayRecords none;
    calc.Run(mixtures, none, switches);
    EXPECT_TRUE(calc.GetComponents().empty());
    ASSERT_EQ(calc.GetChannels().size(), 1u);
    EXPECT_EQ(calc.GetChannels()[0].label, L"2");
}

TEST_F(CalcTest, ComponentsByChannelAndNameFoldingOnlyLatinCase) {
    MixtureRecord* m = Mixture(L"M1", {{L"CO2", 1.5}, {L"Этан", 2}});
    Assay(m, {Peak(L"CO2", 10, 0, 1.0), Peak(L"Этан", 20, 0, 2.0), Peak(L"CO2", 30, 1, 1.0)});
    Assay(m, {Peak(L"co2", 11, 0, 1.0), Peak(L"этан", 21, 0, 2.0)});
    Run();
    ASSERT_EQ(calc.GetComponents().size(), 4u);
    const CalcComponent* co2 = Find(L"CO2", 0);
    ASSERT_NE(co2, nullptr);
    EXPECT_EQ(co2->levels[0].n, 2);  // CO2 and co2 are one component
    EXPECT_DOUBLE_EQ(co2->levels[0].conc, 1.5);
    ASSERT_NE(Find(L"CO2", 1), nullptr);
    ASSERT_NE(Find(L"этан"), nullptr);  // a Cyrillic case difference is another component
    EXPECT_EQ(Find(L"этан")->levels[0].conc, NoValue);
    ASSERT_EQ(calc.GetChannels().size(), 2u);
    EXPECT_EQ(calc.GetChannels()[1].label, L"2");
}

// A peak takes the component of the peak in its place in the assay before
// only with the same channel and name; whatever the order, each sample goes
// to the level of its own mixture, also where the levels sort otherwise than
// the mixtures, and the peaks of a mixture not listed count for no level.
TEST_F(CalcTest, PeaksMatchTheirComponentWhateverTheirPlace) {
    MixtureRecord* m1 = Mixture(L"M1", {{L"Этан", 3}, {L"CO2", 1}});
    MixtureRecord* m2 = Mixture(L"M2", {{L"Этан", 1}, {L"CO2", 2}});
    MixtureRecord unlisted;
    unlisted.name = L"M3";
    Assay(m1, {Peak(L"Этан", 10, 0), Peak(L"CO2", 20, 0)});
    Assay(m2, {Peak(L"Этан", 11, 1), Peak(L"co2", 21, 0)});  // another channel; the Latin case apart
    Assay(m2, {Peak(L"CO2", 22, 0), Peak(L"Этан", 12, 0)});  // the other order
    Assay(&unlisted, {Peak(L"CO2", 23, 0), Peak(L"Этан", 13, 0)});
    Assay(m1, {Peak(L"CO2", 24, 0), Peak(L"Этан", 14, 0), Peak(L"Этан", 15, 1)});
    Run();
    ASSERT_EQ(calc.GetComponents().size(), 3u);
    auto areas = [](const CalcLevel& level) {
        std::vector<double> out;
        for (const CalcSample& sample : level.samples) out.push_back(sample.area);
        return out;
    };
    struct Expected {
        const wchar_t* name;
        int32_t channel, peaks;
        const MixtureRecord* lowMixture;
        std::vector<double> low, high;  // the areas of the levels in concentration order
    };
    const Expected cases[] = {
        {L"Этан", 0, 4, m2, {12}, {10, 14}},
        {L"Этан", 1, 2, m2, {11}, {15}},
        {L"CO2", 0, 5, m1, {20, 24}, {21, 22}},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(testing::Message() << e.channel << " " << Utf8FromWide(e.name));
        const CalcComponent* component = Find(e.name, e.channel);
        ASSERT_NE(component, nullptr);
        EXPECT_EQ(component->peakCount, e.peaks);
        ASSERT_EQ(component->levels.size(), 2u);
        EXPECT_EQ(component->levels[0].mixture, e.lowMixture);
        EXPECT_EQ(areas(component->levels[0]), e.low);
        EXPECT_EQ(areas(component->levels[1]), e.high);
        EXPECT_EQ(component->levels[1].n, static_cast<int32_t>(e.high.size()));
    }
}

TEST_F(CalcTest, AnAlternativeNameLinksTheEntryButNotTheMixtureComponent) {
    GetComponentCatalogue().Save({{3, false, L"", true, L"iC4"}});
    MixtureRecord* m = Mixture(L"M1", {{L"Изобутан", 1}, {L"IC4", 2}});
    Assay(m, {Peak(L"ic4", 10, 0, 1.0), Peak(L"Изобутан", 20, 0, 2.0)});
    Run();
    const CalcComponent* alt = Find(L"ic4");
    const CalcComponent* named = Find(L"Изобутан");
    ASSERT_TRUE(alt && named);
    EXPECT_EQ(alt->catalogueEntry, named->catalogueEntry);
    EXPECT_EQ(alt->catalogueEntry->name, L"Изобутан");
    EXPECT_DOUBLE_EQ(alt->levels[0].conc, 2);
    EXPECT_DOUBLE_EQ(named->levels[0].conc, 1);
}

TEST_F(CalcTest, APeakWithoutAreaMakesItsComponentButNoSample) {
    MixtureRecord* m = Mixture(L"M1", {{L"Этан", 1}});
    Assay(m, {Peak(L"Этан", NoValue, 2)});
    Assay(nullptr, {Peak(L"Пропан", 5, 3)});  // without a mixture: skipped entirely
    Run();
    ASSERT_EQ(calc.GetComponents().size(), 1u);
    EXPECT_EQ(calc.GetComponents()[0]->peakCount, 0);
    EXPECT_EQ(calc.GetComponents()[0]->levels[0].n, 0);
    ASSERT_EQ(calc.GetChannels().size(), 1u);
    EXPECT_EQ(calc.GetChannels()[0].channel, 2);
}

TEST_F(CalcTest, PressureAndTemperatureCorrections) {
    struct Case {
        bool pressure, temperature;
        double p, t;
        double area;
        bool noPressure, noTemperature;  // listed under messages 2 and 3
    };
    const Case cases[] = {
        {true, false, 101.325, 20, 1000, false, false},
        {true, false, 98.0, 20, 1000 / (98.0 / 101.325), false, false},
        {false, true, 101.325, 20, 1000, false, false},
        {false, true, 101.325, 30, 1000 * 303.15 / 293.15, false, false},
        {true, true, 98.0, 30, 1000 / (98.0 / 101.325) * 303.15 / 293.15, false, false},
        {false, true, 101.325, 0, 1000 * 273.15 / 293.15, false, false},  // 0 °C read from a file is a temperature
        {true, false, 0.0, 20, 1000, true, false},
        {true, false, -5.0, 20, 1000, true, false},
        {true, true, 0.0, 0.0, 1000, true, true},  // file not read
        {false, true, 101.325, -300, 1000, false, true},
        {false, false, 0.0, 0.0, 1000, false, false},
    };
    for (const Case& k : cases) {
        assays.clear();
        mixtures.clear();
        Switches(k.pressure, k.temperature);
        MixtureRecord* m = Mixture(L"M1", {{L"Этан", 1}});
        AssayRecord& a = Assay(m, {Peak(L"Этан", 1000)});
        a.atmpressure = k.p;
        a.airtemp = k.t;
        Run();
        SCOPED_TRACE(testing::Message() << k.p << " kPa, " << k.t << " C");
        ASSERT_EQ(calc.GetComponents().size(), 1u);
        EXPECT_NEAR(calc.GetComponents()[0]->levels[0].sumArea, k.area, 1e-9);
        EXPECT_EQ(Diag(DiagCode::kNoPressure).active, k.noPressure);
        EXPECT_EQ(Diag(DiagCode::kNoTemperature).active, k.noTemperature);
    }
    EXPECT_NEAR(1000 / (98.0 / 101.325), 1033.93, 0.005);
    EXPECT_NEAR(1000 * 303.15 / 293.15, 1034.11, 0.005);
}

// A calculation corrects as its caller tells it, whatever the program
// settings hold, and reports only into the log and diagnostics it was given.
TEST_F(CalcTest, ARunUsesOnlyWhatItIsGiven) {
    ProgramSettingsAccessor().Store(3, 3, true, true);
    MixtureRecord* m = Mixture(L"M1", {{L"Этан", 0.003}});
    Assay(m, {Peak(L"Этан", 1000)}).atmpressure = 98.0;
    MessageLog log;
    Diagnostics found;
    LinearityCalc own(GetComponentCatalogue(), log, found);
    for (bool pressure : {false, true}) {
        own.Run(mixtures, assays, {pressure, false});
        ASSERT_EQ(own.GetComponents().size(), 1u);
        EXPECT_NEAR(own.GetComponents()[0]->levels[0].sumArea, pressure ? 1000 / (98.0 / 101.325) : 1000, 1e-9);
    }
    ASSERT_EQ(found.Message(DiagCode::kOutOfTable1).items.size(), 1u);
    EXPECT_EQ(found.Message(DiagCode::kOutOfTable1).items[0].detail, L"M1");
    EXPECT_FALSE(log.logEmpty);
    for (const Diagnostics* untouched : {&diagnostics, &GetDiagnostics()})
        for (const DiagMessage& message : untouched->Messages()) EXPECT_FALSE(message.active) << message.code;
    EXPECT_TRUE(GetMessageLog().logEmpty);
}

TEST_F(CalcTest, UncorrectedChromatogramsAreListedOnceInListOrder) {
    Switches(true, false);
    MixtureRecord* m = Mixture(L"M1", {{L"Этан", 1}});
    Assay(m, {Peak(L"Этан", 10), Peak(L"Пропан", 10)}).atmpressure = 0.0;
    Assay(m, {Peak(L"Этан", 10)});
    Assay(nullptr, {Peak(L"Этан", 10)}).atmpressure = 0.0;  // not visited
    Assay(m, {}).atmpressure = 0.0;
    Run();
    std::wstring date = LocalTime(2021, 3, 5, 14, 0).Format(L"%d.%m.%y  %H:%M");
    const auto& errors = GetMessageLog().errorList;
    ASSERT_GE(errors.size(), 3u);
    const std::wstring& text = errors[2];  // after messages 0 and 1
    std::wstring expected =
        L"Коррекция по давлению проведена не полностью! В следующих хроматограмах не заданно давление:"
        L"\r\n\t- файл: ...\\run1.dat, проба: 1, дата: " + date +
        L"\r\n\t- файл: ...\\run4.dat, проба: 4, дата: " + LocalTime(2021, 3, 5, 14, 3).Format(L"%d.%m.%y  %H:%M");
    EXPECT_EQ(text, expected);
}

TEST_F(CalcTest, OrderByChannelThenMeanRetention) {
    MixtureRecord* m = Mixture(L"M1", {});
    Assay(m, {Peak(L"C", 1, 0, 3.0), Peak(L"B", 1, 1, 1.0), Peak(L"A", 1, 0, 2.0), Peak(L"E", NoValue, 1, 9.0)});
    Assay(m, {Peak(L"C", 1, 0, 1.0), Peak(L"D", 1, 0, 1.5)});
    Run();
    std::vector<std::wstring> order;
    for (const auto& c : calc.GetComponents()) order.push_back(c->name);
    // C averages 2.0 like A; equal keys keep their assembly order.
    EXPECT_EQ(order, (std::vector<std::wstring>{L"D", L"C", L"A", L"E", L"B"}));
    EXPECT_DOUBLE_EQ(Find(L"C")->meanRetention, 2.0);
    EXPECT_EQ(Find(L"E", 1)->meanRetention, NoValue);
}

TEST_F(CalcTest, LevelsFollowTheMixturesAndSortByConcentration) {
    MixtureRecord* a = Mixture(L"A", {{L"Этан", 3}});
    MixtureRecord* b = Mixture(L"B", {});
    MixtureRecord* c = Mixture(L"C", {{L"Этан", 1}, {L"Этан", 7}});
    Assay(a, {Peak(L"Этан", 30)});
    Assay(b, {Peak(L"Этан", 5)});
    Assay(c, {Peak(L"Этан", 10)});
    Run();
    const CalcComponent* e = Find(L"Этан");
    ASSERT_EQ(e->levels.size(), 3u);
    EXPECT_EQ(e->levels[0].mixture, b);
    EXPECT_EQ(e->levels[0].conc, NoValue);
    EXPECT_EQ(e->levels[1].mixture, c);  // the first component of that name counts
    EXPECT_EQ(e->levels[1].conc, 1);
    EXPECT_EQ(e->levels[2].mixture, a);
}

// Five mixtures, five analyses each; each component's areas are conc · factor
// unless a hook changes them.
class FiveMixtures : public CalcTest {
protected:
    void Build(const std::vector<std::vector<Conc>>& compositions, double (*area)(const std::wstring&, double, int)) {
        for (size_t i = 0; i < compositions.size(); ++i) {
            MixtureRecord* m = Mixture(L"M" + std::to_wstring(i + 1), {});
            for (const Conc& c : compositions[i]) m->components.push_back({L"", c.name, c.concentration, 0.1});
        }
        for (size_t i = 0; i < compositions.size(); ++i) {
            for (int run = 0; run < 5; ++run) {
                AssayRecord& a = Assay(mixtures[i].get(), {});
                double time = 1.0;
                for (const Conc& c : compositions[i]) a.peaks.push_back(Peak(c.name, area(c.name, c.concentration, run), 0, time++));
            }
        }
    }
};

TEST_F(FiveMixtures, OxygenThatFailsIsSplitAtTheRangeBoundary) {
    Build({{{L"Кислород", 0.01}, {L"Этан", 1}},
           {{L"Кислород", 0.02}, {L"Этан", 2}},
           {{L"Кислород", 0.5}, {L"Этан", 3}},
           {{L"Кислород", 1.0}, {L"Этан", 4}},
           {{L"Кислород", 1.5}, {L"Этан", 5}}},
          [](const std::wstring& name, double x, int) { return name == L"Этан" ? 100 * x : 100 * x + 1; });
    Run();
    const auto& comps = calc.GetComponents();
    ASSERT_EQ(comps.size(), 4u);
    EXPECT_FALSE(comps[0]->bOk);  // the offset of 1 spoils the small levels
    EXPECT_EQ(comps[2]->name, L"Кислород (до 0.025 моль%)");
    EXPECT_EQ(comps[3]->name, L"Кислород (свыше 0.025 моль%)");
    // In the results table the two parts' peak cells read apart by the same suffix.
    const TableModel table = BuildResultsTable(calc, 3);
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_EQ(table.rows[0].cells[1], comps[0]->nameId);
    EXPECT_EQ(table.rows[2].cells[1], comps[0]->nameId + L" (до 0.025 моль%)");
    EXPECT_EQ(table.rows[3].cells[1], comps[0]->nameId + L" (свыше 0.025 моль%)");
    for (size_t i = 2; i < 4; ++i) {
        EXPECT_TRUE(comps[i]->isRangePart);
        EXPECT_EQ(comps[i]->catalogueEntry, comps[0]->catalogueEntry);
        EXPECT_EQ(comps[i]->levels.size(), 5u);
    }
    // The lower part holds the two small levels with their samples, unsorted.
    const CalcComponent& low = *comps[2];
    EXPECT_EQ(low.levelsUsed, 2);
    EXPECT_EQ(low.levels[0].conc, 0.01);
    EXPECT_EQ(low.levels[0].n, 5);
    EXPECT_EQ(low.levels[2].conc, NoValue);
    EXPECT_EQ(comps[3]->levelsUsed, 3);
    EXPECT_FALSE(low.bOk);
    EXPECT_TRUE(comps[3]->rOk);
}

// A peak no mixture certifies has no line: its report row says so in short
// cells, and no cell of the whole report grows past what a table column holds.
TEST_F(FiveMixtures, AnUncertifiedPeakLeavesNoBlownCellInTheReport) {
    Build({{{L"Этан", 1}}, {{L"Этан", 2}}, {{L"Этан", 3}}, {{L"Этан", 4}}, {{L"Этан", 5}}},
          [](const std::wstring&, double x, int) { return 100 * x; });
    for (AssayRecord& a : assays) a.peaks.push_back(Peak(L"Аргон", 55.5, 0, 9.0));
    mixtures[0]->release = CTime(-86400);  // before 1970
    Run();
    ASSERT_NE(Find(L"Аргон"), nullptr);
    ReportInputs inputs;
    inputs.mixtures = &mixtures;
    inputs.assays = &assays;
    inputs.components = &calc.GetComponents();
    inputs.options = {L"ХГ-1", L"Оператор", 1, 1, 1, 1, 0};
    inputs.created = LocalTime(2026, 12, 11, 10, 0);
    pugi::xml_document document;
    BuildReportDocument(StartReportDocument(document), inputs);
    size_t longest = 0, cells = 0;
    std::wstring longestText;
    for (const pugi::xpath_node& found : document.select_nodes(L"//*[not(*)]")) {
        const pugi::xml_node node = found.node();
        const std::wstring text = node.text().get();
        ++cells;
        if (text.size() > longest) longest = text.size(), longestText = text;
    }
    EXPECT_GT(cells, 50u);
    EXPECT_LE(longest, 40u) << "cell: " << longestText;
    EXPECT_EQ(document.select_node(L"//table2/row/DateRelease").node().text().get(), std::wstring(L"---"));
}

TEST_F(FiveMixtures, MethaneThatFailsThroughTheOriginIsRefitted) {
    Build({{{L"Метан", 40}}, {{L"Метан", 55}}, {{L"Метан", 70}}, {{L"Метан", 85}}, {{L"Метан", 99}}},
          [](const std::wstring&, double x, int) { return 2 * x + 3; });
    Run();
    ASSERT_EQ(calc.GetComponents().size(), 1u);
    const CalcComponent& c = *calc.GetComponents()[0];
    EXPECT_NEAR(c.slope, 2, 1e-12);
    EXPECT_NEAR(c.intercept, 3, 1e-9);
    EXPECT_TRUE(c.bOk);
    EXPECT_TRUE(c.levels[0].rsdOk);
}

TEST_F(FiveMixtures, WhatIsNotRefittedOrSplit) {
    // Methane on the line through the origin passes first time; an unknown
    // peak that fails has no catalogue link.
    Build({{{L"Метан", 40}, {L"X", 1}},
           {{L"Метан", 55}, {L"X", 2}},
           {{L"Метан", 70}, {L"X", 3}},
           {{L"Метан", 85}, {L"X", 4}},
           {{L"Метан", 99}, {L"X", 5}}},
          [](const std::wstring& name, double x, int) { return name == L"X" ? 100 * x + 50 : 2 * x; });
    Run();
    ASSERT_EQ(calc.GetComponents().size(), 2u);
    EXPECT_TRUE(Find(L"Метан")->bOk);
    EXPECT_EQ(Find(L"Метан")->intercept, 0);
    EXPECT_FALSE(Find(L"X")->bOk);
    EXPECT_EQ(Find(L"X")->intercept, 0);
}

TEST_F(CalcTest, ARunReplacesThePreviousResults) {
    MixtureRecord* m = Mixture(L"M1", {{L"Этан", 1}});
    Assay(m, {Peak(L"Этан", 100)});
    Run();
    Run();
    ASSERT_EQ(calc.GetComponents().size(), 1u);
    EXPECT_EQ(calc.GetComponents()[0]->levels[0].n, 1);
    calc.Clear();
    EXPECT_TRUE(calc.GetComponents().empty());
    EXPECT_TRUE(calc.GetChannels().empty());
}

}  // namespace
