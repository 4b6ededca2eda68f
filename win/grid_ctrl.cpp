#include "win/grid_ctrl.h"

#include <algorithm>

#include "resources/resource.h"
#include "win/gdi_count.h"
#include "win/module.h"
#include "win/table_copy.h"

namespace {
constexpr DWORD kSubclassedExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;  // 0x421
}

CGridCtrl::~CGridCtrl() {
    if (hwnd_ && IsWindow(hwnd_)) {
        ClearRows();
        DeleteArrows();
    }
}

bool CGridCtrl::Subclass(HWND window) {
    if (!Attach(window)) return false;
    list_.Bind(window);
    SetWindowLongPtrW(window, GWL_STYLE, (GetWindowLongPtrW(window, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_REPORT);
    ListView_SetExtendedListViewStyle(window, kSubclassedExtendedStyle);
    return true;
}

bool CGridCtrl::Create(HWND parent, int id, const RECT& rect) {
    Module::ActivationScope scope;
    HWND window = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Module::Instance(), nullptr);
    if (!window || !Attach(window)) return false;
    list_.Bind(window);
    list_.AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    return true;
}

LRESULT CGridCtrl::Notify(UINT code, intptr_t value1, intptr_t value2) const {
    GridNotify record{};
    record.header.hwndFrom = hwnd_;
    record.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd_));
    record.header.code = code;
    record.value1 = value1;
    record.value2 = value2;
    return SendMessageW(GetParent(hwnd_), WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
}

int CGridCtrl::AppendRow() {
    int index = list_.InsertItem(list_.ItemCount(), L"", 0);
    if (index < 0) return index;
    auto* row = new GridRowData;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = reinterpret_cast<LPARAM>(row);
    if (!SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item))) delete row;
    return index;
}

GridRowData* CGridCtrl::Row(int item) const { return reinterpret_cast<GridRowData*>(list_.ItemData(item)); }

void CGridCtrl::ClearRows() {
    int count = list_.ItemCount();
    for (int i = 0; i < count; ++i) delete Row(i);
    list_.DeleteAll();
}

void CGridCtrl::ShowRows(const TableRows& rows) {
    RedrawSuspended quiet(hwnd_);
    ClearRows();
    for (const TableRow& row : rows) {
        int item = AppendRow();
        if (item < 0) break;
        if (GridRowData* data = Row(item)) data->tag = static_cast<int32_t>(row.id);
        for (size_t c = 0; c < row.cells.size(); ++c)
            if (!row.cells[c].empty()) list_.SetItemText(item, static_cast<int>(c), row.cells[c]);
    }
}

std::wstring CGridCtrl::GetColumnHeaderText(int column) const {
    HWND header = ListView_GetHeader(hwnd_);
    if (!header) return L"";
    wchar_t buffer[512] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 512;
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) return L"";
    return buffer;
}

CGridCtrlEditCell* CGridCtrl::StartEdit(int item, int subitem) {
    if (item < 0 || subitem < 0 || !ListView_EnsureVisible(hwnd_, item, TRUE)) return nullptr;
    if (Notify(GRIDN_BEGINEDIT, item, subitem) == 0) return nullptr;
    RECT rect{};
    ListView_GetSubItemRect(hwnd_, item, subitem, LVIR_LABEL, &rect);
    rect.top -= 2;
    rect.bottom += 2;
    LVCOLUMNW column{};
    column.mask = LVCF_FMT;
    SendMessageW(hwnd_, LVM_GETCOLUMNW, static_cast<WPARAM>(subitem), reinterpret_cast<LPARAM>(&column));
    int format = column.fmt & LVCFMT_JUSTIFYMASK;
    DWORD alignment = format == LVCFMT_RIGHT ? ES_RIGHT : format == LVCFMT_CENTER ? ES_CENTER : ES_LEFT;
    return CGridCtrlEditCell::Open(hwnd_, item, subitem, list_.ItemText(item, subitem), rect, alignment);
}

void CGridCtrl::OnEndEdit(const NMLVDISPINFOW& info) {
    int item = info.item.iItem, subitem = info.item.iSubItem;
    std::wstring previous = list_.ItemText(item, subitem);
    std::wstring typed = info.item.pszText ? std::wstring(info.item.pszText) : std::wstring();
    GridRules::EndEdit decision = GridRules::DecideEndEdit(info.item.pszText ? &typed : nullptr, previous);
    if (!decision.setText) return;
    list_.SetItemText(item, subitem, typed);
    if (decision.notifyOwner) {
        LRESULT answer = Notify(GRIDN_CELLCHANGED, item, subitem);
        const std::wstring& kept = GridRules::TextAfterOwner(static_cast<long>(answer), typed, previous);
        if (&kept != &typed) list_.SetItemText(item, subitem, kept);
    }
}

