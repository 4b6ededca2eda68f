#include "win/table_copy.h"

#include "base/table_text.h"
#include "resources/resource.h"
#include "win/clipboard.h"
#include "win/module.h"

bool IsCopyKeyDown(WPARAM virtualKey) {
    auto down = [](int key) { return GetKeyState(key) < 0; };
    return TableText::IsCopyKey(static_cast<unsigned>(virtualKey), down(VK_CONTROL), down(VK_SHIFT), down(VK_MENU));
}

POINT ContextMenuPoint(HWND window, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (point.x == -1 && point.y == -1) {
        RECT client;
        GetClientRect(window, &client);
        point = {client.left + 5, client.top + 5};
        ClientToScreen(window, &point);
    }
    return point;
}

ShownList ReadShownList(const ListView& list) {
    ShownList shown;
    const int columns = list.ColumnCount();
    for (int c = 0; c < columns; ++c) shown.table.columns.push_back({list.ColumnHeading(c), list.ColumnWidth(c)});
    shown.order = list.ColumnOrder();
    const int rows = list.ItemCount();
    shown.table.rows.resize(static_cast<size_t>(rows > 0 ? rows : 0));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) shown.table.rows[static_cast<size_t>(r)].cells.push_back(list.ItemText(r, c));
    for (int item = list.NextSelected(); item >= 0; item = list.NextSelected(item))
        shown.selected.push_back(static_cast<size_t>(item));
    return shown;
}

namespace {

// Puts the text (and picture) on the clipboard for the control; what went
// wrong is said in a box over the control's window.
void Copy(HWND control, const std::wstring& text, const std::vector<uint8_t>& picture) {
    HWND window = GetAncestor(control, GA_ROOT);
    const ClipboardOutcome outcome = PutOnClipboard(window, text, picture);
    if (outcome == ClipboardOutcome::kDone) return;
    const UINT what = outcome == ClipboardOutcome::kBusy ? IDS_COPY_BUSY : IDS_COPY_NO_MEMORY;
    ShowMessage(window, Module::Text(what), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void CopyList(const ListView& list, const std::vector<uint8_t>& picture) {
    const ShownList shown = ReadShownList(list);
    const std::wstring text = TableText::ClipboardText(shown.table, shown.order, shown.selected);
    if (!text.empty()) Copy(list.Handle(), text, picture);  // no column shown: the clipboard keeps what it has
}

bool CopyableText::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_COPY) return false;
    DWORD start = 0, end = 0;
    SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = TableText::TextToCopy(TextOf(hwnd_), start, end);
    if (!text.empty()) Copy(hwnd_, text, {});
    result = 0;
    return true;
}

void ShowCopyMenu(HWND owner, POINT at) {
    PopupMenu menu;
    menu.Add(IDM_TABLE_COPY, Module::Text(IDS_COPY), false);
    menu.Track(owner, at.x, at.y);
}
