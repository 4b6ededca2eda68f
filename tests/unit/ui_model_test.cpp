// Rules of the windows that hold without any window: the grid's edit, sort,
// colour and header rules, the dialogs' dynamic layout and track limits, the
// settings dialog's OK, and the text of a failure box.
#include <gtest/gtest.h>

#include <stdexcept>

#include "base/grid_rules.h"
#include "ui/model/results_table.h"
#include "host/program_settings.h"
#include "base/cell_text.h"
#include "base/text.h"
#include "report/report_document.h"
#include "tests/unit/fake_host.h"
#include "ui/model/failure_text.h"
#include "base/layout.h"
#include "ui/model/settings_form.h"

using namespace GridRules;

TEST(GridRulesTest, EndOfEditChangesAndReportsOnlyAChangedText) {
    const std::wstring current = L"Метан";
    const std::wstring same = L"Метан", changed = L"CH4", empty;
    struct Case {
        const std::wstring* typed;
        bool expected;
    } cases[] = {
        {nullptr, false},  // Escape: the cell keeps its text, nothing is sent
        {&same, false},    // Enter on an unchanged text sends nothing
        {&changed, true},
        {&empty, true},  // clearing a cell is a change
    };
    for (const Case& c : cases) {
        EndEdit e = DecideEndEdit(c.typed, current);
        EXPECT_EQ(e.setText, c.expected);
        EXPECT_EQ(e.notifyOwner, c.expected);
    }
    // An owner's refusal puts the old text back.
    EXPECT_EQ(TextAfterOwner(0, changed, current), current);
    EXPECT_EQ(TextAfterOwner(1, changed, current), changed);
    EXPECT_EQ(EditorCharAction(0x1B), EditorKey::Cancel);
    EXPECT_EQ(EditorCharAction(L'\r'), EditorKey::Commit);
    EXPECT_EQ(EditorCharAction(L'a'), EditorKey::Edit);
    // Tab leaves the editor to the dialog; Enter, Escape and Delete stay with it.
    EXPECT_FALSE(EditorKeepsKey(0x09));
    for (unsigned key : {0x0Du, 0x1Bu, 0x2Eu, 0x41u}) EXPECT_TRUE(EditorKeepsKey(key)) << key;
}

TEST(GridRulesTest, HeaderClicksAndComparison) {
    EXPECT_TRUE(AscendingForClick(2, -1, true));   // first click on a column
    EXPECT_FALSE(AscendingForClick(2, 2, true));   // same column toggles
    EXPECT_TRUE(AscendingForClick(2, 2, false));
    EXPECT_TRUE(AscendingForClick(3, 2, false));   // another column starts ascending

    // Numeric mode: small to large when ascending; a text that is no number counts as 0.
    EXPECT_LT(CompareCells(L"2.5", L"10", kSortNumeric, true), 0);
    EXPECT_GT(CompareCells(L"2.5", L"10", kSortNumeric, false), 0);
    EXPECT_EQ(CompareCells(L"---", L"0", kSortNumeric, true), 0);
    EXPECT_EQ(CellNumber(L"-1.5e2"), -150.0);
    // Text mode: ascending runs from Z to A, ignoring case.
    EXPECT_GT(CompareCells(L"alpha", L"Beta", 1, true), 0);
    EXPECT_LT(CompareCells(L"alpha", L"Beta", 1, false), 0);
    EXPECT_EQ(CompareCells(L"ABC", L"abc", 1, true), 0);
}

TEST(GridRulesTest, HiddenColumnsCannotBeResizedAndAreNotReported) {
    EXPECT_FALSE(MayAskBeginResize(0));
    EXPECT_TRUE(MayAskBeginResize(40));
    EXPECT_FALSE(ReportsColumnChange(0));
    EXPECT_TRUE(ReportsColumnChange(1));
}

TEST(GridRulesTest, SelectedRowTakesHighlightWhateverItsRecordSays) {
    RowColours record{0x0000FF, 0x00FF00}, highlight{0xFFFFFF, 0x800000}, incoming{kDefaultColour, kDefaultColour};
    RowColours c = ChooseRowColours(true, record, true, highlight, incoming);
    EXPECT_EQ(c.text, highlight.text);
    EXPECT_EQ(c.background, highlight.background);
    c = ChooseRowColours(true, record, false, highlight, incoming);
    EXPECT_EQ(c.text, record.text);
    EXPECT_EQ(c.background, record.background);
    c = ChooseRowColours(false, record, false, highlight, incoming);
    EXPECT_EQ(c.text, kDefaultColour);
}