int CGridCtrl::SortByColumn(int column, bool ascending) {
    if ((GetWindowLongPtrW(hwnd_, GWL_STYLE) & LVS_NOSORTHEADER) || list_.ItemCount() == 0) return 0;
    sortColumn_ = column;
    sortAscending_ = ascending ? 1 : 0;
    sortMode_ = static_cast<int32_t>(Notify(GRIDN_SORT, column, sortAscending_));
    if (sortMode_ == 0) return 1;
    SetSortArrow(column, ascending);
    SendMessageW(hwnd_, LVM_SORTITEMSEX, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&CompareRows));
    return 1;
}

// Called by the list view in the middle of its sort, with no way for an
// exception to pass: it allocates nothing. Cells are compared by their first
// kSortTextCapacity - 1 characters, far more than any cell of a table holds.
int CALLBACK CGridCtrl::CompareRows(LPARAM first, LPARAM second, LPARAM self) noexcept {
    auto* grid = reinterpret_cast<CGridCtrl*>(self);
    wchar_t a[kSortTextCapacity] = {}, b[kSortTextCapacity] = {};
    ListView_GetItemText(grid->list_.Handle(), static_cast<int>(first), grid->sortColumn_, a, kSortTextCapacity);
    ListView_GetItemText(grid->list_.Handle(), static_cast<int>(second), grid->sortColumn_, b, kSortTextCapacity);
    return GridRules::CompareCells(a, b, grid->sortMode_, grid->sortAscending_ != 0);
}

