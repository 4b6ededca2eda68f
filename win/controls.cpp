#include "win/controls.h"

#include <vector>

#include "win/module.h"

int TabStrip::Insert(int index, const std::wstring& text) const {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(SendMessageW(hwnd_, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&item)));
}

std::wstring TabStrip::Caption(int index) const {
    wchar_t buffer[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 256;
    SendMessageW(hwnd_, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

Layout::Rect TabStrip::ClientRect() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return {r.left, r.top, r.right, r.bottom};
}

int ListView::InsertColumn(int index, const std::wstring& heading, int width, int format) const {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(heading.c_str());
    return static_cast<int>(SendMessageW(hwnd_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&column)));
}

int ListView::ColumnCount() const {
    HWND header = ListView_GetHeader(hwnd_);
    return header ? Header_GetItemCount(header) : 0;
}

std::wstring ListView::ColumnHeading(int column) const {
    std::vector<wchar_t> buffer(512);
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    if (!SendMessageW(hwnd_, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) return L"";
    buffer.back() = L'\0';
    return buffer.data();
}

std::vector<int> ListView::ColumnOrder() const {
    std::vector<int> order(static_cast<size_t>(ColumnCount()));
    if (order.empty()) return order;
    if (!ListView_GetColumnOrderArray(hwnd_, static_cast<int>(order.size()), order.data()))
        for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    return order;
}

void ListView::AddExtendedStyle(DWORD style) const {
    ListView_SetExtendedListViewStyleEx(hwnd_, style, style);
}

int ListView::InsertItem(int index, const std::wstring& text, LPARAM data) const {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = data;
    return static_cast<int>(SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetItemText(int item, int column, const std::wstring& text) const {
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(hwnd_, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

std::wstring ListView::ItemText(int item, int column) const {
    std::vector<wchar_t> buffer(512);
    for (;;) {
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = buffer.data();
        cell.cchTextMax = static_cast<int>(buffer.size());
        auto length = static_cast<size_t>(
            SendMessageW(hwnd_, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)));
        if (length + 1 < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

LPARAM ListView::ItemData(int item) const {
    LVITEMW row{};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    return SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row)) ? row.lParam : 0;
}

// Only a control that has the visible style: switching the drawing back on
// through the default handling sets that style, which would show a hidden one.
RedrawSuspended::RedrawSuspended(HWND window)
    : hwnd_(window && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) ? window : nullptr) {
    if (hwnd_) SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
}

RedrawSuspended::~RedrawSuspended() {
    if (!hwnd_) return;
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

int ComboBox::Add(const std::wstring& text, LPARAM data) const {
    auto index = static_cast<int>(SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    if (index >= 0) SendMessageW(hwnd_, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return index;
}

int ComboBox::Append(const std::wstring& text, LPARAM data) const {
    auto index = static_cast<int>(SendMessageW(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(text.c_str())));
    if (index >= 0) SendMessageW(hwnd_, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return index;
}

void StaticControl::SetIcon(HICON icon) const {
    SendMessageW(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void StaticControl::MakeOwnerDrawn() const {
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_OWNERDRAW);
}

void PopupMenu::Add(UINT command, const std::wstring& text, bool checked) const {
    AppendMenuW(menu_, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), command, text.c_str());
}

void PopupMenu::Track(HWND owner, int x, int y) const {
    TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
}

void AppendSystemMenuItem(HWND window, UINT command, const std::wstring& text) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, command, text.c_str());
}

int ShowMessage(HWND owner, const std::wstring& text, UINT flags) { return ShowMessage(owner, text, L"Tessaro", flags); }

int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags) {
    Module::ActivationScope scope;
    return MessageBoxW(owner, text.c_str(), title.c_str(), flags);
}
