// DlgAssayList: upper strip, tab 0, the chromatograms chosen for the check.
// The page works on the process-wide assay list (data/lists.h), built over
// the mixture list; every change it makes is redisplayed and followed by a
// request to the main window to recalculate. The rows come from
// ui/model/input_tables.h. Ctrl+C and the list's context menu copy the list
// (win/table_copy.h).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "data/assay_list.h"
#include "data/lists.h"
#include "ui/page.h"
#include "win/controls.h"

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

// The process-wide page.
DlgAssayList& AssayListPage();
