#include "ui/dlg_calc_info.h"

#include "host/program_settings.h"
#include "resources/resource.h"
#include "win/module.h"

bool DlgCalcInfo::OnInitDialog() {
    SetItemText(IDC_CALC_MIXTURE_LABEL, Module::Text(IDS_MIXTURE_LABEL));
    SetItemText(IDC_CALC_CHANNEL_LABEL, Module::Text(IDS_CHANNEL_LABEL));
    mixtureBox_.Bind(Item(IDC_CALC_MIXTURE));
    channelBox_.Bind(Item(IDC_CALC_CHANNEL));
    columns_.Load();
    columnsLoaded_ = true;
    list_.Subclass(Item(IDC_TABLE_LIST));
    list_.List().AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    columnMenu_ = true;
    const auto& specs = CalcInfoColumns();
    for (size_t i = 0; i < specs.size(); ++i) {
        auto position = static_cast<int32_t>(i);
        int32_t width = columns_.AddColumn(position, specs[i].width, position);
        list_.List().InsertColumn(position, specs[i].heading, width);
    }
    SetLayout(IDC_TABLE_LIST, Layout::kFill);
    return true;
}

void DlgCalcInfo::Release() {
    calc_ = nullptr;
    mixtures_ = nullptr;
    if (!Exists()) return;
    list_.ClearRows();
    mixtureBox_.Clear();
    channelBox_.Clear();
}

void DlgCalcInfo::Refill(const LinearityCalc& calc, const MixtureRecords& mixtures) {
    Release();
    std::vector<SelectorItem> mixtureItems = MixtureSelectorItems(mixtures);
    if (mixtureItems.empty()) return;
    calc_ = &calc;
    mixtures_ = &mixtures;
    if (!Exists()) return;
    for (const SelectorItem& item : mixtureItems) mixtureBox_.Add(item.text, static_cast<LPARAM>(item.data));
    for (const SelectorItem& item : ChannelSelectorItems(calc.GetChannels()))
        channelBox_.Add(item.text, static_cast<LPARAM>(item.data));
    mixtureBox_.Select(0);
    channelBox_.Select(0);
    FillCalcInfo();
}

void DlgCalcInfo::FillCalcInfo() {
    if (!Exists()) return;
    list_.ClearRows();
    if (!calc_) return;
    int mixture = mixtureBox_.Selected(), channel = channelBox_.Selected();
    if (mixture < 0 || channel < 0) return;
    auto mixtureId = static_cast<uint32_t>(mixtureBox_.Data(mixture));
    auto channelNumber = static_cast<int32_t>(channelBox_.Data(channel));
    ProgramSettingsAccessor settings;
    list_.ShowRows(BuildCalcInfoRows(*calc_, mixtureId, channelNumber, settings.DigitsInProgram()));
}

void DlgCalcInfo::OnCommand(int id, int code) {
    if ((id == IDC_CALC_MIXTURE || id == IDC_CALC_CHANNEL) && code == CBN_SELCHANGE) {
        FillCalcInfo();
        return;
    }
    if (code == 0 && id == IDM_TABLE_COPY) {
        list_.Copy();
        return;
    }
    if (code == 0 && id >= kFirstColumnCommand && id <= kLastColumnCommand) {
        auto column = static_cast<size_t>(id - kFirstColumnCommand);
        int32_t width = columns_.Toggle(column);
        if (width >= 0 && static_cast<int>(column) < list_.List().ColumnCount())
            list_.List().SetColumnWidth(static_cast<int>(column), width);
        return;
    }
    Page::OnCommand(id, code);
}

void DlgCalcInfo::ShowColumnMenu(int x, int y) {
    PopupMenu menu;
    const auto& records = columns_.Records();
    int count = list_.List().ColumnCount();
    for (int i = 0; i < count && i <= kLastColumnCommand - kFirstColumnCommand; ++i) {
        bool visible = static_cast<size_t>(i) < records.size() && records[static_cast<size_t>(i)].visible;
        menu.Add(static_cast<UINT>(kFirstColumnCommand + i), list_.GetColumnHeaderText(i), visible);
    }
    // After the columns, so that each column keeps its place in the menu.
    menu.AddSeparator();
    menu.Add(IDM_TABLE_COPY, Module::Text(IDS_COPY), false);
    menu.Track(hwnd_, x, y);
}

bool DlgCalcInfo::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.idFrom != IDC_TABLE_LIST) return false;
    const auto& notify = reinterpret_cast<const GridNotify&>(header);
    switch (header.code) {
        case GRIDN_CONTEXTMENU:
            if (!columnMenu_) return false;
            ShowColumnMenu(static_cast<int>(notify.value1), static_cast<int>(notify.value2));
            result = 1;
            return true;
        case GRIDN_COLUMNRESIZED:
            columns_.Resized(static_cast<size_t>(notify.value1), static_cast<int32_t>(notify.value2));
            result = 1;
            return true;
        default:
            return false;
    }
}

void DlgCalcInfo::SaveColumns() {
    if (!columnsLoaded_) return;
    // Widths the list took without a notification (a divider double click)
    // count as well; hidden columns keep their last shown width.
    int count = list_.List().ColumnCount();
    for (int i = 0; i < count; ++i)
        if (static_cast<size_t>(i) < columns_.Records().size() && columns_.Records()[static_cast<size_t>(i)].visible)
            columns_.Resized(static_cast<size_t>(i), list_.List().ColumnWidth(i));
    columns_.Save();
}

bool DlgCalcInfo::OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) {
    // The settings are written when the window goes, together with its owner
    // and while the host's services are still there, not when the module
    // leaves the process.
    if (message == WM_DESTROY) SaveColumns();
    return false;
}

DlgCalcInfo& CalcInfoPage() {
    static DlgCalcInfo page;
    return page;
}