TEST(GridRulesTest, StretchColumnFillsTheFreeWidthAndLeavesRoomForTheScrollBar) {
    std::vector<int> widths{40, 100, 60};
    EXPECT_EQ(StretchWidth(widths, 1, 300, 5, 10, 17), 300 - 7 - 100);
    EXPECT_EQ(StretchWidth(widths, 1, 300, 11, 10, 17), 300 - 7 - 17 - 100);  // more rows than fit
    EXPECT_EQ(StretchWidth(widths, 1, 100, 5, 10, 17), -1);                   // no free width: unchanged
    EXPECT_EQ(StretchWidth(widths, -1, 300, 5, 10, 17), -1);
    EXPECT_EQ(StretchWidth(widths, 3, 300, 5, 10, 17), -1);
}

TEST(GridRulesTest, SortArrowPointsUpWhenAscending) {
    auto up = SortArrow(true), down = SortArrow(false);
    ASSERT_EQ(up.size(), 2u);
    EXPECT_EQ(up[0].points.front(), std::make_pair(8, 4));  // apex at the top
    EXPECT_TRUE(up[0].highlight);
    EXPECT_FALSE(down[1].highlight);
    EXPECT_EQ(down[0].points.back(), std::make_pair(7, 12));  // apex at the bottom
}

TEST(LayoutTest, ControlsFollowByPercentages) {
    Layout::Rect strip{6, 33, 834, 201};
    Layout::Rule upper{0, 0, 100, 20}, lower{0, 20, 100, 80};
    EXPECT_EQ(Layout::Apply(strip, upper, 100, 50), (Layout::Rect{6, 33, 934, 211}));
    EXPECT_EQ(Layout::Apply(strip, lower, 100, 50), (Layout::Rect{6, 43, 934, 251}));
    EXPECT_EQ(Layout::Apply(strip, Layout::Rule{}, 100, 50), strip);  // buttons keep their place
    // Shrinking never turns a rectangle inside out.
    Layout::Rect shrunk = Layout::Apply({0, 0, 10, 10}, Layout::kFill, -50, -50);
    EXPECT_EQ(shrunk.Width(), 0);
    EXPECT_EQ(shrunk.Height(), 0);
}

TEST(LayoutTest, TrackLimitsAndPageRect) {
    Layout::TrackLimits t = Layout::TrackLimitsFor(848, 522);
    EXPECT_EQ(t.minWidth, 848);
    EXPECT_EQ(t.minHeight, 522);
    EXPECT_EQ(t.maxWidth, 1648);
    EXPECT_EQ(t.maxHeight, 1522);
    EXPECT_EQ(Layout::PageRect({0, 0, 828, 168}), (Layout::Rect{2, 22, 824, 164}));
}

TEST(SettingsFormTest, ParsesDigitsLikeTheRunTime) {
    struct Case {
        const wchar_t* text;
        int value;
    } cases[] = {{L"5", 5}, {L"  -2", -2}, {L"+7x", 7}, {L"abc", 0}, {L"", 0}, {L"12 3", 12},
                 {L"99999999999", 2147483647}, {L"-99999999999", -2147483647 - 1}};
    for (const Case& c : cases) EXPECT_EQ(ParseLeadingInt(c.text), c.value) << static_cast<const void*>(c.text);
}

class SettingsFormHostTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPluginSettingsState(); }
    void TearDown() override { ResetPluginSettingsState(); }
    FakeHost host;
};

TEST_F(SettingsFormHostTest, OkWritesChangedDigitsAndAlwaysBothSwitches) {
    host.ints[L"ProgramSettings/qtySymInProg"] = 4;
    host.ints[L"ProgramSettings/enTempCorrect"] = 1;
    ProgramSettingsAccessor loaded;  // as the main window's settings dialog does
    host.ints.clear();

    ApplySettingsForm({L"4", L"3", true, true});  // digits unchanged
    EXPECT_EQ(host.ints.count(L"ProgramSettings/qtySymInProg"), 0u);
    EXPECT_EQ(host.ints.count(L"ProgramSettings/qtySymInReport"), 0u);
    EXPECT_EQ(host.ints[L"ProgramSettings/enPressCorrect"], 1);
    EXPECT_EQ(host.ints[L"ProgramSettings/enTempCorrect"], 1);  // the disabled box writes back what it showed

    ApplySettingsForm({L"letters", L"-2", false, true});
    ProgramSettingsAccessor now;
    EXPECT_EQ(now.DigitsInProgram(), 0);
    EXPECT_EQ(now.DigitsInReport(), 0);  // no count of decimals below 0
    EXPECT_FALSE(now.PressureCorrection());
    EXPECT_EQ(host.ints[L"ProgramSettings/qtySymInProg"], 0);
    EXPECT_EQ(host.ints[L"ProgramSettings/qtySymInReport"], 0);
    EXPECT_EQ(host.ints[L"ProgramSettings/enPressCorrect"], 0);
}

