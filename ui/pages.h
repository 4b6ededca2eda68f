// The pages of the main window's two tab strips. Each page is a process-wide
// object (it outlives the main window being hidden, and later holds the
// page's data); the main window creates its window inside a tab strip.
// Pages here are created from their templates with their texts and columns;
// their content is filled by the parts that own it (the input pages in
// input_pages.cpp).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "ui/model/results_table.h"
#include "data/assay_list.h"
#include "data/lists.h"
#include "data/mixture_list.h"
#include "plot/graph_page_model.h"
#include "ui/grid_ctrl.h"
#include "ui/model/input_tables.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/table_view.h"

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

// Upper strip, tab 0: the chromatograms chosen for the check. The page works
// on the process-wide assay list (data/lists.h), built over the mixture list; every change it makes
// is redisplayed and followed by a request to the main window to recalculate.
class DlgAssayList : public Page {
public:
    DlgAssayList();
    ComboBox& Filter() { return filter_; }
    ListView& List() { return list_; }
    AssayList& Assays() { return TheAssayList(); }

    // Sorts, rebuilds the filter, redisplays, and posts the recalculation request.
    void RefreshAssayList();
    // The main window's reload: drops the chromatograms of the current filter
    // (as "Удалить все"), loads every previously listed id again and
    // redisplays; the caller recalculates. On any failure the lists are put
    // back as they were and the failure box follows the recalculation.
    void Reload();

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;

private:
    void AddChromatograms();
    void DeleteAssays(bool all);
    // The lists' part of DeleteAssays, without redisplay; whether anything went.
    bool DropAssays(bool all);
    void OpenSelectedFiles();
    void Redisplay();
    void RebuildFilter();
    void FillAssayList();
    void ShowAssayInfo(uint32_t id);
    std::vector<uint32_t> SelectedIds() const;
    // A step that failed (the lists are back as before it): redisplays, asks
    // for the recalculation, then shows the failure.
    void EndFailedStep(const char* where, const std::exception_ptr& failure);
    // Shows the failure box once the messages posted before are handled.
    void ShowFailureLater(const char* where, const std::exception_ptr& failure);
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    const char* pendingWhere_ = "";
    std::exception_ptr pendingFailure_;

    std::wstring allText_ = L"All";
    ComboBox filter_;
    ListView list_;
};

// Upper strip, tab 1: the mixtures the chromatograms use. The page shows the
// process-wide mixture list; it never loads or removes mixtures itself.
class DlgMixtureList : public Page {
public:
    DlgMixtureList() : Page(154) {}
    CGridCtrl& Grid() { return grid_; }
    MixtureList& Mixtures() { return TheMixtureList(); }

    // Rebuilds the grid from the mixture list and clears the mixture information table.
    void FillMixtureList();

protected:
    bool OnInitDialog() override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;

private:
    void ShowMixtureInfo(uint32_t id);

    CGridCtrl grid_;
};


// Lower strip, tab 2: intermediate values for one mixture and channel (ui/dlg_calc_info.h).
class DlgCalcInfo;

// Lower strip, tab 4: the graph page. For one channel and one component of
// the last calculation it lists the levels and draws mean area against
// concentration; it also draws the report picture and writes the graph data
// into the report document. What is shown is decided by GraphPageModel; the
// page only puts it into its controls (ui/dlg_graph_preview.cpp).
class DlgGraphPreview : public Page {
public:
    DlgGraphPreview() : Page(157) {}
    CGridCtrl& Levels() { return levels_; }

    // After every calculation: the channels of calc, the first channel's first
    // component shown. calc must outlive the next Refill or Forget.
    void Refill(const LinearityCalc& calc);
    // Before the results are replaced: the page lets go of them.
    void Forget();

    // Refills the component selector for the chosen channel; the number of entries.
    int FillComponentList();
    // Rebuilds the level list and the chart for the chosen component and repaints.
    void UpdateGraph();
    // The report picture into dc (1000 × 1000): -1 without dc, else 0.
    int RenderReportGraph(HDC dc);
    // Draws the report picture onto surface and gives the report's graph data:
    // 0, -1 without results, -2 without a valid component choice.
    int ExportGraphData(DrawSurface& surface, GraphReportData& data);

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int32_t ChosenComponent() const;
    void DrawChart(const DRAWITEMSTRUCT& item);

    GraphPageModel model_;
    ComboBox channels_, components_;
    CGridCtrl levels_;
    long renders_ = 0;  // chart drawings, for the automatic runs
};

// The process-wide pages (the output tables and the message log have headers
// of their own: ui/dlg_out_table.h, ui/dlg_msg.h).
DlgAssayList& AssayListPage();
DlgMixtureList& MixtureListPage();
DlgCalcInfo& CalcInfoPage();
DlgGraphPreview& GraphPage();
