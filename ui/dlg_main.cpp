#include "ui/dlg_main.h"

#include <stdexcept>

#include "calc/diagnostics.h"
#include "calc/message_log.h"
#include "data/lists.h"
#include "ui/model/results_table.h"
#include "catalogue/component_catalogue.h"
#include "host/program_settings.h"
#include "host/services.h"
#include "resources/resource.h"
#include "ui/dlg_about.h"
#include "ui/dlg_assay_list.h"
#include "ui/dlg_calc_info.h"
#include "ui/dlg_graph_preview.h"
#include "ui/dlg_mixture_list.h"
#include "ui/dlg_msg.h"
#include "ui/dlg_out_table.h"
#include "ui/model/recalculation.h"
#include "win/gdi_count.h"
#include "win/module.h"
#include "win/window_messages.h"

namespace {
DlgMain* g_main = nullptr;

UINT Registered(const wchar_t* name) { return RegisterWindowMessageW(name); }

const Layout::Rule kUpperStripRule{0, 0, 100, 20};
const Layout::Rule kLowerStripRule{0, 20, 100, 80};
}  // namespace

DlgMain::DlgMain() : Dialog(IDD_MAIN), calc_(GetComponentCatalogue(), GetMessageLog(), GetDiagnostics()) {}

DlgMain::~DlgMain() {
    if (g_main == this) g_main = nullptr;
}

DlgMain* DlgMain::Current() { return g_main; }

void DlgMain::Open(intptr_t hostWindow) {
    if (!g_main) {
        Module::ActivationScope scope;
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
        auto window = std::make_unique<DlgMain>();
        if (!window->Create(reinterpret_cast<HWND>(hostWindow))) return;
        g_main = window.release();  // from now on the window owns the object (PostNcDestroy)
    }
    ShowWindow(g_main->Handle(), SW_SHOWNORMAL);
}

void DlgMain::Close() {
    if (g_main && g_main->Handle() && IsWindow(g_main->Handle())) DestroyWindow(g_main->Handle());
}

void DlgMain::PostNcDestroy() { delete this; }

bool DlgMain::OnInitDialog() {
    SetIcons(Module::SharedIcon(0), Module::SharedIcon(16));
    SetCaption(GetPluginInfoBlock().info.description ? GetPluginInfoBlock().info.description : L"");
    std::wstring about = Module::Text(IDS_ABOUT_ITEM);
    if (!about.empty()) AppendSystemMenuItem(hwnd_, IDM_ABOUT, about);

    settings_ = std::make_unique<DlgSettings>();  // loads the program settings the first time
    components_ = std::make_unique<DlgComponents>();  // builds and loads the component catalogue the first time
    report_ = std::make_unique<DlgReport>();

    RECT window;
    GetWindowRect(hwnd_, &window);
    limits_ = Layout::TrackLimitsFor(window.right - window.left, window.bottom - window.top);

    SetItemText(IDC_MAIN_RECALCULATE, Module::Text(IDS_RECALCULATE));
    SetItemText(IDC_MAIN_COMPONENTS, Module::Text(IDS_COMPONENTS_BUTTON));
    SetItemText(IDC_MAIN_SETTINGS, Module::Text(IDS_SETTINGS_BUTTON));
    SetItemText(IDC_MAIN_REPORT, Module::Text(IDS_REPORT_BUTTON));

    SetLayout(IDC_MAIN_UPPER_TABS, kUpperStripRule);
    SetLayout(IDC_MAIN_LOWER_TABS, kLowerStripRule);

    upper_.tabs.Bind(Item(IDC_MAIN_UPPER_TABS));
    lower_.tabs.Bind(Item(IDC_MAIN_LOWER_TABS));
    AddPage(upper_, IDS_TAB_ASSAYS, AssayListPage(), true);
    AddPage(upper_, IDS_TAB_MIXTURES, MixtureListPage(), false);
    AddPage(lower_, IDS_TAB_ASSAY_INFO, AssayInfoTable(), true);
    AssayInfoTable().SetUpColumns(AssayInfoColumns());
    AddPage(lower_, IDS_TAB_MIXTURE_INFO, MixtureInfoTable(), false);
    MixtureInfoTable().SetUpColumns(MixtureInfoColumns());
    AddPage(lower_, IDS_TAB_CALC_INFO, CalcInfoPage(), false);
    AddPage(lower_, IDS_TAB_RESULTS, ResultsTable(), false);
    ResultsTable().SetUpColumns(ResultsColumns());
    AddPage(lower_, IDS_TAB_GRAPH, GraphPage(), false);
    AddPage(lower_, IDS_TAB_MESSAGES, MessageLogPage(), false);

    Recalculate();
    return true;
}

