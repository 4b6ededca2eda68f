// The chromatogram list with its buttons and filter; it fills the
// chromatogram information table of the lower strip.
#include "ui/dlg_assay_list.h"

#include <cstdio>

#include "data/database.h"
#include "data/database_connection.h"
#include "host/program_settings.h"
#include "resources/resource.h"
#include "ui/dlg_mixture_list.h"
#include "ui/dlg_out_table.h"
#include "ui/model/database_failure.h"
#include "ui/model/input_tables.h"
#include "ui/model/results_table.h"
#include "win/module.h"
#include "win/table_copy.h"
#include "win/table_view.h"
#include "win/window_messages.h"

namespace {

int DigitsInProgram() {
    ProgramSettingsAccessor settings;
    return settings.DigitsInProgram();
}

// The main window: the parent of the tab strip that holds the page.
HWND MainWindowOf(HWND page) {
    HWND strip = GetParent(page);
    return strip ? GetParent(strip) : nullptr;
}

}  // namespace

DlgAssayList::DlgAssayList() : Page(IDD_ASSAY_LIST) { RegisterDatabaseErrorFormatter(); }

bool DlgAssayList::OnInitDialog() {
    SetItemText(IDC_ASSAY_ADD, Module::Text(IDS_ADD));
    SetItemText(IDC_ASSAY_DELETE, Module::Text(IDS_DELETE));
    SetItemText(IDC_ASSAY_DELETE_ALL, Module::Text(IDS_DELETE_ALL));
    SetItemText(IDC_ASSAY_OPEN, Module::Text(IDS_OPEN));
    allText_ = Module::Text(IDS_ALL);
    filter_.Bind(Item(IDC_ASSAY_FILTER));
    list_.Bind(Item(IDC_ASSAY_LIST));
    list_.AddExtendedStyle(kTableStyle);
    InsertColumns(list_, InputTables::AssayListColumns());
    SetLayout(IDC_ASSAY_LIST, Layout::kFill);
    // The page outlives its window: a new window shows what is already loaded.
    RebuildFilter();
    filter_.Select(0);
    FillAssayList();
    return true;
}

void DlgAssayList::OnCommand(int id, int code) {
    if (id == IDC_ASSAY_FILTER) {
        if (code == CBN_SELCHANGE) {
            Assays().SortAssays();
            FillAssayList();
        }
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDC_ASSAY_ADD: AddChromatograms(); break;
        case IDC_ASSAY_DELETE: DeleteAssays(false); break;
        case IDC_ASSAY_DELETE_ALL: DeleteAssays(true); break;
        case IDC_ASSAY_OPEN: OpenSelectedFiles(); break;
        case IDM_TABLE_COPY: CopyList(list_); break;
        default: break;
    }
}

bool DlgAssayList::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.idFrom != IDC_ASSAY_LIST) return false;
    if (header.code == NM_CLICK) {
        AssayInfoTable().List().ClearRows();
        if (list_.SelectedCount() == 1) {
            int item = list_.NextSelected();
            if (item >= 0) ShowAssayInfo(static_cast<uint32_t>(list_.ItemData(item)));
        }
    } else if (header.code == NM_DBLCLK) {
        OpenSelectedFiles();
    } else if (header.code == LVN_KEYDOWN) {
        if (IsCopyKeyDown(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey)) CopyList(list_);
    } else {
        return false;
    }
    result = 0;
    return true;
}

void DlgAssayList::AddChromatograms() {
    intptr_t chosen = 0;
    bool added = false;
    std::exception_ptr failure =
        Assays().RunAsOneStep([&] { added = Assays().AddChromatograms(reinterpret_cast<intptr_t>(hwnd_), &chosen); });
    if (failure) return EndFailedStep("добавление хроматограмм", failure);
    if (added) {
        RefreshAssayList();
        return;
    }
    const std::wstring tooMany = InputTables::TooManyChosenText(chosen);
    if (!tooMany.empty()) ShowMessage(MainWindowOf(hwnd_), tooMany, MB_OK | MB_ICONEXCLAMATION);
}

void DlgAssayList::OpenSelectedFiles() {
    const std::vector<uint32_t> ids = SelectedIds();
    std::exception_ptr failure = Assays().RunAsOneStep([&] { Assays().OpenSelectedFiles(ids); });
    if (failure) EndFailedStep("открытие хроматограмм", failure);
}

