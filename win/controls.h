// Thin wrappers over the common controls the windows use: tab strips, list
// views in report view, combo boxes, statics, pop-up and system menus,
// message boxes.
// They hold only the window handle; the control itself keeps the state.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/layout.h"

class TabStrip {
public:
    void Bind(HWND window) { hwnd_ = window; }
    HWND Handle() const { return hwnd_; }
    int Insert(int index, const std::wstring& text) const;
    std::wstring Caption(int index) const;
    int Count() const { return TabCtrl_GetItemCount(hwnd_); }
    int Selected() const { return TabCtrl_GetCurSel(hwnd_); }
    void Select(int index) const { TabCtrl_SetCurSel(hwnd_, index); }
    Layout::Rect ClientRect() const;

private:
    HWND hwnd_ = nullptr;
};

class ListView {
public:
    void Bind(HWND window) { hwnd_ = window; }
    HWND Handle() const { return hwnd_; }
    int InsertColumn(int index, const std::wstring& heading, int width, int format = LVCFMT_LEFT) const;
    int ColumnCount() const;
    int ColumnWidth(int column) const { return ListView_GetColumnWidth(hwnd_, column); }
    std::wstring ColumnHeading(int column) const;
    // The columns' indices in the order the list shows them.
    std::vector<int> ColumnOrder() const;
    void SetColumnWidth(int column, int width) const { ListView_SetColumnWidth(hwnd_, column, width); }
    void AddExtendedStyle(DWORD style) const;
    int ItemCount() const { return ListView_GetItemCount(hwnd_); }
    int InsertItem(int index, const std::wstring& text, LPARAM data) const;
    void SetItemText(int item, int column, const std::wstring& text) const;
    std::wstring ItemText(int item, int column) const;
    LPARAM ItemData(int item) const;
    void DeleteAll() const { ListView_DeleteAllItems(hwnd_); }
    int SelectedCount() const { return static_cast<int>(ListView_GetSelectedCount(hwnd_)); }
    // The first selected row after `after` (-1: from the top); -1 when there is none.
    int NextSelected(int after = -1) const { return ListView_GetNextItem(hwnd_, after, LVNI_SELECTED); }

private:
    HWND hwnd_ = nullptr;
};

// Holds back the drawing of a control while many rows go in, and draws it
// once at the end: a visible list view otherwise updates its scroll bars and
// repaints after every inserted row, which for a few hundred rows takes
// seconds on some systems.
class RedrawSuspended {
public:
    explicit RedrawSuspended(HWND window);
    ~RedrawSuspended();
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

private:
    HWND hwnd_;
};

class ComboBox {
public:
    void Bind(HWND window) { hwnd_ = window; }
    HWND Handle() const { return hwnd_; }
    // Adds an entry (a sorted box puts it in its order); its index, or a negative value.
    int Add(const std::wstring& text, LPARAM data) const;
    // Inserts an entry after the last one, whether the box sorts or not.
    int Append(const std::wstring& text, LPARAM data) const;
    void Clear() const { SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0); }
    int Count() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)); }
    int Selected() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)); }
    void Select(int index) const { SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    LPARAM Data(int index) const { return SendMessageW(hwnd_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0); }

private:
    HWND hwnd_ = nullptr;
};

// A static control: a picture or an owner-drawn area.
class StaticControl {
public:
    void Bind(HWND window) { hwnd_ = window; }
    HWND Handle() const { return hwnd_; }
    // Shows the icon (null: none); the static does not own it.
    void SetIcon(HICON icon) const;
    // From now on the parent draws it (WM_DRAWITEM).
    void MakeOwnerDrawn() const;

private:
    HWND hwnd_ = nullptr;
};

// A pop-up menu that lives for one showing.
class PopupMenu {
public:
    PopupMenu() : menu_(CreatePopupMenu()) {}
    ~PopupMenu() { DestroyMenu(menu_); }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    void Add(UINT command, const std::wstring& text, bool checked) const;
    void AddSeparator() const { AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr); }
    // Shows it at a screen point; the chosen command goes to the owner as WM_COMMAND.
    void Track(HWND owner, int x, int y) const;

private:
    HMENU menu_;
};

// Appends a separator and the item to the window's system menu.
void AppendSystemMenuItem(HWND window, UINT command, const std::wstring& text);

// A message box titled "Tessaro", or with the title given.
int ShowMessage(HWND owner, const std::wstring& text, UINT flags = MB_OK | MB_ICONINFORMATION);
int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags);
