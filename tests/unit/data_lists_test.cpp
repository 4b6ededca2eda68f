#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "data/assay_list.h"
#include "data/database.h"
#include "data/database_connection.h"
#include "data/norvane_file.h"
#include "tests/unit/data_fixture.h"
#include "tests/unit/fake_host.h"

namespace {

class ListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.CreateTables();
        host.Exec(
            "INSERT INTO mixture VALUES (7, 'ПГС-A', 'Б-1', 1600000000, 1700000000), (3, 'ПГС-B', 'Б-2', NULL, NULL),"
            " (9, 'Двойная', 'Б-3', 0, 0), (10, 'Двойная', 'Б-4', 0, 0), (11, 'Пустая', '', 0, 0);"
            "INSERT INTO mixturecomp (mixtureid, nameid, name, concentration, deviation) VALUES"
            " (7, 1, 'Метан', 95.5, 0.5), (7, 2, 'Этан', 2.5, 1.5), (3, 1, 'Метан', 90.0, 0.6),"
            " (9, 1, 'Азот', 1.0, 2.0), (10, 1, 'Азот', 2.0, 2.0);");
        DataBaseConnection::GetInstance().SetUri(dir.Wide("host.db").c_str());
    }
    void TearDown() override { DataBaseConnection::GetInstance().SetUri(nullptr); }

    // An assay row; ishidden and isdeleted as given.
    void AddAssay(int id, int64_t date, const std::string& mixture, int hidden = 0, int deleted = 0,
                  const std::string& file = "none.chr") {
        host.Exec("INSERT INTO assay VALUES (" + std::to_string(id) + ", " + std::to_string(date) + ", '" +
                  (dir.Path() / file).string() + "', 'проба " + std::to_string(id) + "', '" + mixture + "', " +
                  std::to_string(hidden) + ", " + std::to_string(deleted) + ");");
    }
    int32_t Load(uint32_t id) {
        DataBase::Database db(DataBaseConnection::GetInstance().GetUri());
        return list.LoadAssay(db, id);
    }
    std::vector<uint32_t> Ids() const {
        std::vector<uint32_t> ids;
        for (const AssayRecord& r : list.assays) ids.push_back(r.id);
        return ids;
    }

    TempDir dir;
    HostDb host{dir.Path() / "host.db"};
    MixtureList mixtures;
    AssayList list{mixtures};
};

TEST_F(ListsTest, MixturesLoadByExactNameWithTheirComponentsAndStayInPlace) {
    EXPECT_EQ(mixtures.LoadMixture(L"Неизвестная"), -1);
    EXPECT_EQ(mixtures.LoadMixture(L"пгс-A"), -1);  // the database compares case-sensitively
    EXPECT_TRUE(mixtures.mixtures.empty());

    ASSERT_EQ(mixtures.LoadMixture(L"ПГС-A"), 0);
    const MixtureRecord* first = mixtures.mixtures[0].get();
    EXPECT_EQ(first->id, 7u);
    EXPECT_EQ(first->ballon, L"Б-1");
    EXPECT_EQ(first->release.GetTime(), 1600000000);
    ASSERT_EQ(first->components.size(), 2u);
    EXPECT_EQ(first->components[1].nameid, L"2");
    EXPECT_EQ(first->components[1].name, L"Этан");
    EXPECT_EQ(first->components[1].concentration, 2.5);
    EXPECT_EQ(first->components[1].deviation, 1.5);

    EXPECT_EQ(mixtures.LoadMixture(L"Двойная"), 2);  // both rows, the result is the second
    ASSERT_EQ(mixtures.mixtures.size(), 3u);
    EXPECT_EQ(mixtures.mixtures[1]->id, 9u);
    EXPECT_EQ(mixtures.LoadMixture(L"Пустая"), 3);
    EXPECT_TRUE(mixtures.mixtures[3]->components.empty());
    EXPECT_EQ(mixtures.LoadMixture(L"ПГС-B"), 4);
    EXPECT_EQ(mixtures.mixtures[4]->release.GetTime(), 0);
    EXPECT_EQ(mixtures.mixtures[4]->expiry.GetTime(), 0);

    // A loaded id is not read again.
    host.Exec("DELETE FROM mixturecomp WHERE mixtureid = 7;");
    EXPECT_EQ(mixtures.LoadMixture(L"ПГС-A"), 0);
    EXPECT_EQ(mixtures.mixtures[0].get(), first);
    EXPECT_EQ(first->components.size(), 2u);

    mixtures.RemoveMixture(9);
    mixtures.RemoveMixture(12345);
    std::vector<uint32_t> ids;
    for (const auto& m : mixtures.mixtures) ids.push_back(m->id);
    EXPECT_EQ(ids, (std::vector<uint32_t>{7, 10, 11, 3}));
    EXPECT_EQ(mixtures.mixtures[0].get(), first);
}