// Decimals come into range wherever they come from: typed, stored by an older
// version, or a damaged profile; what is in use is what gets written back.
TEST_F(SettingsFormHostTest, DecimalsOutsideTheirRangeAreBroughtIntoIt) {
    host.ints[L"ProgramSettings/qtySymInProg"] = 2147483647;
    host.ints[L"ProgramSettings/qtySymInReport"] = -5;
    ProgramSettingsAccessor loaded;
    EXPECT_EQ(loaded.DigitsInProgram(), 17);
    EXPECT_EQ(loaded.DigitsInReport(), 0);

    ApplySettingsForm({L"99999999999", L"18", false, false});
    EXPECT_EQ(loaded.DigitsInProgram(), 17);
    EXPECT_EQ(loaded.DigitsInReport(), 17);
    EXPECT_EQ(host.ints[L"ProgramSettings/qtySymInReport"], 17);

    loaded.Store(1000, -1, false, false);
    EXPECT_EQ(loaded.DigitsInProgram(), 17);
    EXPECT_EQ(loaded.DigitsInReport(), 0);
    EXPECT_EQ(host.ints[L"ProgramSettings/qtySymInProg"], 17);
}

// No number text can be asked for more decimals than a double carries.
TEST(NumberTextTest, EveryFormatterBoundsItsDecimals) {
    const std::wstring most = L"0.50000000000000000";
    for (int digits : {17, 18, 100000, 2147483647}) {
        EXPECT_EQ(FormatFixed(0.5, digits), most) << digits;
        EXPECT_EQ(NumberText(0.5, digits), most) << digits;
        EXPECT_EQ(NumberText(0.5, digits), most) << digits;
    }
    for (int digits : {-1, -2147483647 - 1}) {
        EXPECT_EQ(FormatFixed(0.5, digits), L"0") << digits;  // "%.0f" rounds half to even
        EXPECT_EQ(NumberText(2.5, digits), L"2") << digits;
    }
    EXPECT_EQ(FormulaText(1.5, -0.25, 2147483647).size(), std::wstring(L"A = 1.50000000000000000 * x + -0.25000000000000000").size());
}

namespace {
struct FakeSqlError : std::runtime_error {
    FakeSqlError() : std::runtime_error("no such table: assay"), code(1), sql("SELECT * FROM assay") {}
    int code;
    std::string sql;
};
}  // namespace

TEST(FailureTextTest, PlainAndRegisteredErrors) {
    ClearErrorFormattersForTest();
    std::runtime_error plain("disk full");
    std::wstring text = FailureMessage("window message 0x0111", &plain);
    EXPECT_NE(text.find(L"window message 0x0111"), std::wstring::npos);
    EXPECT_NE(text.find(L"disk full"), std::wstring::npos);
    EXPECT_NE(FailureMessage("x", nullptr).find(L"Неизвестная ошибка"), std::wstring::npos);
    std::bad_alloc memory;
    EXPECT_EQ(FailureMessage("добавление хроматограмм", &memory),
              L"Операция не выполнена (добавление хроматограмм).\n\nНедостаточно памяти.");

    // A kind with its own details, recognised once registered.
    RegisterErrorFormatter([](const std::exception& e, std::wstring& details) {
        auto* sql = dynamic_cast<const FakeSqlError*>(&e);
        if (!sql) return false;
        details = L"code " + std::to_wstring(sql->code) + L": " + std::wstring(sql->sql.begin(), sql->sql.end());
        return true;
    });
    RegisterErrorFormatter([](const std::exception&, std::wstring&) -> bool { throw 1; });  // a broken one
    FakeSqlError sql;
    text = FailureMessage("load", &sql);
    EXPECT_NE(text.find(L"code 1: SELECT * FROM assay"), std::wstring::npos);
    EXPECT_NE(FailureMessage("x", &plain).find(L"disk full"), std::wstring::npos);  // others unaffected
    ClearErrorFormattersForTest();
}
