// The component catalogue: defaults, the stored names, lookup and the save rule.
#include <gtest/gtest.h>

#include "catalogue/component_catalogue.h"
#include "tests/unit/fake_host.h"

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetPluginSettingsState();
        ResetCatalogueForTest();
    }
    void TearDown() override {
        ResetCatalogueForTest();
        ResetPluginSettingsState();
    }
    static std::wstring Key(const wchar_t* key) { return std::wstring(L"Components/") + key; }
    FakeHost host;
};

TEST_F(CatalogueTest, AnEmptyProfileLeavesTheNineteenDefaults) {
    CreateDefaultCatalogue();
    LoadCatalogue();
    CreateDefaultCatalogue();  // only the first call counts
    const auto& entries = GetComponentCatalogue().Entries();
    ASSERT_EQ(entries.size(), 19u);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i]->id, static_cast<int32_t>(i));
        EXPECT_EQ(entries[i]->altName, entries[i]->name);
    }
    EXPECT_EQ(entries[0]->name, L"Метан");
    EXPECT_EQ(entries[13]->name, L"Диоксид углерода");
    EXPECT_EQ(entries[18]->name, L"Метанол");
    EXPECT_EQ(GetComponentCatalogue().LastDefaultId(), 18);
    EXPECT_EQ(GetComponentCatalogue().NextId(), 19);
    EXPECT_EQ(FindComponentDef(L"С6+"), nullptr);
}

TEST_F(CatalogueTest, StoredNamesApplyOnceAndOnlyWhenNotEmpty) {
    host.ints[Key(L"qtyComps")] = 25;  // more than there are entries: harmless
    host.texts[Key(L"3_altName")] = L"iC4";
    host.texts[Key(L"0_altName")] = L"";
    host.texts[Key(L"17_name")] = L"Азот (N2)";
    CreateDefaultCatalogue();
    LoadCatalogue();
    const ComponentDef* iso = FindComponentDef(L"IC4");
    ASSERT_NE(iso, nullptr);
    EXPECT_EQ(iso->name, L"Изобутан");
    EXPECT_EQ(FindComponentDef(L"Метан")->altName, L"Метан");
    EXPECT_EQ(GetComponentCatalogue().Entries()[17]->name, L"Азот (N2)");
    EXPECT_EQ(GetComponentCatalogue().Entries()[17]->altName, L"Азот");

    host.texts[Key(L"3_altName")] = L"i-C4";
    LoadCatalogue();
    EXPECT_EQ(GetComponentCatalogue().Entries()[3]->altName, L"iC4");
}

TEST_F(CatalogueTest, ADamagedCountAsksTheHostOnlyForEntriesThatExist) {
    host.ints[Key(L"qtyComps")] = 1000000;
    CreateDefaultCatalogue();
    LoadCatalogue();
    EXPECT_EQ(host.keysRead.size(), 1u + 2u * 19u);  // the count, then name and altName of each entry
    EXPECT_EQ(GetComponentCatalogue().Entries().size(), 19u);
}

TEST_F(CatalogueTest, WithoutProfileServicesTheDefaultsStay) {
    host.WithdrawProfile();
    CreateDefaultCatalogue();
    LoadCatalogue();
    EXPECT_EQ(GetComponentCatalogue().Entries().size(), 19u);
}

TEST_F(CatalogueTest, FindFoldsOnlyLatinCase) {
    CreateDefaultCatalogue();
    AddComponentDef(L"Ar");
    EXPECT_EQ(GetComponentCatalogue().Entries().back()->id, 19);
    EXPECT_NE(FindComponentDef(L"AR"), nullptr);
    EXPECT_NE(FindComponentDef(L"Азот"), nullptr);
    EXPECT_EQ(FindComponentDef(L"азот"), nullptr);
    EXPECT_EQ(FindComponentDef(L"Азот "), nullptr);
    EXPECT_EQ(FindComponentDef(L""), nullptr);
    // An entry whose alternative name was cleared matches no empty peak name.
    SaveCatalogue({{0, false, L"", true, L""}});
    EXPECT_EQ(FindComponentDef(L""), nullptr);
    EXPECT_NE(FindComponentDef(L"Метан"), nullptr);
}

TEST_F(CatalogueTest, SaveWritesTheCountAndOnlyTheEditedValues) {
    CreateDefaultCatalogue();
    host.texts[Key(L"5_altName")] = L"old";
    SaveCatalogue({{17, false, L"", true, L"N2"}, {19, true, L"x", true, L"y"}});  // 19 is past the end
    EXPECT_EQ(host.ints[Key(L"qtyComps")], 19);
    EXPECT_EQ(host.texts[Key(L"17_altName")], L"N2");
    EXPECT_EQ(host.texts.count(Key(L"17_name")), 0u);
    EXPECT_EQ(host.texts[Key(L"5_altName")], L"old");  // stays until that entry is edited
    EXPECT_EQ(host.texts.size(), 2u);
    EXPECT_EQ(FindComponentDef(L"n2")->name, L"Азот");
}

}  // namespace