TEST_F(ListsTest, AnAssayCarriesItsRowPassportValuesAndSortedNamedPeaks) {
    CNorvaneFile4 file;
    file.passport.atmpressure = 99.87;
    file.passport.airtemp = 22.5;
    ASSERT_EQ(file.SaveToFile(dir.Wide("a1.chr")), 0);
    AddAssay(1, 1700000000, "", 0, 0, "a1.chr");
    AddAssay(2, 1700000100, "");
    host.Exec("INSERT INTO peak (assayid, nameid, name, area, time, channel) VALUES"
              " (1, 5, 'Этан', 10.0, 2.0, 1), (1, 6, 'Азот', 20.0, 3.0, 0), (1, 7, 'Метан', 30.0, 1.0, 1),"
              " (1, 8, '', 40.0, 0.5, 0), (1, 9, NULL, 50.0, 0.7, 0), (2, 1, '', 1.0, 1.0, 0);");

    ASSERT_EQ(Load(1), 0);
    const AssayRecord& a = list.assays[0];
    EXPECT_EQ(a.date.GetTime(), 1700000000);
    EXPECT_EQ(a.sample, L"проба 1");
    EXPECT_EQ(a.atmpressure, 99.87);
    EXPECT_EQ(a.airtemp, 22.5);
    EXPECT_EQ(a.mixtureRecord, nullptr);
    std::vector<std::pair<int32_t, double>> order;
    for (const PeakRecord& p : a.peaks) order.emplace_back(p.channel, p.time);
    EXPECT_EQ(order, (std::vector<std::pair<int32_t, double>>{{0, 3.0}, {1, 1.0}, {1, 2.0}}));
    EXPECT_EQ(a.peaks[0].nameid, L"6");
    EXPECT_EQ(a.peaks[0].area, 20.0);

    ASSERT_EQ(Load(2), 1);  // its file is missing and its only peak has no name
    EXPECT_EQ(list.assays[1].atmpressure, 0.0);
    EXPECT_EQ(list.assays[1].airtemp, 0.0);
    EXPECT_TRUE(list.assays[1].peaks.empty());

    EXPECT_EQ(Load(1), 0);  // loaded once
    EXPECT_EQ(list.assays.size(), 2u);
}

TEST_F(ListsTest, HiddenDeletedAndUnknownAssaysAreNotLoaded) {
    AddAssay(1, 0, "ПГС-A", 1, 0);
    AddAssay(2, 0, "ПГС-A", 0, 1);
    AddAssay(3, 0, "ПГС-A", 2, 2);
    for (uint32_t id : {1u, 2u, 3u, 4u}) EXPECT_EQ(Load(id), -1) << id;
    EXPECT_TRUE(list.assays.empty());
    EXPECT_TRUE(mixtures.mixtures.empty());
    EXPECT_TRUE(list.mixtureUse.empty());
}

TEST_F(ListsTest, MixtureNamesMatchInMemoryFoldingOnlyLatinCase) {
    AddAssay(1, 0, "ПГС-A");
    AddAssay(2, 0, "ПГС-a");  // Latin case differs: the loaded record is found
    AddAssay(3, 0, "пГС-A");  // Cyrillic case differs: neither memory nor database knows it
    AddAssay(4, 0, "Неизвестная");
    for (uint32_t id : {1u, 2u, 3u, 4u}) Load(id);
    ASSERT_EQ(mixtures.mixtures.size(), 1u);
    const MixtureRecord* a = mixtures.mixtures[0].get();
    EXPECT_EQ(list.assays[0].mixtureRecord, a);
    EXPECT_EQ(list.assays[1].mixtureRecord, a);
    EXPECT_EQ(list.assays[2].mixtureRecord, nullptr);
    EXPECT_EQ(list.assays[3].mixtureRecord, nullptr);
    EXPECT_EQ(list.assays[2].mixture, L"пГС-A");
    EXPECT_EQ(list.mixtureUse, (MixtureUse{{7u, 2}}));
}

TEST_F(ListsTest, AssaysSortWithoutMixtureFirstThenByMixtureIdAndDate) {
    AddAssay(1, 500, "ПГС-A");  // mixture 7
    AddAssay(2, 100, "ПГС-A");
    AddAssay(3, 300, "ПГС-B");  // mixture 3
    AddAssay(4, 900, "");
    AddAssay(5, 200, "ПГС-B");
    AddAssay(6, -50, "ПГС-A");
    for (uint32_t id = 1; id <= 6; ++id) Load(id);
    list.SortAssays();
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{4, 5, 3, 6, 2, 1}));
}

