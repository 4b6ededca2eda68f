// The text a list puts on the clipboard: headings of the shown columns in their
// shown order, the selected rows (all without a selection), tabs between cells,
// CR LF after every line, and no cell that breaks the table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/table_text.h"

namespace {

TableModel Fixture() {
    TableModel table;
    table.columns = {{L"№", 40}, {L"Пик", 200}, {L"Канал", 0}, {L"Площадь", 80}};
    table.rows = {{{L"1", L"Метан", L"ПИД", L"12.5"}, 11, false},
                  {{L"", L"Канал: ДТП", L"", L""}, 0, true},
                  {{L"2", L"Азот\tN2", L"ДТП", L"3\r\n4"}, 12, false},
                  {{L"3"}, 13, false}};
    return table;
}

TEST(TableTextTest, CopiesShownColumnsAndChosenRows) {
    struct Case {
        const char* name;
        std::vector<int> order;
        std::vector<size_t> selected;
        const wchar_t* text;
    };
    const Case cases[] = {
        // The hidden column (width 0) is left out; the separator row goes as shown;
        // a row with fewer cells gives empty ones; tab and CR LF inside cells are spaces.
        {"no selection", {}, {},
         L"№\tПик\tПлощадь\r\n1\tМетан\t12.5\r\n\tКанал: ДТП\t\r\n2\tАзот N2\t3 4\r\n3\t\t\r\n"},
        {"some rows, in the table's order", {}, {3, 0, 3},
         L"№\tПик\tПлощадь\r\n1\tМетан\t12.5\r\n3\t\t\r\n"},
        {"the separator alone", {}, {1}, L"№\tПик\tПлощадь\r\n\tКанал: ДТП\t\r\n"},
        {"rows outside the table are left out", {}, {0, 9}, L"№\tПик\tПлощадь\r\n1\tМетан\t12.5\r\n"},
        {"shown order", {3, 2, 0, 1}, {0}, L"Площадь\t№\tПик\r\n12.5\t1\tМетан\r\n"},
        {"order naming columns that are not there", {1, -1, 7}, {0}, L"Пик\r\nМетан\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TableText::ClipboardText(Fixture(), c.order, c.selected), c.text) << c.name;
}

TEST(TableTextTest, EmptyTablesAndTablesWithoutShownColumns) {
    TableModel headingsOnly = Fixture();
    headingsOnly.rows.clear();
    EXPECT_EQ(TableText::ClipboardText(headingsOnly, {}, {}), L"№\tПик\tПлощадь\r\n");
    EXPECT_EQ(TableText::ClipboardText(TableModel{}, {}, {}), L"");
    TableModel allHidden = Fixture();
    for (TableColumn& column : allHidden.columns) column.width = 0;
    EXPECT_EQ(TableText::ClipboardText(allHidden, {}, {}), L"");
}

TEST(TableTextTest, CellsKeepTheirTextButNothingThatBreaksTheTable) {
    const std::pair<std::wstring, std::wstring> cells[] = {
        {L"a\tb", L"a b"},   {L"a\r\nb", L"a b"},          {L"a\nb\rc", L"a b c"}, {L"\r\n\r\n", L"  "},
        {L"a\r", L"a "},     {std::wstring(L"a\0b", 3), L"a b"}, {L"\"5\"", L"\"5\""}, {L"", L""},
        {L"Ø 1,5 мм", L"Ø 1,5 мм"},
    };
    for (const auto& [cell, copied] : cells) EXPECT_EQ(TableText::ClipboardCell(cell), copied);
}

TEST(TableTextTest, ReadOnlyTextCopiesItsSelectionOrAll) {
    const std::wstring log = L"1.  Ошибка! \r\n\tнет смеси\r\n";
    EXPECT_EQ(TableText::TextToCopy(log, 0, 0), log);
    EXPECT_EQ(TableText::TextToCopy(log, 7, 7), log);  // a caret, nothing selected
    EXPECT_EQ(TableText::TextToCopy(log, 4, 10), L"Ошибка");
    EXPECT_EQ(TableText::TextToCopy(log, 10, 4), L"Ошибка");
    EXPECT_EQ(TableText::TextToCopy(log, 14, 999), L"\tнет смеси\r\n");  // tabs and line breaks kept
    EXPECT_EQ(TableText::TextToCopy(log, 500, 999), log);  // past the end: nothing selected
    EXPECT_EQ(TableText::TextToCopy(L"", 0, 3), L"");
}

TEST(TableTextTest, CopyKeys) {
    const unsigned kC = 'C', kInsert = 0x2D, kV = 'V';
    EXPECT_TRUE(TableText::IsCopyKey(kC, true, false, false));
    EXPECT_TRUE(TableText::IsCopyKey(kInsert, true, false, false));
    EXPECT_FALSE(TableText::IsCopyKey(kC, false, false, false));  // a letter typed
    EXPECT_FALSE(TableText::IsCopyKey(kC, true, true, false));
    EXPECT_FALSE(TableText::IsCopyKey(kC, true, false, true));    // AltGr is Ctrl+Alt
    EXPECT_FALSE(TableText::IsCopyKey(kInsert, false, true, false));  // Shift+Insert pastes
    EXPECT_FALSE(TableText::IsCopyKey(kV, true, false, false));
}

}  // namespace
