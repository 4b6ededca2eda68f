// DlgMixtureList: upper strip, tab 1, the mixtures the chromatograms use. The
// page shows the process-wide mixture list; it never loads or removes
// mixtures itself. The rows come from ui/model/input_tables.h.
#pragma once

#include <cstdint>

#include "data/lists.h"
#include "data/mixture_list.h"
#include "resources/resource.h"
#include "ui/page.h"
#include "win/grid_ctrl.h"

class DlgMixtureList : public Page {
public:
    DlgMixtureList() : Page(IDD_MIXTURE_LIST) {}
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

// The process-wide page.
DlgMixtureList& MixtureListPage();
