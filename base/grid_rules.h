// The rules of the editable grid (CGridCtrl), free of any window: what the end
// of an in-place edit does to a cell, which notification a header event sends,
// how rows compare when sorting, which colours a row is drawn in and how wide
// the stretch column becomes. The Win32 control only carries them out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace GridRules {

// Notification codes the grid sends to its owner in a WM_NOTIFY record.
enum Notification : uint32_t {
    kCellChanged = 3426,    // item, subitem; owner 0 rejects the new text
    kBeginEdit = 3427,      // item, subitem; owner non-zero allows editing
    kSelChanged = 3428,     // item, subitem
    kContextMenu = 3429,    // x, y in screen coordinates
    kSort = 3430,           // column, ascending; owner 0 none, 2 numeric, other text
    kColumnDragged = 3431,  // header item, new order; owner 1 cancels
    kBeginResize = 3432,    // column, 0; owner non-zero forbids
    kColumnResized = 3433,  // column, new width; owner 1 cancels
    kDblClick = 3434,       // NMITEMACTIVATE address, result address
    kCopy = 3435,           // 0, 0 before the grid copies itself; owner non-zero has copied it
};

inline constexpr int kSortNumeric = 2;

// What the grid does when an editor reports its text.
struct EndEdit {
    bool setText = false;      // put the new text into the cell
    bool notifyOwner = false;  // then send kCellChanged
};
// `typed` is null when the edit was cancelled with Escape.
EndEdit DecideEndEdit(const std::wstring* typed, const std::wstring& current);
// After kCellChanged: the text the cell keeps (the owner's 0 restores the old one).
inline const std::wstring& TextAfterOwner(long answer, const std::wstring& typed, const std::wstring& previous) {
    return answer == 0 ? previous : typed;
}

// What a key does inside the editor.
enum class EditorKey { Edit, Commit, Cancel };
EditorKey EditorCharAction(wchar_t character);
// Whether the editor keeps a key from the dialog it sits in: every key but
// Tab, which (with or without Shift) goes to the dialog, so it moves the focus
// on and the edit ends as it does on any loss of focus, keeping the text.
bool EditorKeepsKey(unsigned virtualKey);

// Sorting: a header click on a new column sorts ascending, on the same
// column it toggles.
bool AscendingForClick(int column, int sortColumn, bool sortAscending);
// Decimal value of a cell as the numeric sort reads it (no number = 0).
double CellNumber(const wchar_t* text);
// Comparison of two rows' cells: numeric mode small to large, text mode the
// reverse case-insensitive order (Z to A); negated when not ascending.
int CompareCells(const wchar_t* first, const wchar_t* second, int sortMode, bool ascending);

// Header events: the result the header control gets.
// Divider dragged: hidden (width 0) columns refuse without asking the owner.
bool MayAskBeginResize(int columnWidth);
// Column dragged or resized: hidden columns are never reported.
bool ReportsColumnChange(int columnWidth);

// Custom draw colours of one row.
struct RowColours {
    uint32_t text;
    uint32_t background;
};
inline constexpr uint32_t kDefaultColour = 0xFF000000;  // CLR_DEFAULT
// `hasRecord` says whether the row carries its own colours; a selected row
// always takes the highlight colours.
RowColours ChooseRowColours(bool hasRecord, RowColours record, bool selected, RowColours highlight,
                            RowColours incoming);

// The width the stretch column should take, or -1 to leave it. `pageRows`
// and `rows` decide whether a vertical scroll bar takes room.
int StretchWidth(const std::vector<int>& widths, int stretchColumn, int windowWidth, int rows, int pageRows,
                 int scrollBarWidth);

// The arrow drawn on a sorted header: polylines in a 16 x 16 bitmap, the
// highlight lines first, then the shadow lines.
struct ArrowLine {
    bool highlight;
    std::vector<std::pair<int, int>> points;
};
std::vector<ArrowLine> SortArrow(bool ascending);

}  // namespace GridRules
