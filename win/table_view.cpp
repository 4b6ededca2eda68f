#include "win/table_view.h"

void InsertColumns(const ListView& list, const std::vector<TableColumn>& columns) {
    int index = 0;
    for (const TableColumn& c : columns) list.InsertColumn(index++, c.heading, c.width);
}

void ShowRows(const ListView& list, const TableRows& rows) {
    RedrawSuspended quiet(list.Handle());
    list.DeleteAll();
    ListView_SetItemCount(list.Handle(), static_cast<int>(rows.size()));
    int item = 0;
    for (const TableRow& row : rows) {
        if (list.InsertItem(item, row.cells.empty() ? std::wstring() : row.cells[0], static_cast<LPARAM>(row.id)) < 0)
            break;
        for (size_t c = 1; c < row.cells.size(); ++c) list.SetItemText(item, static_cast<int>(c), row.cells[c]);
        ++item;
    }
}