void CGridCtrl::SetSortArrow(int column, bool ascending) {
    HWND header = ListView_GetHeader(hwnd_);
    if (!header) return;
    int count = Header_GetItemCount(header);
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT | HDI_BITMAP;
        Header_GetItem(header, i, &item);
        if ((item.fmt & HDF_BITMAP) && (item.fmt & HDF_BITMAP_ON_RIGHT)) {
            auto mine = std::find(arrows_.begin(), arrows_.end(), item.hbm);
            if (mine != arrows_.end()) {
                Gdi::Delete(*mine);
                arrows_.erase(mine);
            }
            item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
            item.hbm = nullptr;
            Header_SetItem(header, i, &item);
        }
    }

    HDC screen = GetDC(nullptr);
    HDC dc = Gdi::CreateCompatibleDC(screen);
    HBITMAP bitmap = Gdi::CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    if (!dc || !bitmap) {
        Gdi::DeleteDC(dc);
        Gdi::Delete(bitmap);
        return;
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    Gdi::Owned light(Gdi::CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
    Gdi::Owned dark(Gdi::CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    HGDIOBJ oldPen = SelectObject(dc, light.get());
    for (const GridRules::ArrowLine& line : GridRules::SortArrow(ascending)) {
        SelectObject(dc, line.highlight ? light.get() : dark.get());
        MoveToEx(dc, line.points[0].first, line.points[0].second, nullptr);
        for (size_t p = 1; p < line.points.size(); ++p) LineTo(dc, line.points[p].first, line.points[p].second);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBitmap);
    Gdi::DeleteDC(dc);

    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    Header_GetItem(header, column, &item);
    item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
    item.hbm = bitmap;
    Header_SetItem(header, column, &item);
    arrows_.push_back(bitmap);
}

void CGridCtrl::DeleteArrows() {
    for (HBITMAP bitmap : arrows_) Gdi::Delete(bitmap);
    arrows_.clear();
}

void CGridCtrl::FitStretchColumn() {
    int columns = list_.ColumnCount();
    if (stretchColumn_ < 0 || stretchColumn_ >= columns) return;
    std::vector<int> widths;
    for (int i = 0; i < columns; ++i) widths.push_back(list_.ColumnWidth(i));
    RECT window{};
    GetWindowRect(hwnd_, &window);
    int width = GridRules::StretchWidth(widths, stretchColumn_, window.right - window.left, list_.ItemCount(),
                                        ListView_GetCountPerPage(hwnd_), GetSystemMetrics(SM_CXVSCROLL));
    if (width >= 0) list_.SetColumnWidth(stretchColumn_, width);
}

LRESULT CGridCtrl::OnCustomDraw(NMLVCUSTOMDRAW& draw) const {
    DWORD stage = draw.nmcd.dwDrawStage;
    if (stage == CDDS_ITEMPREPAINT || stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
        auto item = static_cast<int>(draw.nmcd.dwItemSpec);
        auto* row = reinterpret_cast<GridRowData*>(draw.nmcd.lItemlParam);
        bool selected = ListView_GetItemState(hwnd_, item, LVIS_SELECTED) & LVIS_SELECTED;
        GridRules::RowColours own{row ? row->textColour : 0, row ? row->backColour : 0};
        GridRules::RowColours highlight{GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)};
        GridRules::RowColours c =
            GridRules::ChooseRowColours(row != nullptr, own, selected, highlight, {draw.clrText, draw.clrTextBk});
        draw.clrText = c.text;
        draw.clrTextBk = c.background;
    }
    return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
}

void CGridCtrl::OnDoubleClick(NMITEMACTIVATE& activate) {
    LRESULT taken = 0;
    Notify(GRIDN_DBLCLICK, reinterpret_cast<intptr_t>(&activate), reinterpret_cast<intptr_t>(&taken));
    if (taken != 0 || activate.iItem == -1) return;
    if (ListView_GetItemState(hwnd_, activate.iItem, LVIS_FOCUSED) & LVIS_FOCUSED)
        StartEdit(activate.iItem, activate.iSubItem);
    else
        ListView_SetItemState(hwnd_, activate.iItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

bool CGridCtrl::OnReflectedNotify(NMHDR& header, LRESULT& result) {
    switch (header.code) {
        case NM_CUSTOMDRAW:
            result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
            return true;
        case NM_DBLCLK:
            OnDoubleClick(reinterpret_cast<NMITEMACTIVATE&>(header));
            result = 0;
            return true;
        case LVN_ITEMCHANGED: {
            auto& change = reinterpret_cast<NMLISTVIEW&>(header);
            if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED))
                Notify(GRIDN_SELCHANGED, change.iItem, change.iSubItem);
            result = 0;
            return false;  // the owner may want it too
        }
        case LVN_COLUMNCLICK: {
            auto& click = reinterpret_cast<NMLISTVIEW&>(header);
            SortByColumn(click.iSubItem, GridRules::AscendingForClick(click.iSubItem, sortColumn_, sortAscending_ != 0));
            result = 0;
            return true;
        }
        default:
            return false;
    }
}

bool CGridCtrl::OnHeaderNotify(NMHEADERW& header, LRESULT& result) {
    int column = header.iItem;
    switch (header.hdr.code) {
        case HDN_ENDDRAG:
            if (header.pitem && (header.pitem->mask & HDI_ORDER) &&
                GridRules::ReportsColumnChange(list_.ColumnWidth(column)) &&
                Notify(GRIDN_COLUMNDRAGGED, column, header.pitem->iOrder) == 1) {
                result = 1;
                return true;
            }
            return false;
        case HDN_BEGINTRACKA:
        case HDN_BEGINTRACKW:
            if (!GridRules::MayAskBeginResize(list_.ColumnWidth(column))) {
                result = 1;
                return true;
            }
            if (Notify(GRIDN_BEGINRESIZE, column, 0) != 0) {
                result = 1;
                return true;
            }
            return false;
        case HDN_ENDTRACKA:
        case HDN_ENDTRACKW:
            if (header.pitem && (header.pitem->mask & HDI_WIDTH)) {
                if (GridRules::ReportsColumnChange(list_.ColumnWidth(column)) &&
                    Notify(GRIDN_COLUMNRESIZED, column, header.pitem->cxy) == 1) {
                    result = 1;
                    return true;
                }
                result = Default(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
                FitStretchColumn();
                result = 0;
                return true;
            }
            return false;
        default:
            return false;
    }
}

void CGridCtrl::Copy() {
    if (Notify(GRIDN_COPY, 0, 0) == 0) CopyList(list_);
}

// The owner's menu, or when the owner shows none, the grid's own, whose command comes back to the grid.
void CGridCtrl::OnContextMenu(LPARAM lParam) {
    POINT point = ContextMenuPoint(hwnd_, lParam);
    if (Notify(GRIDN_CONTEXTMENU, point.x, point.y) == 0) ShowCopyMenu(hwnd_, point);
}

bool CGridCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->code == LVN_ENDLABELEDITW && header->idFrom == static_cast<UINT_PTR>(IDC_GRID_EDITOR)) {
                OnEndEdit(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
                result = 0;
                return true;
            }
            if (header->hwndFrom == ListView_GetHeader(hwnd_))
                return OnHeaderNotify(*reinterpret_cast<NMHEADERW*>(lParam), result);
            return false;
        }
        case WM_SIZE:
            result = Default(message, wParam, lParam);
            FitStretchColumn();
            return true;
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (GetFocus() != hwnd_) SetFocus(hwnd_);  // ends an open edit
            return false;
        case WM_CONTEXTMENU:
            OnContextMenu(lParam);
            result = 0;
            return true;
        case WM_KEYDOWN:
            if (!IsCopyKeyDown(wParam)) return false;
            Copy();
            result = 0;
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDM_TABLE_COPY || HIWORD(wParam) != 0) return false;
            Copy();
            result = 0;
            return true;
        case WM_DESTROY:
            ClearRows();
            DeleteArrows();
            return false;
        default:
            return false;
    }
}
