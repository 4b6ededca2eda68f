// Copying a list of the window for a spreadsheet: Ctrl+C (or Ctrl+Insert) in
// the list and the context menu's "Копировать" put the selected rows (all rows
// when none is selected) with the headings of the shown columns on the
// clipboard as text (base/table_text.h), read from the list as it stands: its
// columns in their shown order, its rows in their shown order. A clipboard
// that cannot be had is told the user in a box over the list's window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "base/table_model.h"
#include "win/controls.h"
#include "win/dialog.h"

// Whether the key of a WM_KEYDOWN (or LVN_KEYDOWN) just pressed copies the
// list, with the keyboard's state as the message found it.
bool IsCopyKeyDown(WPARAM virtualKey);

// The point, in screen coordinates, where a context menu of the window opens
// for WM_CONTEXTMENU's lParam: where the mouse was, or a little inside the
// window's top left corner for the keyboard's menu key (-1, -1).
POINT ContextMenuPoint(HWND window, LPARAM lParam);

// The list as it is shown: every column with its heading and width (a hidden
// column has width 0), every row's cells, the columns' shown order and the
// selected rows.
struct ShownList {
    TableModel table;
    std::vector<int> order;
    std::vector<size_t> selected;
};
ShownList ReadShownList(const ListView& list);

// Copies the list, and the picture (a packed bitmap) with it when one is given.
void CopyList(const ListView& list, const std::vector<uint8_t>& picture = {});

// The context menu of a list that has no other: "Копировать", whose command
// IDM_TABLE_COPY goes to `owner`.
void ShowCopyMenu(HWND owner, POINT at);

// A read-only text (the message log's edit control) whose copy -- Ctrl+C,
// Ctrl+Insert, its menu's item, all of which send the edit WM_COPY -- takes
// the selected part, or the whole text when nothing is selected.
class CopyableText : public Control {
protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
