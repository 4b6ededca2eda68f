// The components dialog's working list: texts, editable cells, OK and Cancel.
#include <gtest/gtest.h>

#include "catalogue/component_catalogue.h"
#include "tests/unit/fake_host.h"
#include "ui/model/components_form.h"

namespace {

using Texts = std::vector<std::wstring>;

class ComponentsFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetPluginSettingsState();
        ResetCatalogueForTest();
        CreateDefaultCatalogue();
        LoadCatalogue();
        form.Rebuild(GetComponentCatalogue());
    }
    void TearDown() override {
        ResetCatalogueForTest();
        ResetPluginSettingsState();
    }
    static std::wstring Key(const std::wstring& key) { return L"Components/" + key; }
    FakeHost host;
    ComponentsForm form;
};

TEST_F(ComponentsFormTest, RowsAndWhichCellsMayBeEdited) {
    ASSERT_EQ(ComponentsForm::Columns().size(), 3u);
    EXPECT_EQ(ComponentsForm::Columns()[2].heading, L"Доп. имя");
    ASSERT_EQ(form.Records().size(), 19u);
    EXPECT_EQ(form.RowTexts(3), (Texts{L"4", L"Изобутан", L"Изобутан"}));
    EXPECT_EQ(form.RowTexts(18), (Texts{L"19", L"Метанол", L"Метанол"}));

    AddComponentDef(L"Аргон");
    form.Rebuild(GetComponentCatalogue());
    ASSERT_EQ(form.Records().size(), 20u);
    struct Case {
        int32_t id;
        int column;
        bool editable;
    } cases[] = {
        {0, 0, false}, {0, 1, false}, {0, 2, true}, {18, 1, false}, {18, 2, true},
        {19, 0, false}, {19, 1, true}, {19, 2, true}, {19, 3, true},
    };
    for (const Case& c : cases) EXPECT_EQ(form.MayEdit(c.id, c.column), c.editable) << c.id << "/" << c.column;
    EXPECT_FALSE(form.CellChanged(77, 2, L"x"));
}

TEST_F(ComponentsFormTest, OkWritesTheCountAndOnlyTheEditedNames) {
    ASSERT_TRUE(form.CellChanged(17, 2, L"N2"));
    ASSERT_TRUE(form.CellChanged(0, 2, L""));  // an empty text is a value too
    EXPECT_EQ(form.RowTexts(17), (Texts{L"18", L"Азот", L"N2"}));
    EXPECT_EQ(FindComponentDef(L"N2"), nullptr);  // nothing applies before OK
    form.Save();
    EXPECT_EQ(host.ints, (std::map<std::wstring, int32_t>{{Key(L"qtyComps"), 19}}));
    EXPECT_EQ(host.texts, (std::map<std::wstring, std::wstring>{{Key(L"17_altName"), L"N2"}, {Key(L"0_altName"), L""}}));
    ASSERT_NE(FindComponentDef(L"N2"), nullptr);
    EXPECT_EQ(FindComponentDef(L"N2")->name, L"Азот");
    EXPECT_EQ(GetComponentCatalogue().Entries()[0]->altName, L"");

    // A second OK writes the count again, and no name that was not edited since.
    host.texts.clear();
    form.Save();
    EXPECT_TRUE(host.texts.empty());
}

TEST_F(ComponentsFormTest, CancelLeavesCatalogueAndProfileAndReopeningShowsTheOldValues) {
    form.CellChanged(3, 2, L"iC4");
    form.Rebuild(GetComponentCatalogue());  // the next opening, without OK
    EXPECT_EQ(form.RowTexts(3), (Texts{L"4", L"Изобутан", L"Изобутан"}));
    EXPECT_EQ(FindComponentDef(L"iC4"), nullptr);
    form.Save();
    EXPECT_TRUE(host.texts.empty());
}

}  // namespace
