// The intermediate results page's rows, selectors and column settings.
#include "tests/unit/calc_fixture.h"
#include "ui/model/calc_info.h"
#include "ui/model/components_form.h"

namespace {

using Cells = std::vector<std::wstring>;

// The cells of the rows the page would show.
std::vector<Cells> CalcInfoCells(const LinearityCalc& calc, uint32_t mixtureId, int32_t channel, int32_t digits) {
    std::vector<Cells> cells;
    for (const TableRow& row : BuildCalcInfoRows(calc, mixtureId, channel, digits)) cells.push_back(row.cells);
    return cells;
}

TEST_F(CalcTest, CalcInfoRowsForOneMixtureAndChannel) {
    MixtureRecord* m1 = Mixture(L"M1", {{L"Метан", 90}, {L"Этан", 5}, {L"Z", 1}});
    MixtureRecord* m2 = Mixture(L"M2", {{L"Метан", 95}, {L"Этан", 3}});
    Assay(m1, {Peak(L"Метан", 100, 0, 1.0), Peak(L"Этан", 20, 0, 2.0), Peak(L"Z", 7, 0, 3.0), Peak(L"Этан", 5, 1)});
    Assay(m1, {Peak(L"Метан", 110, 0, 1.0), Peak(L"Этан", 22, 0, 2.0), Peak(L"Z", 9, 0, 3.0)});
    Assay(m2, {Peak(L"Метан", 120, 0, 1.0), Peak(L"Этан", NoValue, 0, 2.0)});
    Run();

    ASSERT_EQ(CalcInfoColumns().size(), 15u);
    EXPECT_EQ(CalcInfoColumns()[5].heading, L"ОСКО");
    EXPECT_EQ(CalcInfoColumns()[12].heading, L"σk (табл. 4), %");
    EXPECT_EQ(CalcInfoColumns()[14].width, 110);

    auto rows = CalcInfoCells(calc, m1->id, 0, 1);
    ASSERT_EQ(rows.size(), 3u);
    for (const Cells& row : rows) EXPECT_EQ(row.size(), 15u);
    EXPECT_EQ(Cells(rows[0].begin(), rows[0].begin() + 5), (Cells{L"1", L"Метан", L"2", L"210.0", L"105.0"}));
    EXPECT_NE(rows[0][6], L"---");  // a catalogue component has its precision norm
    EXPECT_TRUE(rows[0][9] == L"Да" || rows[0][9] == L"Нет");
    EXPECT_EQ(Cells(rows[1].begin(), rows[1].begin() + 3), (Cells{L"2", L"Этан", L"2"}));
    // A component the catalogue does not know has no norm: columns 6 to 9 are "---".
    EXPECT_EQ(rows[2][1], L"Z");
    EXPECT_EQ(Cells(rows[2].begin() + 6, rows[2].begin() + 10), (Cells{L"---", L"---", L"---", L"---"}));

    // Ethane has no area at M2: it is not listed, and the numbers count only the rows shown.
    rows = CalcInfoCells(calc, m2->id, 0, 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cells(rows[0].begin(), rows[0].begin() + 5), (Cells{L"1", L"Метан", L"1", L"120", L"120"}));
    // The other channel, and a channel or mixture nothing is on.
    rows = CalcInfoCells(calc, m1->id, 1, 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], L"Этан");
    EXPECT_TRUE(BuildCalcInfoRows(calc, m2->id, 1, 0).empty());
    EXPECT_TRUE(BuildCalcInfoRows(calc, 99, 0, 0).empty());
    EXPECT_TRUE(BuildCalcInfoRows(UnrunCalc(), m1->id, 0, 0).empty());
}

TEST_F(CalcTest, CalcInfoSelectorsListMixturesAndChannels) {
    Mixture(L"ПГС 1", {{L"Метан", 90}});
    mixtures.push_back(nullptr);
    Mixture(L"ПГС 3", {{L"Метан", 95}});
    mixtures.back()->id = 42;
    std::vector<SelectorItem> items = MixtureSelectorItems(mixtures);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, L"ПГС 1");
    EXPECT_EQ(items[0].data, 1);
    EXPECT_EQ(items[1].data, 42);
    EXPECT_TRUE(MixtureSelectorItems(MixtureRecords()).empty());

    Assay(mixtures[0].get(), {Peak(L"Метан", 10, 2), Peak(L"Метан", 10, 0)});
    Run();
    items = ChannelSelectorItems(calc.GetChannels());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, L"1");
    EXPECT_EQ(items[0].data, 0);
    EXPECT_EQ(items[1].text, L"3");
    EXPECT_EQ(items[1].data, 2);
}

// An alternative name given in the components dialog links peaks of that
// name to the catalogue entry in the next calculation.
TEST_F(CalcTest, AnAlternativeNameSavedInTheDialogRelinksPeaks) {
    MixtureRecord* m = Mixture(L"M1", {{L"iC4", 0.5}});
    Assay(m, {Peak(L"iC4", 100)});
    Assay(m, {Peak(L"IC4", 101)});  // Latin case folds
    Run();
    ASSERT_NE(Find(L"iC4"), nullptr);
    EXPECT_EQ(Find(L"iC4")->catalogueEntry, nullptr);

    ComponentsForm form;
    form.Rebuild(GetComponentCatalogue());
    ASSERT_TRUE(form.CellChanged(3, 2, L"iC4"));
    form.Save();
    Run();
    const CalcComponent* iso = Find(L"iC4");
    ASSERT_NE(iso, nullptr);
    ASSERT_NE(iso->catalogueEntry, nullptr);
    EXPECT_EQ(iso->catalogueEntry->name, L"Изобутан");
    auto rows = CalcInfoCells(calc, m->id, 0, 3);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][2], L"2");
    EXPECT_NE(rows[0][6], L"---");
    EXPECT_EQ(host.texts[L"Components/3_altName"], L"iC4");
}

class ColumnSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPluginSettingsState(); }
    void TearDown() override { ResetPluginSettingsState(); }
    static std::wstring Key(const std::wstring& key) { return std::wstring(kCalcInfoSettingsSection) + L"/" + key; }
    // A page opening: load, then add the fifteen columns; the widths they get.
    static std::vector<int32_t> Open(ColumnSettings& settings) {
        settings.Load();
        std::vector<int32_t> widths;
        const auto& columns = CalcInfoColumns();
        for (size_t i = 0; i < columns.size(); ++i) {
            auto id = static_cast<int32_t>(i);
            widths.push_back(settings.AddColumn(id, columns[i].width, id));
        }
        return widths;
    }
    FakeHost host;
};

TEST_F(ColumnSettingsTest, AHiddenColumnStaysHiddenAcrossOpeningsAndComesBackAtItsWidth) {
    ColumnSettings first(kCalcInfoSettingsSection);
    std::vector<int32_t> widths = Open(first);
    ASSERT_EQ(widths.size(), 15u);
    for (size_t i = 0; i < widths.size(); ++i) EXPECT_EQ(widths[i], CalcInfoColumns()[i].width) << i;
    first.Resized(5, 95);
    EXPECT_EQ(first.Toggle(5), 0);  // hide "ОСКО"
    first.Resized(3, 0);  // dragged shut: the last width is kept
    EXPECT_EQ(first.Toggle(99), -1);
    first.Save();
    EXPECT_EQ(host.ints[Key(L"qtyCols")], 15);
    EXPECT_EQ(host.ints[Key(L"5_id")], 5);
    EXPECT_EQ(host.ints[Key(L"5_width")], 95);
    EXPECT_EQ(host.ints[Key(L"5_visible")], 0);
    EXPECT_EQ(host.ints[Key(L"3_width")], 110);
    EXPECT_EQ(host.ints[Key(L"14_visible")], 1);

    ColumnSettings second(kCalcInfoSettingsSection);
    widths = Open(second);
    EXPECT_EQ(widths[5], 0);
    EXPECT_FALSE(second.Records()[5].visible);
    EXPECT_EQ(widths[4], 80);
    EXPECT_EQ(second.Toggle(5), 95);
    EXPECT_TRUE(second.Records()[5].visible);
}

TEST_F(ColumnSettingsTest, ADamagedCountReadsNoMoreRecordsThanThePageHasColumns) {
    for (int32_t count : {16, 1000000}) {
        host.keysRead.clear();
        host.ints[Key(L"qtyCols")] = count;
        ColumnSettings settings(kCalcInfoSettingsSection);
        settings.Load();
        EXPECT_EQ(host.keysRead.size(), 1u + 3u * 15u) << count;
        EXPECT_EQ(Open(settings).size(), 15u);
    }
}

TEST_F(ColumnSettingsTest, StoredRecordsAreReorderedAndDamagedOnesRepaired) {
    // Stored out of order, one with a negative id (skipped), one hidden that
    // never had a width, one with a damaged width.
    host.ints[Key(L"qtyCols")] = 4;
    const int32_t stored[][3] = {{7, 300, 1}, {-1, 50, 1}, {2, 0, 0}, {4, -30, 1}};
    for (int i = 0; i < 4; ++i) {
        std::wstring n = std::to_wstring(i);
        host.ints[Key(n + L"_id")] = stored[i][0];
        host.ints[Key(n + L"_width")] = stored[i][1];
        host.ints[Key(n + L"_visible")] = stored[i][2];
    }
    ColumnSettings settings(kCalcInfoSettingsSection);
    std::vector<int32_t> widths = Open(settings);
    ASSERT_EQ(settings.Records().size(), 15u);
    for (size_t i = 0; i < 15; ++i) EXPECT_EQ(settings.Records()[i].id, static_cast<int32_t>(i));
    EXPECT_EQ(widths[7], 300);
    EXPECT_EQ(widths[2], 0);
    EXPECT_EQ(widths[4], 80);  // the default instead of a negative width
    EXPECT_EQ(settings.Toggle(2), 20);  // a stored 0 reads back as 20
    EXPECT_EQ(settings.Toggle(2), 0);
    settings.Resized(2, 0);
    settings.Save();
    EXPECT_EQ(host.ints[Key(L"2_width")], 20);

    // A hidden column without any width is stored as 2, never as 0.
    ColumnSettings bare(kCalcInfoSettingsSection);
    bare.AddColumn(0, 0, 0);
    bare.Toggle(0);
    bare.Save();
    EXPECT_EQ(host.ints[Key(L"0_width")], 2);
    EXPECT_EQ(host.ints[Key(L"qtyCols")], 1);
}

}  // namespace
