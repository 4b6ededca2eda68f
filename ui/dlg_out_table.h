// CDlgOutTable: a lower page that is one plain table. Three of them show the
// peaks of a chromatogram, the composition of a mixture and the results of
// the calculation. The rows and texts come from ui/model/results_table.h; this
// page only puts them on screen.
#pragma once

#include <vector>

#include "resources/resource.h"
#include "ui/model/results_table.h"
#include "ui/page.h"
#include "win/grid_ctrl.h"

class LinearityCalc;

class CDlgOutTable : public Page {
public:
    CDlgOutTable() : Page(IDD_OUT_TABLE) {}
    CGridCtrl& List() { return list_; }

    // Full-row selection, grid lines and the table's columns; the window must exist.
    void SetUpColumns(const std::vector<TableColumn>& columns);

    // Replaces every row by the table's rows (the columns stay).
    void ShowRows(const TableModel& table);
    // The results of the calculation, one row per component.
    void FillResults(const LinearityCalc& calc);
    // The peaks of one chromatogram; none empties the table.
    void FillAssayInfo(const AssayRecord* assay);
    // The certified components of one mixture; none empties the table.
    void FillMixtureInfo(const MixtureRecord* mixture);

protected:
    bool OnInitDialog() override;

private:
    CGridCtrl list_;
};

// The three process-wide tables of the lower strip.
CDlgOutTable& AssayInfoTable();
CDlgOutTable& MixtureInfoTable();
CDlgOutTable& ResultsTable();
