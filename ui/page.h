// The pages of the main window's two tab strips. Each page is a process-wide
// object (it outlives the main window being hidden, and later holds the
// page's data); the main window creates its window inside a tab strip.
// Pages are created from their templates with their texts and columns;
// their content is filled by the parts that own it. Every page has a file
// of its own (ui/dlg_assay_list.h, ui/dlg_mixture_list.h, ui/dlg_calc_info.h,
// ui/dlg_graph_preview.h, ui/dlg_out_table.h, ui/dlg_msg.h).
#pragma once

#include "win/dialog.h"

// A child page of a tab strip: Enter and Escape in it belong to the window.
class Page : public Dialog {
public:
    using Dialog::Dialog;

protected:
    void OnOK() override {}
    void OnCancel() override {}
};

// Extended styles of every table.
inline constexpr DWORD kTableStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
