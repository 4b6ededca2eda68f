#include "ui/pages.h"

#include "resources/resource.h"
#include "win/module.h"

void InsertColumns(const ListView& list, const std::vector<TableColumn>& columns) {
    int index = 0;
    for (const TableColumn& c : columns) list.InsertColumn(index++, c.heading, c.width);
}

bool DlgCalcInfo::OnInitDialog() {
    SetItemText(IDC_CALC_MIXTURE_LABEL, Module::Text(IDS_MIXTURE_LABEL));
    SetItemText(IDC_CALC_CHANNEL_LABEL, Module::Text(IDS_CHANNEL_LABEL));
    list_.Subclass(Item(IDC_TABLE_LIST));
    list_.List().AddExtendedStyle(kTableStyle);
    SetLayout(IDC_TABLE_LIST, Layout::kFill);
    return true;
}

DlgAssayList& AssayListPage() {
    static DlgAssayList page;
    return page;
}
DlgMixtureList& MixtureListPage() {
    static DlgMixtureList page;
    return page;
}
DlgCalcInfo& CalcInfoPage() {
    static DlgCalcInfo page;
    return page;
}
DlgGraphPreview& GraphPage() {
    static DlgGraphPreview page;
    return page;
}
