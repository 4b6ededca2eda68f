#include "ui/dlg_out_table.h"

#include "calc/linearity_calc.h"
#include "host/program_settings.h"
#include "resources/resource.h"
#include "win/table_view.h"

namespace {
int32_t DigitsInProgram() { return ProgramSettingsAccessor().DigitsInProgram(); }
}  // namespace

bool CDlgOutTable::OnInitDialog() {
    list_.Subclass(Item(IDC_TABLE_LIST));
    SetLayout(IDC_TABLE_LIST, Layout::kFill);
    return true;
}

void CDlgOutTable::SetUpColumns(const std::vector<TableColumn>& columns) {
    list_.List().AddExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    InsertColumns(list_.List(), columns);
}

void CDlgOutTable::ShowRows(const TableModel& table) { list_.ShowRows(table.rows); }

void CDlgOutTable::FillResults(const LinearityCalc& calc) { ShowRows(BuildResultsTable(calc, DigitsInProgram())); }

void CDlgOutTable::FillAssayInfo(const AssayRecord* assay) {
    if (assay)
        ShowRows(BuildAssayInfoTable(*assay, DigitsInProgram()));
    else
        list_.ClearRows();
}

void CDlgOutTable::FillMixtureInfo(const MixtureRecord* mixture) {
    if (mixture)
        ShowRows(BuildMixtureInfoTable(*mixture, DigitsInProgram()));
    else
        list_.ClearRows();
}

CDlgOutTable& AssayInfoTable() {
    static CDlgOutTable page;
    return page;
}
CDlgOutTable& MixtureInfoTable() {
    static CDlgOutTable page;
    return page;
}
CDlgOutTable& ResultsTable() {
    static CDlgOutTable page;
    return page;
}
