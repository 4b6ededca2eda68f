// The mixture list; it fills the mixture information table of the lower strip.
#include "ui/dlg_mixture_list.h"

#include "host/program_settings.h"
#include "resources/resource.h"
#include "ui/dlg_out_table.h"
#include "ui/model/input_tables.h"
#include "ui/model/results_table.h"
#include "win/table_view.h"

namespace {

int DigitsInProgram() {
    ProgramSettingsAccessor settings;
    return settings.DigitsInProgram();
}

}  // namespace

bool DlgMixtureList::OnInitDialog() {
    grid_.Subclass(Item(IDC_MIXTURE_LIST));
    grid_.List().AddExtendedStyle(kTableStyle);
    InsertColumns(grid_.List(), InputTables::MixtureListColumns());
    SetLayout(IDC_MIXTURE_LIST, Layout::kFill);
    return true;
}

void DlgMixtureList::FillMixtureList() {
    grid_.ClearRows();
    MixtureInfoTable().List().ClearRows();
    grid_.ShowRows(InputTables::MixtureListRows(Mixtures()));
}

bool DlgMixtureList::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.idFrom != IDC_MIXTURE_LIST || header.code != NM_CLICK) return false;
    MixtureInfoTable().List().ClearRows();
    const ListView& list = grid_.List();
    if (list.SelectedCount() == 1) {
        int item = list.NextSelected();
        if (GridRowData* row = item >= 0 ? grid_.Row(item) : nullptr) ShowMixtureInfo(static_cast<uint32_t>(row->tag));
    }
    result = 0;
    return true;
}

void DlgMixtureList::ShowMixtureInfo(uint32_t id) {
    const MixtureRecord* record = InputTables::FindMixture(Mixtures(), id);
    if (!record) return;
    MixtureInfoTable().ShowRows(BuildMixtureInfoTable(*record, DigitsInProgram()));
}

DlgMixtureList& MixtureListPage() {
    static DlgMixtureList page;
    return page;
}
