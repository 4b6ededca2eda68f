#include "ui/pages.h"

#include "resources/resource.h"
#include "ui/dlg_calc_info.h"
#include "win/module.h"

namespace {
constexpr DWORD kTableStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
}

void InsertColumns(const ListView& list, const std::vector<ColumnSpec>& columns) {
    int index = 0;
    for (const ColumnSpec& c : columns) list.InsertColumn(index++, c.heading, c.width);
}

const std::vector<ColumnSpec>& AssayInfoColumns() {
    static const std::vector<ColumnSpec> columns = {
        {L"№", 40}, {L"Пик", 350}, {L"Канал", 100}, {L"Площадь", 180}, {L"Время выхода, мин", 180}};
    return columns;
}

const std::vector<ColumnSpec>& MixtureInfoColumns() {
    static const std::vector<ColumnSpec> columns = {
        {L"№", 40}, {L"Компонент", 350}, {L"Концентрация, моль%", 200}, {L"Неопределенность, %отн", 200}};
    return columns;
}

const std::vector<ColumnSpec>& ResultsColumns() {
    static const std::vector<ColumnSpec> columns = {
        {L"№", 40},      {L"Пик", 220},      {L"Канал", 60},
        {L"Коэфф. B", 95}, {L"Коэфф. b", 95}, {L"Соотв. b", 65},
        {L"Коэфф. корреляции R", 135}, {L"Норматив", 75}, {L"Соотв. R", 65}};
    return columns;
}

bool DlgAssayList::OnInitDialog() {
    SetItemText(IDC_ASSAY_ADD, Module::Text(IDS_ADD));
    SetItemText(IDC_ASSAY_DELETE, Module::Text(IDS_DELETE));
    SetItemText(IDC_ASSAY_DELETE_ALL, Module::Text(IDS_DELETE_ALL));
    SetItemText(IDC_ASSAY_OPEN, Module::Text(IDS_OPEN));
    // Adding, removing and opening chromatograms come with the assay loading;
    // until then the buttons are shown but not offered.
    for (int id : {IDC_ASSAY_ADD, IDC_ASSAY_DELETE, IDC_ASSAY_DELETE_ALL, IDC_ASSAY_OPEN}) EnableWindow(Item(id), FALSE);
    allText_ = Module::Text(IDS_ALL);
    filter_.Bind(Item(IDC_ASSAY_FILTER));
    filter_.Select(filter_.Add(allText_, -1));
    list_.Bind(Item(IDC_ASSAY_LIST));
    list_.AddExtendedStyle(kTableStyle);
    InsertColumns(list_, {{L"№", 40}, {L"Проба", 350}, {L"Время анализа", 130}, {L"Смесь", 250}});
    SetLayout(IDC_ASSAY_LIST, Layout::kFill);
    return true;
}

bool DlgMixtureList::OnInitDialog() {
    grid_.Subclass(Item(IDC_MIXTURE_LIST));
    grid_.List().AddExtendedStyle(kTableStyle);
    InsertColumns(grid_.List(),
                  {{L"№", 40}, {L"Имя", 400}, {L"Баллон", 180}, {L"Дата выпуска", 100}, {L"Действителен до", 120}});
    SetLayout(IDC_MIXTURE_LIST, Layout::kFill);
    return true;
}

bool CDlgOutTable::OnInitDialog() {
    list_.Subclass(Item(IDC_TABLE_LIST));
    SetLayout(IDC_TABLE_LIST, Layout::kFill);
    return true;
}

bool DlgGraphPreview::OnInitDialog() {
    SetItemText(IDC_GRAPH_COMPONENT_LABEL, Module::Text(IDS_COMPONENT_LABEL));
    SetItemText(IDC_GRAPH_CHANNEL_LABEL, Module::Text(IDS_CHANNEL_LABEL));
    levels_.Subclass(Item(IDC_GRAPH_LEVELS));
    levels_.List().AddExtendedStyle(kTableStyle);
    InsertColumns(levels_.List(), {{L"№", 40}, {L"Концентрация, моль%", 140}, {L"Площадь", 80}});
    SetLayout(IDC_GRAPH_LEVELS, {0, 0, 0, 100});
    SetLayout(IDC_GRAPH_CHART, Layout::kFill);
    return true;
}

bool CDlgMSG::OnInitDialog() {
    SetItemText(IDC_LOG_ERRORS, Module::Text(IDS_ERRORS));
    SetItemText(IDC_LOG_WARNINGS, Module::Text(IDS_WARNINGS));
    SetItemText(IDC_LOG_INFO, Module::Text(IDS_INFORMATION));
    for (int id : {IDC_LOG_ERRORS, IDC_LOG_WARNINGS, IDC_LOG_INFO}) SetChecked(id, true);
    SetLayout(IDC_LOG_TEXT, Layout::kFill);
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
DlgCalcInfo& CalcInfoPage() {
    static DlgCalcInfo page;
    return page;
}
DlgGraphPreview& GraphPage() {
    static DlgGraphPreview page;
    return page;
}
CDlgMSG& MessageLogPage() {
    static CDlgMSG page;
    return page;
}