TEST_F(ListsTest, UseCountsDecideWhenAMixtureLeavesWithItsLastAssay) {
    AddAssay(1, 0, "ПГС-A");
    AddAssay(2, 0, "ПГС-A");
    AddAssay(3, 0, "ПГС-B");
    AddAssay(4, 0, "ПГС-B");
    for (int round = 0; round < 2; ++round) {
        for (uint32_t id = 1; id <= 4; ++id) Load(id);
        EXPECT_EQ(list.mixtureUse, (MixtureUse{{7u, 2}, {3u, 2}}));
        EXPECT_TRUE(list.RemoveAssay(1));
        EXPECT_FALSE(list.RemoveAssay(1));
        EXPECT_EQ(mixtures.mixtures.size(), 2u);  // one assay of 7 is left
        EXPECT_TRUE(list.RemoveAssay(2));
        ASSERT_EQ(mixtures.mixtures.size(), 1u);
        EXPECT_EQ(mixtures.mixtures[0]->id, 3u);
        EXPECT_EQ(list.mixtureUse, (MixtureUse{{3u, 2}}));
        if (round == 0) {
            list.ClearAll();
            EXPECT_TRUE(list.assays.empty() && list.mixtureUse.empty() && mixtures.mixtures.empty());
        } else {
            EXPECT_TRUE(list.RemoveAssaysOfMixture(3));
            EXPECT_FALSE(list.RemoveAssaysOfMixture(3));
            EXPECT_TRUE(list.assays.empty() && list.mixtureUse.empty() && mixtures.mixtures.empty());
        }
    }
    EXPECT_TRUE(list.ReleaseMixtureUse(42));  // no pair
}

TEST_F(ListsTest, AFailingPeakQueryKeepsTheAssayAlreadyAppended) {
    AddAssay(1, 0, "");
    host.Exec("DROP TABLE peak;");
    EXPECT_THROW(Load(1), DataBase::SqlException);
    ASSERT_EQ(list.assays.size(), 1u);
    EXPECT_TRUE(list.assays[0].peaks.empty());
}

// A reload drops the lists and loads every id again; when the database fails
// half-way the saved lists come back whole, links and use counts included.
TEST_F(ListsTest, ASavedListComesBackWholeAfterAFailedReload) {
    AddAssay(1, 10, "ПГС-A");
    AddAssay(2, 20, "ПГС-A");
    AddAssay(3, 30, "ПГС-B");
    for (uint32_t id : {1u, 2u, 3u}) Load(id);
    const MixtureRecord* loadedA = mixtures.mixtures[0].get();
    AssayList::Saved saved = list.Save();
    for (const AssayRecord& r : saved.assays)
        EXPECT_NE(r.mixtureRecord, r.id == 3 ? mixtures.mixtures[1].get() : loadedA) << "links into the live list";

    list.ClearAll();
    Load(1);  // the reload gets this far
    host.Exec("DROP TABLE peak;");
    EXPECT_THROW(Load(2), DataBase::SqlException);
    list.Restore(std::move(saved));

    EXPECT_EQ(Ids(), (std::vector<uint32_t>{1, 2, 3}));
    ASSERT_EQ(mixtures.mixtures.size(), 2u);
    EXPECT_EQ(list.assays[0].mixtureRecord, mixtures.mixtures[0].get());
    EXPECT_EQ(list.assays[1].mixtureRecord, mixtures.mixtures[0].get());
    EXPECT_EQ(list.assays[2].mixtureRecord, mixtures.mixtures[1].get());
    EXPECT_EQ(mixtures.mixtures[0]->components.size(), 2u);
    EXPECT_EQ(list.mixtureUse, (MixtureUse{{7u, 2}, {3u, 1}}));
    EXPECT_TRUE(list.RemoveAssay(1));
    EXPECT_TRUE(list.RemoveAssay(2));
    ASSERT_EQ(mixtures.mixtures.size(), 1u);  // ПГС-A left with its last chromatogram
    EXPECT_EQ(mixtures.mixtures[0]->name, L"ПГС-B");
}

