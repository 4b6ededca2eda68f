#include "ui/dlg_components.h"

#include "resources/resource.h"
#include "win/table_view.h"
#include "win/module.h"

namespace {
constexpr DWORD kExtraListStyle = 0x200;
}

DlgComponents::DlgComponents() : Dialog(IDD_COMPONENTS) {
    CreateDefaultCatalogue();
    LoadCatalogue();
}

bool DlgComponents::OnInitDialog() {
    SetIcons(Module::SharedIcon(0), Module::SharedIcon(16));
    SetItemText(IDC_COMP_OK, Module::Text(IDS_OK));
    SetItemText(IDC_COMP_CANCEL, Module::Text(IDS_CANCEL));
    grid_.Subclass(Item(IDC_COMP_LIST));
    const ListView& list = grid_.List();
    list.AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    list.AddExtendedStyle(kExtraListStyle);
    InsertColumns(list, ComponentsForm::Columns());
    form_.Rebuild(GetComponentCatalogue());  // edits of an opening that ended with Cancel are gone
    FillList();
    return true;
}

void DlgComponents::FillList() { grid_.ShowRows(form_.Rows()); }

int32_t DlgComponents::RowId(int item) const {
    GridRowData* data = grid_.Row(item);
    return data ? data->tag : -1;
}

bool DlgComponents::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.idFrom != IDC_COMP_LIST) return false;
    const auto& notify = reinterpret_cast<const GridNotify&>(header);
    auto item = static_cast<int>(notify.value1);
    auto column = static_cast<int>(notify.value2);
    switch (header.code) {
        case GRIDN_BEGINEDIT:
            result = form_.MayEdit(RowId(item), column) ? 1 : 0;
            return true;
        case GRIDN_CELLCHANGED:
            form_.CellChanged(RowId(item), column, grid_.List().ItemText(item, column));
            result = 1;
            return true;
        default:
            return false;
    }
}

void DlgComponents::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDC_COMP_OK || id == IDOK) {
        form_.Save();
        End(IDOK);
    } else if (id == IDC_COMP_CANCEL || id == IDCANCEL) {
        End(IDCANCEL);
    }
}
