#include "win/grid_edit_cell.h"

#include "base/grid_rules.h"
#include "resources/resource.h"
#include "win/module.h"

CGridCtrlEditCell* CGridCtrlEditCell::Open(HWND grid, int item, int subitem, const std::wstring& initial,
                                           const RECT& rect, DWORD alignment) {
    auto* cell = new CGridCtrlEditCell(grid, item, subitem, initial);
    Module::ActivationScope scope;
    HWND window = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | alignment,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, grid,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_GRID_EDITOR)),
                                  Module::Instance(), nullptr);
    if (!window || !cell->Attach(window)) {
        if (window) DestroyWindow(window);
        delete cell;
        return nullptr;
    }
    SendMessageW(window, WM_SETFONT, static_cast<WPARAM>(SendMessageW(grid, WM_GETFONT, 0, 0)), FALSE);
    SetWindowTextW(window, cell->initial_.c_str());
    SetFocus(window);
    SendMessageW(window, EM_SETSEL, 0, -1);
    SendMessageW(window, EM_SCROLLCARET, 0, 0);
    return cell;
}

void CGridCtrlEditCell::Finish() {
    if (finished_) return;
    finished_ = true;
    std::wstring text = TextOf(hwnd_);
    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = grid_;
    info.hdr.idFrom = static_cast<UINT_PTR>(IDC_GRID_EDITOR);
    info.hdr.code = LVN_ENDLABELEDITW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = item_;
    info.item.iSubItem = subitem_;
    info.item.pszText = cancelled_ ? nullptr : &text[0];
    info.item.cchTextMax = static_cast<int>(text.size());
    SendMessageW(grid_, WM_NOTIFY, static_cast<WPARAM>(IDC_GRID_EDITOR), reinterpret_cast<LPARAM>(&info));
    DestroyWindow(hwnd_);
}

bool CGridCtrlEditCell::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter, Escape, Delete and Ctrl keys belong to the editor, not to
            // the dialog; Tab goes to the dialog, which moves the focus on.
            const MSG* key = reinterpret_cast<const MSG*>(lParam);
            bool tab = key && key->message == WM_KEYDOWN && !GridRules::EditorKeepsKey(static_cast<unsigned>(key->wParam));
            result = Default(message, wParam, lParam) | (tab ? 0 : DLGC_WANTALLKEYS);
            return true;
        }
        case WM_CHAR:
            switch (GridRules::EditorCharAction(static_cast<wchar_t>(wParam))) {
                case GridRules::EditorKey::Cancel:
                    cancelled_ = 1;
                    SetFocus(grid_);
                    return true;
                case GridRules::EditorKey::Commit:
                    SetFocus(grid_);
                    return true;
                case GridRules::EditorKey::Edit:
                    return false;
            }
            return false;
        case WM_KILLFOCUS:
            result = Default(message, wParam, lParam);
            Finish();
            return true;
        default:
            return false;
    }
}