void DlgAssayList::Reload() {
    std::vector<uint32_t> ids;
    for (const AssayRecord& record : Assays().assays) ids.push_back(record.id);
    std::exception_ptr failure = Assays().RunAsOneStep([&] {
        // Dropped without a request of its own: the caller recalculates once.
        DropAssays(true);
        // With nothing listed there is nothing to read: the database is not opened.
        if (ids.empty()) return;
        DataBase::Database database(DataBaseConnection::GetInstance().GetUri());
        for (uint32_t id : ids) Assays().LoadAssay(database, id);
    });
    Redisplay();
    if (!failure) return;
    MixtureListPage().FillMixtureList();
    // The caller's recalculation runs before the box is shown.
    ShowFailureLater("перезагрузка хроматограмм", failure);
}

void DlgAssayList::EndFailedStep(const char* where, const std::exception_ptr& failure) {
    // The lists are as they were before the step, in new records: everything is
    // shown and calculated again before the box tells what went wrong.
    MixtureListPage().FillMixtureList();
    RefreshAssayList();
    ShowFailureLater(where, failure);
}

void DlgAssayList::ShowFailureLater(const char* where, const std::exception_ptr& failure) {
    pendingWhere_ = where;
    pendingFailure_ = failure;
    // Posted after the recalculation request, so handled after it.
    PostMessageW(hwnd_, kShowFailureMessage, 0, 0);
}

bool DlgAssayList::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_CONTEXTMENU && reinterpret_cast<HWND>(wParam) == list_.Handle()) {
        ShowCopyMenu(hwnd_, ContextMenuPoint(list_.Handle(), lParam));
        result = 0;
        return true;
    }
    if (message != kShowFailureMessage) return false;
    std::exception_ptr failure = std::exchange(pendingFailure_, nullptr);
    ShowStoredFailureBox(MainWindowOf(hwnd_), pendingWhere_, failure);
    result = 0;
    return true;
}

void DlgAssayList::DeleteAssays(bool all) {
    if (DropAssays(all)) RefreshAssayList();
}

bool DlgAssayList::DropAssays(bool all) {
    AssayInfoTable().List().ClearRows();
    const int selection = filter_.Selected();
    InputTables::DeleteOutcome outcome =
        InputTables::DeleteAssays(Assays(), all, selection, selection >= 0 ? filter_.Data(selection) : -1, SelectedIds());
    if (outcome.emptiedBothLists) {
        MixtureListPage().Grid().ClearRows();
        MixtureInfoTable().List().ClearRows();
    }
    return outcome.changed;
}

std::vector<uint32_t> DlgAssayList::SelectedIds() const {
    std::vector<uint32_t> ids;
    for (int item = list_.NextSelected(); item >= 0; item = list_.NextSelected(item))
        ids.push_back(static_cast<uint32_t>(list_.ItemData(item)));
    return ids;
}

void DlgAssayList::RefreshAssayList() {
    Redisplay();
    if (HWND main = MainWindowOf(hwnd_)) PostMessageW(main, kRecalculateMessage, 0, 0);
}

void DlgAssayList::Redisplay() {
    Assays().SortAssays();
    RebuildFilter();
    FillAssayList();
}

void DlgAssayList::RebuildFilter() {
    const int previous = filter_.Selected();
    const int64_t previousData = previous >= 0 ? filter_.Data(previous) : InputTables::kAllData;
    std::vector<InputTables::FilterEntry> entries = InputTables::FilterEntries(allText_, Assays().Mixtures());
    filter_.Clear();
    // Appended, not added: the box sorts what is added, and "Все" stays first.
    for (const InputTables::FilterEntry& entry : entries) filter_.Append(entry.text, static_cast<LPARAM>(entry.data));
    int selection = InputTables::FilterSelectionAfterRebuild(entries, previous, previousData);
    if (selection >= 0) filter_.Select(selection);
}

void DlgAssayList::FillAssayList() {
    AssayInfoTable().List().ClearRows();
    const int selection = filter_.Selected();
    const int64_t data = selection >= 0 ? filter_.Data(selection) : InputTables::kAllData;
    ShowRows(list_, InputTables::AssayListRows(Assays().assays, selection, data));
}

void DlgAssayList::ShowAssayInfo(uint32_t id) {
    const AssayRecord* record = InputTables::FindAssay(Assays().assays, id);
    if (!record) return;
    AssayInfoTable().ShowRows(BuildAssayInfoTable(*record, DigitsInProgram()));
}

DlgAssayList& AssayListPage() {
    static DlgAssayList page;
    return page;
}