// A step that fails in any way -- a database error, no memory, anything else
// -- leaves the lists as they were before it, with links into the restored
// records; a step that works keeps what it did.
TEST_F(ListsTest, AStepThatFailsInAnyWayLeavesTheListsAsBefore) {
    AddAssay(1, 10, "ПГС-A");
    AddAssay(2, 20, "ПГС-B");
    Load(1);
    struct Case {
        const char* what;
        std::function<void()> fail;
    } cases[] = {
        {"database", [] { throw DataBase::SqlException("database disk image is malformed", 11, std::nullopt); }},
        {"no memory", [] { throw std::bad_alloc(); }},
        {"length", [] { throw std::length_error("vector"); }},
        {"not an exception", [] { throw 42; }},
        {"armed for a test", [] { AssayList::FailNextStepForTest(); }},
    };
    for (const Case& c : cases) {
        std::exception_ptr failure = list.RunAsOneStep([&] {
            list.ClearAll();
            Load(2);
            c.fail();
        });
        EXPECT_TRUE(failure) << c.what;
        EXPECT_EQ(Ids(), std::vector<uint32_t>{1}) << c.what;
        ASSERT_EQ(mixtures.mixtures.size(), 1u) << c.what;
        EXPECT_EQ(list.assays[0].mixtureRecord, mixtures.mixtures[0].get()) << c.what;
        EXPECT_EQ(mixtures.mixtures[0]->name, L"ПГС-A") << c.what;
    }
    EXPECT_FALSE(list.RunAsOneStep([&] { Load(2); }));
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{1, 2}));
    EXPECT_FALSE(list.RunAsOneStep([] {})) << "the armed failure is used up";
}

// The host's selection dialog and file opener, answered by the test.
struct HostAnswers {
    static inline std::vector<int32_t> picked;
    static inline intptr_t count = 0;
    static inline std::vector<std::wstring> opened;
    static intptr_t Pick(intptr_t buffer, intptr_t) {
        auto* ids = reinterpret_cast<IdBuffer*>(buffer);
        EXPECT_EQ(ids->capacity, 256);
        for (size_t i = 0; i < picked.size() && i < 256; ++i) ids->ids[i] = picked[i];
        return count;
    }
    static intptr_t Open(intptr_t, intptr_t path) {
        opened.push_back(reinterpret_cast<const wchar_t*>(path));
        return 1;
    }
};

TEST_F(ListsTest, AddingAsksTheHostAndCountsIdsAlreadyInTheList) {
    FakeHost fake;
    fake.extraServices[HostNames::kOpenAssayIdDlgEx] = &HostAnswers::Pick;
    AddAssay(1, 0, "ПГС-A");
    AddAssay(2, 0, "ПГС-A", 1);
    struct Case {
        bool offered;
        std::vector<int32_t> ids;
        intptr_t count;
        bool expected;
    };
    const std::vector<Case> cases = {
        {false, {1}, 1, false}, {true, {1}, 0, false},   {true, {1}, 257, false}, {true, {1}, -1, false},
        {true, {2, 99}, 2, false}, {true, {2, 1}, 2, true}, {true, {1}, 1, true},
    };
    for (const Case& c : cases) {
        if (c.offered) fake.offered.insert(HostNames::kOpenAssayIdDlgEx);
        else fake.offered.erase(HostNames::kOpenAssayIdDlgEx);
        HostAnswers::picked = c.ids;
        HostAnswers::count = c.count;
        intptr_t chosen = -99;
        EXPECT_EQ(list.AddChromatograms(0, &chosen), c.expected) << c.count;
        EXPECT_EQ(chosen, c.offered ? c.count : 0) << c.count;
    }
    EXPECT_EQ(Ids(), (std::vector<uint32_t>{1}));

    DataBaseConnection::GetInstance().SetUri(dir.Wide("missing.db").c_str());
    EXPECT_THROW(list.AddChromatograms(0), DataBase::SqlException);
}

TEST_F(ListsTest, OpeningHandsTheHostEveryNamedFileHiddenOnesIncluded) {
    FakeHost fake;
    fake.extraServices[HostNames::kOpenAssayFile] = &HostAnswers::Open;
    AddAssay(1, 0, "", 0, 0, "один.chr");
    AddAssay(2, 0, "", 1, 1, "два.chr");
    HostAnswers::opened.clear();
    list.OpenSelectedFiles({2, 1});  // not offered
    EXPECT_TRUE(HostAnswers::opened.empty());
    fake.offered.insert(HostNames::kOpenAssayFile);
    list.OpenSelectedFiles({2, 77, 1});
    EXPECT_EQ(HostAnswers::opened, (std::vector<std::wstring>{dir.Wide("два.chr"), dir.Wide("один.chr")}));
    DataBaseConnection::GetInstance().SetUri(nullptr);
    EXPECT_NO_THROW(list.OpenSelectedFiles({}));  // nothing to open, no database needed
}

}  // namespace
