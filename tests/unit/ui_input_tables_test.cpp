// What the chromatogram and mixture pages show and what their delete buttons
// do, on lists built in memory; the failure text of a database error.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "data/database.h"
#include "ui/model/database_failure.h"
#include "ui/model/failure_text.h"
#include "ui/model/input_tables.h"

using namespace InputTables;

namespace {

std::vector<std::wstring> Column(const TableRows& rows, size_t column) {
    std::vector<std::wstring> cells;
    for (const TableRow& row : rows) cells.push_back(column < row.cells.size() ? row.cells[column] : L"");
    return cells;
}

// Mixtures 3 and 7; assays 10, 11 of mixture 3, 20 of mixture 7, 30 without one.
class InputTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddMixture(3, L"ПГС-1");
        AddMixture(7, L"ПГС-2");
        AddAssay(10, 0, L"проба 1", 3);
        AddAssay(11, 1, L"проба 2", 3);
        AddAssay(20, 2, L"проба 3", 7);
        AddAssay(30, 3, L"без смеси", 0);
    }
    void AddMixture(uint32_t id, const std::wstring& name) {
        auto record = std::make_unique<MixtureRecord>();
        record->id = id;
        record->name = name;
        record->ballon = L"Б" + std::to_wstring(id);
        mixtures.mixtures.push_back(std::move(record));
    }
    void AddAssay(uint32_t id, int64_t date, const std::wstring& sample, uint32_t mixtureId) {
        AssayRecord record;
        record.id = id;
        record.date = CTime(1700000000 + date * 3600);
        record.sample = sample;
        if (mixtureId) {
            record.mixtureRecord = mixtures.mixtures[static_cast<size_t>(mixtures.FindById(mixtureId))].get();
            bool counted = false;
            for (auto& use : list.mixtureUse)
                if (use.first == mixtureId) counted = ++use.second > 0;
            if (!counted) list.mixtureUse.emplace_back(mixtureId, 1);
        }
        list.assays.push_back(std::move(record));
    }
    std::vector<uint32_t> Ids() const {
        std::vector<uint32_t> ids;
        for (const AssayRecord& r : list.assays) ids.push_back(r.id);
        return ids;
    }

    MixtureList mixtures;
    AssayList list{mixtures};
};

}  // namespace

TEST_F(InputTablesTest, TheListShowsWhatTheFilterSelectsNumberingShownRows) {
    TableRows all = AssayListRows(list.assays, 0, kAllData);
    EXPECT_EQ(Column(all, 0), (std::vector<std::wstring>{L"1", L"2", L"3", L"4"}));
    EXPECT_EQ(Column(all, 3), (std::vector<std::wstring>{L"ПГС-1", L"ПГС-1", L"ПГС-2", L"---"}));
    EXPECT_EQ(all[0].cells[2], list.assays[0].date.Format(L"%d.%m.%y  %H:%M"));
    EXPECT_EQ(all[2].id, 20);
    // No entry selected (the user typed into the box) shows everything too.
    EXPECT_EQ(AssayListRows(list.assays, -1, kAllData).size(), 4u);
    TableRows second = AssayListRows(list.assays, 2, 7);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].cells[0], L"1");
    EXPECT_EQ(second[0].cells[1], L"проба 3");
    EXPECT_TRUE(AssayListRows(list.assays, 1, 99).empty());  // a mixture nothing uses

    // Dates the local-time conversion refuses.
    list.assays[0].date = CTime(-1);
    list.assays[1].date = CTime(CTime::kLatest + 1);
    TableRows refused = AssayListRows(list.assays, 0, kAllData);
    EXPECT_EQ(refused[0].cells[2], L"---");
    EXPECT_EQ(refused[1].cells[2], L"---");
}

