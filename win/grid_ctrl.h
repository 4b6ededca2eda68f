// CGridCtrl: the report-view list used by every table of the plug-in. Rows
// carry a colour record, any cell can be edited in place when the owner
// allows it, header clicks sort when the owner says how, one column may
// stretch over the free width, and the owner (the parent dialog) hears of
// double clicks, selections, context menus and column drags and resizes
// through GridNotify records. Ctrl+C and the context menu's "Копировать" (the
// menu of a grid whose owner shows none of its own) copy it (win/table_copy.h),
// unless the owner, told first, copies it itself. The rules themselves are in base/grid_rules.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/grid_rules.h"
#include "base/table_model.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/grid_edit_cell.h"

// The record attached to every row (LVIF_PARAM), owned by the grid.
struct GridRowData {
    COLORREF textColour = CLR_DEFAULT;
    COLORREF backColour = CLR_DEFAULT;
    int32_t tag = 0;  // free for the owner, e.g. the row's database id
};

// WM_NOTIFY record of the GRIDN_ notifications; wParam is the grid's id.
// The values are pointer-sized so that GRIDN_DBLCLICK's addresses fit.
struct GridNotify {
    NMHDR header;
    intptr_t value1;
    intptr_t value2;
};

enum : UINT {
    GRIDN_CELLCHANGED = GridRules::kCellChanged,
    GRIDN_BEGINEDIT = GridRules::kBeginEdit,
    GRIDN_SELCHANGED = GridRules::kSelChanged,
    GRIDN_CONTEXTMENU = GridRules::kContextMenu,
    GRIDN_SORT = GridRules::kSort,
    GRIDN_COLUMNDRAGGED = GridRules::kColumnDragged,
    GRIDN_BEGINRESIZE = GridRules::kBeginResize,
    GRIDN_COLUMNRESIZED = GridRules::kColumnResized,
    GRIDN_DBLCLICK = GridRules::kDblClick,
    GRIDN_COPY = GridRules::kCopy,
};

class CGridCtrl : public Control {
public:
    CGridCtrl() = default;
    ~CGridCtrl() override;

    // Takes over a list view of a dialog template: report view with grid
    // lines, full-row selection and info tips.
    bool Subclass(HWND window);
    // Makes a new one as a child of `parent`.
    bool Create(HWND parent, int id, const RECT& rect);

    const ListView& List() const { return list_; }
    int AppendRow();
    void ClearRows();
    // Replaces every row by the model's rows, each row's id as its record's
    // tag; drawing is held back until the last row is in.
    void ShowRows(const TableRows& rows);
    GridRowData* Row(int item) const;
    std::wstring GetColumnHeaderText(int column) const;
    CGridCtrlEditCell* StartEdit(int item, int subitem);
    int SortByColumn(int column, bool ascending);
    void FitStretchColumn();
    void SetStretchColumn(int column) { stretchColumn_ = column; }
    // Copies the grid as the owner says (GRIDN_COPY), or as it is shown.
    void Copy();

    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_ != 0; }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override;

private:
    LRESULT Notify(UINT code, intptr_t value1, intptr_t value2) const;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) const;
    void OnDoubleClick(NMITEMACTIVATE& activate);
    void OnEndEdit(const NMLVDISPINFOW& info);
    void OnContextMenu(LPARAM lParam);
    bool OnHeaderNotify(NMHEADERW& header, LRESULT& result);
    void SetSortArrow(int column, bool ascending);
    void DeleteArrows();
    static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM self) noexcept;
    static constexpr int kSortTextCapacity = 512;

    ListView list_;
    int32_t sortColumn_ = -1;
    int32_t sortAscending_ = 1;
    int32_t sortMode_ = 0;
    int32_t stretchColumn_ = -1;
    std::vector<HBITMAP> arrows_;  // header bitmaps made by this grid
};
