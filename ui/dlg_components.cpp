#include "ui/dlg_components.h"

#include "resources/resource.h"
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
    int position = 0;
    for (const GridColumn& column : ComponentsForm::Columns()) list.InsertColumn(position++, column.heading, column.width);
    form_.Rebuild(GetComponentCatalogue());  // edits of an opening that ended with Cancel are gone
    FillList();
    return true;
}

void DlgComponents::FillList() {
    grid_.ClearRows();
    const ListView& list = grid_.List();
    for (size_t i = 0; i < form_.Records().size(); ++i) {
        int row = grid_.AppendRow();
        if (row < 0) continue;
        if (GridRowData* data = grid_.Row(row)) data->tag = form_.Records()[i].id;
        std::vector<std::wstring> texts = form_.RowTexts(i);
        for (size_t c = 0; c < texts.size(); ++c) list.SetItemText(row, static_cast<int>(c), texts[c]);
    }
}

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