TEST_F(InputTablesTest, TheFilterHasOneEntryPerMixtureAndFallsBackWhenItsMixtureIsGone) {
    std::vector<FilterEntry> entries = FilterEntries(L"Все", mixtures);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].text, L"Все");
    EXPECT_EQ(entries[0].data, kAllData);
    EXPECT_EQ(entries[2].text, L"ПГС-2");
    EXPECT_EQ(entries[2].data, 7);

    // The entry of mixture 7 moves up when mixture 3 goes.
    list.RemoveAssaysOfMixture(3);
    std::vector<FilterEntry> rebuilt = FilterEntries(L"Все", mixtures);
    struct Case {
        int previous;
        int64_t data;
        int expected;
    } cases[] = {{2, 7, 1}, {1, 3, 0}, {0, kAllData, 0}, {-1, kAllData, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(FilterSelectionAfterRebuild(rebuilt, c.previous, c.data), c.expected) << c.previous;
}

TEST_F(InputTablesTest, DeletingKeepsAMixtureUntilItsLastChromatogramGoes) {
    // Delete with nothing selected changes nothing.
    EXPECT_FALSE(DeleteAssays(list, false, 0, kAllData, {}).changed);
    EXPECT_TRUE(DeleteAssays(list, false, 0, kAllData, {10}).changed);
    EXPECT_NE(mixtures.FindById(3), -1);
    EXPECT_TRUE(DeleteAssays(list, false, 0, kAllData, {11, 30}).changed);
    EXPECT_EQ(mixtures.FindById(3), -1);
    EXPECT_EQ(Ids(), std::vector<uint32_t>{20});
    EXPECT_EQ(list.mixtureUse.size(), 1u);
}

TEST_F(InputTablesTest, DeleteAllFollowsTheFilterSelection) {
    // A mixture's entry: its chromatograms and their mixture, plus the selected rows.
    DeleteOutcome one = DeleteAssays(list, true, 1, 3, {30});
    EXPECT_TRUE(one.changed);
    EXPECT_FALSE(one.emptiedBothLists);
    EXPECT_EQ(Ids(), std::vector<uint32_t>{20});
    EXPECT_EQ(mixtures.mixtures.size(), 1u);

    // No entry selected: only the selected rows.
    list.ClearAll();
    SetUp();
    EXPECT_FALSE(DeleteAssays(list, true, -1, kAllData, {}).changed);
    DeleteAssays(list, true, -1, kAllData, {20});
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{10, 11, 30}));
    EXPECT_EQ(mixtures.FindById(7), -1);

    // The "all" entry: both lists empty.
    DeleteOutcome all = DeleteAssays(list, true, 0, kAllData, {10});
    EXPECT_TRUE(all.changed && all.emptiedBothLists);
    EXPECT_TRUE(list.assays.empty() && list.mixtureUse.empty() && mixtures.mixtures.empty());
}

TEST(InputTablesInfoTest, MixturesAreNumberedByTheirPlaceInTheList) {
    MixtureList mixtures;
    auto record = std::make_unique<MixtureRecord>();
    record->id = 5;
    record->name = L"ПГС-3";
    record->ballon = L"12345";
    record->release = CTime(0);
    record->expiry = CTime(CTime::kLatest + 1);
    mixtures.mixtures.push_back(nullptr);  // an empty entry is passed over but keeps its number
    mixtures.mixtures.push_back(std::move(record));

    TableRows list = MixtureListRows(mixtures);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].id, 5);
    EXPECT_EQ(list[0].cells[0], L"2");
    EXPECT_EQ(list[0].cells[2], L"12345");
    EXPECT_EQ(list[0].cells[3], CTime(0).Format(L"%d.%m.%y"));
    EXPECT_EQ(list[0].cells[4], L"---");

    EXPECT_EQ(FindMixture(mixtures, 5), mixtures.mixtures[1].get());
    EXPECT_EQ(FindMixture(mixtures, 6), nullptr);
}

TEST(InputTablesInfoTest, ADatabaseFailureShowsMessageCodeAndStatement) {
    DataBase::SqlException failed("no such table: assay", 1, std::string("SELECT filename FROM [assay] WHERE id = ?;"));
    DataBase::SqlException opening("unable to open database file", 14, std::nullopt);
    EXPECT_EQ(DatabaseFailureDetails(failed),
              L"Ошибка базы данных: no such table: assay\nКод: 1\nЗапрос: SELECT filename FROM [assay] WHERE id = ?;");
    EXPECT_EQ(DatabaseFailureDetails(opening), L"Ошибка базы данных: unable to open database file\nКод: 14");

    ClearErrorFormattersForTest();
    RegisterDatabaseErrorFormatter();
    EXPECT_NE(FailureMessage("добавление хроматограмм", &failed).find(L"Код: 1\nЗапрос: SELECT"), std::wstring::npos);
    std::runtime_error plain("disk full");
    EXPECT_NE(FailureMessage("x", &plain).find(L"disk full"), std::wstring::npos);
    ClearErrorFormattersForTest();
}

TEST(InputTablesInfoTest, AChoiceBeyondTheBufferIsRefusedWithItsCount) {
    EXPECT_EQ(TooManyChosenText(0), L"");
    EXPECT_EQ(TooManyChosenText(256), L"");
    EXPECT_EQ(TooManyChosenText(257),
              L"Выбрано хроматограмм: 257.\nЗа один раз можно добавить не более 256. Хроматограммы не добавлены.");
    EXPECT_NE(TooManyChosenText(intptr_t{1} << 40).find(L"1099511627776."), std::wstring::npos);
}
