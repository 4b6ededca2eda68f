// CGridCtrlEditCell: the in-place editor of one cell of the grid
// (win/grid_ctrl.h). It is an edit control over the cell; when it loses the
// focus it hands its text to the grid as an LVN_ENDLABELEDITW notification
// (no text after Escape) and goes.
#pragma once

#include <cstdint>
#include <string>

#include "win/dialog.h"

// The in-place editor of one cell; it deletes itself when its window goes.
class CGridCtrlEditCell : public Control {
public:
    // Opens the editor over the cell's rectangle of the grid window, showing
    // `initial` (the cell's text) all selected.
    static CGridCtrlEditCell* Open(HWND grid, int item, int subitem, const std::wstring& initial, const RECT& rect,
                                   DWORD alignment);

    int Item() const { return item_; }
    int Subitem() const { return subitem_; }

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnFinalMessage() override { delete this; }

private:
    CGridCtrlEditCell(HWND grid, int item, int subitem, std::wstring initial)
        : grid_(grid), item_(item), subitem_(subitem), initial_(std::move(initial)) {}
    void Finish();

    HWND grid_;
    int32_t item_;
    int32_t subitem_;
    std::wstring initial_;
    int32_t cancelled_ = 0;
    bool finished_ = false;
};
