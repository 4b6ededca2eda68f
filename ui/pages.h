// The pages of the main window's two tab strips. Each page is a process-wide
// object (it outlives the main window being hidden, and later holds the
// page's data); the main window creates its window inside a tab strip.
// Pages here are created from their templates with their texts and columns;
// their content is filled by the parts that own it.
#pragma once

#include <string>
#include <vector>

#include "ui/grid_ctrl.h"
#include "win/controls.h"
#include "win/dialog.h"

// A child page of a tab strip: Enter and Escape in it belong to the window.
class Page : public Dialog {
public:
    using Dialog::Dialog;

protected:
    void OnOK() override {}
    void OnCancel() override {}
};

struct ColumnSpec {
    const wchar_t* heading;
    int width;
};
void InsertColumns(const ListView& list, const std::vector<ColumnSpec>& columns);

// Upper strip, tab 0: the chromatograms chosen for the check.
class DlgAssayList : public Page {
public:
    DlgAssayList() : Page(153) {}
    ComboBox& Filter() { return filter_; }
    ListView& List() { return list_; }

protected:
    bool OnInitDialog() override;

private:
    std::wstring allText_ = L"All";
    ComboBox filter_;
    ListView list_;
};

// Upper strip, tab 1: the mixtures the chromatograms use.
class DlgMixtureList : public Page {
public:
    DlgMixtureList() : Page(154) {}
    CGridCtrl& Grid() { return grid_; }

protected:
    bool OnInitDialog() override;

private:
    CGridCtrl grid_;
};

// Lower strip, tab 2: intermediate values for one mixture and channel.
class DlgCalcInfo : public Page {
public:
    DlgCalcInfo() : Page(155) {}
    CGridCtrl& List() { return list_; }

protected:
    bool OnInitDialog() override;

private:
    CGridCtrl list_;
};

// Lower strip, tab 4: levels and chart of one component.
class DlgGraphPreview : public Page {
public:
    DlgGraphPreview() : Page(157) {}
    CGridCtrl& Levels() { return levels_; }

protected:
    bool OnInitDialog() override;

private:
    CGridCtrl levels_;
};

// The process-wide pages (the output tables and the message log have headers
// of their own: ui/dlg_out_table.h, ui/dlg_msg.h).
DlgAssayList& AssayListPage();
DlgMixtureList& MixtureListPage();
DlgCalcInfo& CalcInfoPage();
DlgGraphPreview& GraphPage();
