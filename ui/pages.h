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

// Lower strip: a plain table (chromatogram information, mixture information, results).
class CDlgOutTable : public Page {
public:
    CDlgOutTable() : Page(150) {}
    CGridCtrl& List() { return list_; }

protected:
    bool OnInitDialog() override;

private:
    CGridCtrl list_;
};

// Lower strip, tab 2: intermediate values for one mixture and channel (ui/dlg_calc_info.h).
class DlgCalcInfo;

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

// Lower strip, tab 5: the message log with its three kinds of entries.
class CDlgMSG : public Page {
public:
    CDlgMSG() : Page(151) {}

protected:
    bool OnInitDialog() override;
};

// The process-wide pages.
DlgAssayList& AssayListPage();
DlgMixtureList& MixtureListPage();
CDlgOutTable& AssayInfoTable();
CDlgOutTable& MixtureInfoTable();
CDlgOutTable& ResultsTable();
DlgCalcInfo& CalcInfoPage();
DlgGraphPreview& GraphPage();
CDlgMSG& MessageLogPage();

// Columns of the three output tables.
const std::vector<ColumnSpec>& AssayInfoColumns();
const std::vector<ColumnSpec>& MixtureInfoColumns();
const std::vector<ColumnSpec>& ResultsColumns();
