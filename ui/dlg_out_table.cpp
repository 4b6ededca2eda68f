#include "ui/dlg_out_table.h"

#include "calc/linearity_calc.h"
#include "host/program_settings.h"
#include "resources/resource.h"

namespace {
int32_t DigitsInProgram() { return ProgramSettingsAccessor().DigitsInProgram(); }
}  // namespace

bool CDlgOutTable::OnInitDialog() {
    list_.Subclass(Item(IDC_TABLE_LIST));
    SetLayout(IDC_TABLE_LIST, Layout::kFill);
    return true;
}

void CDlgOutTable::SetUpColumns(const std::vector<TableColumn>& columns) {
    const ListView& list = list_.List();
    list.AddExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    int index = 0;
    for (const TableColumn& c : columns) list.InsertColumn(index++, c.heading, c.width);
}

void CDlgOutTable::SetNumberCell(int row, int column, double value, int digits) {
    list_.List().SetItemText(row, column, NumberCellText(value, digits));
}

void CDlgOutTable::ShowRows(const OutputTable& table) {
    const ListView& list = list_.List();
    SendMessageW(list.Handle(), WM_SETREDRAW, FALSE, 0);
    list_.ClearRows();
    for (const TableRow& row : table.rows) {
        int index = AppendRow();
        if (index < 0) break;
        int column = 0;
        for (const std::wstring& cell : row.cells) {
            if (!cell.empty()) list.SetItemText(index, column, cell);
            ++column;
        }
    }
    SendMessageW(list.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list.Handle(), nullptr, TRUE);
}

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
