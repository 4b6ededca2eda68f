#include "base/grid_rules.h"

#include <cwchar>
#include <cwctype>
#include <numeric>

namespace GridRules {

EndEdit DecideEndEdit(const std::wstring* typed, const std::wstring& current) {
    EndEdit result;
    if (typed && *typed != current) result.setText = result.notifyOwner = true;
    return result;
}

EditorKey EditorCharAction(wchar_t character) {
    if (character == 0x1B) return EditorKey::Cancel;
    if (character == L'\r' || character == L'\n') return EditorKey::Commit;
    return EditorKey::Edit;
}

bool EditorKeepsKey(unsigned virtualKey) { return virtualKey != 0x09; }  // VK_TAB

bool AscendingForClick(int column, int sortColumn, bool sortAscending) {
    return column != sortColumn || !sortAscending;
}

double CellNumber(const wchar_t* text) {
    const wchar_t* start = text;
    wchar_t* end = nullptr;
    double value = std::wcstod(start, &end);
    return end == start ? 0.0 : value;
}

namespace {
int CompareNoCase(std::wstring_view a, std::wstring_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        auto x = std::towlower(static_cast<wint_t>(a[i]));
        auto y = std::towlower(static_cast<wint_t>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
}  // namespace

int CompareCells(const wchar_t* first, const wchar_t* second, int sortMode, bool ascending) {
    int result;
    if (sortMode == kSortNumeric) {
        double d = CellNumber(first) - CellNumber(second);
        result = d < 0 ? -1 : (d > 0 ? 1 : 0);
    } else {
        result = CompareNoCase(second, first);
    }
    return ascending ? result : -result;
}

bool MayAskBeginResize(int columnWidth) { return columnWidth != 0; }
bool ReportsColumnChange(int columnWidth) { return columnWidth != 0; }

RowColours ChooseRowColours(bool hasRecord, RowColours record, bool selected, RowColours highlight,
                            RowColours incoming) {
    RowColours c = hasRecord ? record : incoming;
    if (selected) c = highlight;
    return c;
}

int StretchWidth(const std::vector<int>& widths, int stretchColumn, int windowWidth, int rows, int pageRows,
                 int scrollBarWidth) {
    if (stretchColumn < 0 || stretchColumn >= static_cast<int>(widths.size())) return -1;
    int total = std::accumulate(widths.begin(), widths.end(), 0);
    int others = total - widths[stretchColumn];
    int avail = windowWidth - 7 - (rows > pageRows ? scrollBarWidth : 0);
    return others < avail ? avail - others : -1;
}

std::vector<ArrowLine> SortArrow(bool ascending) {
    if (ascending) return {{true, {{8, 4}, {12, 11}, {2, 11}}}, {false, {{3, 11}, {8, 3}}}};
    return {{true, {{11, 4}, {7, 12}}}, {false, {{6, 12}, {3, 4}, {11, 4}}}};
}

}  // namespace GridRules