void DlgMain::AddPage(Strip& strip, int captionId, Dialog& page, bool shown) {
    std::wstring caption = Module::Text(static_cast<UINT>(captionId));
    strip.tabs.Insert(strip.tabs.Count(), caption);
    if (!page.Create(strip.tabs.Handle())) return;
    page.SetCaption(caption);  // not shown (a page has no caption bar); names the page for tools
    Layout::Rect r = Layout::PageRect(strip.tabs.ClientRect());
    MoveWindow(page.Handle(), r.left, r.top, r.Width(), r.Height(), TRUE);
    ShowWindow(page.Handle(), shown ? SW_SHOW : SW_HIDE);
    strip.pages.push_back(&page);
}

void DlgMain::PlacePages(Strip& strip, bool updateNow) {
    if (!strip.tabs.Handle() || !IsWindow(strip.tabs.Handle())) return;
    Layout::Rect r = Layout::PageRect(strip.tabs.ClientRect());
    for (Dialog* page : strip.pages) {
        if (!page->Exists()) continue;
        MoveWindow(page->Handle(), r.left, r.top, r.Width(), r.Height(), TRUE);
        if (updateNow) UpdateWindow(page->Handle());
    }
}

void DlgMain::ShowSelected(Strip& strip) {
    int selected = strip.tabs.Selected();
    for (Dialog* page : strip.pages)
        if (page->Exists()) ShowWindow(page->Handle(), SW_HIDE);
    if (selected >= 0 && selected < static_cast<int>(strip.pages.size()) && strip.pages[selected]->Exists())
        ShowWindow(strip.pages[selected]->Handle(), SW_SHOW);
}

int DlgMain::GraphPageSource::ExportGraphData(DrawSurface& surface, GraphReportData& data) {
    return GraphPage().ExportGraphData(surface, data);
}

int DlgMain::GraphPageSource::ExportDeviationPicture(DrawSurface& surface) {
    return GraphPage().ExportDeviationPicture(surface);
}

void DlgMain::Recalculate() {
    ++recalculations_;
    RecalculationSteps steps;
    steps.refillIntermediate = [this] { CalcInfoPage().Refill(calc_, TheMixtureList().mixtures); };
    steps.refillGraph = [this] { GraphPage().Refill(calc_); };
    steps.refillResults = [this] { ResultsTable().FillResults(calc_); };
    steps.showLog = [] { MessageLogPage().ShowLog(); };
    ProgramSettingsAccessor settings;
    CorrectionSwitches switches{settings.PressureCorrection(), settings.TemperatureCorrection()};
    RunRecalculation(calc_, GetMessageLog(), TheMixtureList().mixtures, TheAssayList().assays, switches, steps);
}

void DlgMain::OnSize(int, int) {
    PlacePages(upper_, true);
    PlacePages(lower_, false);
}

void DlgMain::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDC_MAIN_RECALCULATE:
            // Every listed chromatogram is read from the database again first.
            AssayListPage().Reload();
            Recalculate();
            break;
        case IDC_MAIN_COMPONENTS:
            // The new names take effect in the calculation that follows.
            if (components_ && components_->RunModal(hwnd_) == IDOK) PostMessageW(hwnd_, kRecalculateMessage, 0, 0);
            break;
        case IDC_MAIN_SETTINGS:
            if (settings_ && settings_->RunModal(hwnd_) == IDOK) Recalculate();
            break;
        case IDC_MAIN_REPORT:
            if (report_) {
                report_->SetData(&TheMixtureList().mixtures, &TheAssayList().assays, &calc_, &graphSource_);
                report_->RunModal(hwnd_);
            }
            break;
        case IDOK:
        case IDCANCEL:
            End(id);  // only hides the window
            break;
        default:
            break;
    }
}

bool DlgMain::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.code != TCN_SELCHANGE) return false;
    if (header.idFrom == IDC_MAIN_UPPER_TABS) {
        ShowSelected(upper_);
        if (upper_.tabs.Selected() == 1) MixtureListPage().FillMixtureList();
    } else if (header.idFrom == IDC_MAIN_LOWER_TABS) {
        ShowSelected(lower_);
    } else {
        return false;
    }
    result = 0;
    return true;
}

bool DlgMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUT) {
                CAboutDlg about;
                about.RunModal(hwnd_);
                result = 0;
                return true;
            }
            return false;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {limits_.minWidth, limits_.minHeight};
            info->ptMaxTrackSize = {limits_.maxWidth, limits_.maxHeight};
            result = 0;
            return true;
        }
        case kRecalculateMessage:
            Recalculate();
            result = 0;
            return true;
        default:
            break;
    }
    if (message == Registered(kLiveGdiObjectsMessage)) {
        result = Gdi::LiveObjects();
        return true;
    }
    if (message == Registered(kRecalculationsMessage)) {
        result = recalculations_;
        return true;
    }
    if (message == Registered(kFailForTestMessage)) {
        result = HostServiceAvailable(kTestHooksService) ? 1 : 0;
        if (result && wParam == 1) throw std::runtime_error("test failure inside a window message");
        return true;
    }
    if (message == Registered(kFailNextStepMessage)) {
        result = HostServiceAvailable(kTestHooksService) ? 1 : 0;
        if (result) AssayList::FailNextStepForTest();
        return true;
    }
    return false;
}
