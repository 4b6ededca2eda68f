#include "ui/dlg_report.h"

#include "report/report_picture_win.h"
#include "report/report_production.h"
#include "report/report_settings.h"
#include "resources/resource.h"
#include "win/controls.h"
#include "win/module.h"

void DlgReport::SetData(const MixtureRecords* mixtures, const AssayRecords* assays, const LinearityCalc* calc,
                        ReportGraphSource* graph) {
    mixtures_ = mixtures;
    assays_ = assays;
    calc_ = calc;
    graph_ = graph;
}

bool DlgReport::OnInitDialog() {
    SetIcons(Module::SharedIcon(0), Module::SharedIcon(16));
    SetCaption(Module::Text(IDS_REPORT_CAPTION));
    SetItemText(IDC_REP_DEVICE_LABEL, Module::Text(IDS_DEVICE_NUMBER));
    SetItemText(IDC_REP_OPERATOR_LABEL, Module::Text(IDS_OPERATOR));
    SetItemText(IDC_REP_GROUP, Module::Text(IDS_REPORT_CONTENT));
    SetItemText(IDC_REP_ASSAYS, Module::Text(IDS_REPORT_ASSAYS));
    SetItemText(IDC_REP_MIXTURES, Module::Text(IDS_REPORT_MIXTURES));
    SetItemText(IDC_REP_MIXTURE_INFO, Module::Text(IDS_REPORT_MIXTURE_INFO));
    SetItemText(IDC_REP_RESULTS, Module::Text(IDS_REPORT_RESULTS));
    SetItemText(IDC_REP_GRAPH, Module::Text(IDS_TAB_GRAPH));
    SetItemText(IDC_REP_REPORT, Module::Text(IDS_REPORT_BUTTON));
    SetItemText(IDC_REP_OK, Module::Text(IDS_OK));
    SetItemText(IDC_REP_CANCEL, Module::Text(IDS_CANCEL));

    if (options_.deviceNumber.empty() && options_.operatorName.empty()) options_ = LoadReportOptions();
    SetItemText(IDC_REP_DEVICE, options_.deviceNumber);
    SetItemText(IDC_REP_OPERATOR, options_.operatorName);
    SetChecked(IDC_REP_ASSAYS, options_.assayList != 0);
    SetChecked(IDC_REP_MIXTURES, options_.mixtureList != 0);
    SetChecked(IDC_REP_MIXTURE_INFO, options_.mixtureInfo != 0);
    SetChecked(IDC_REP_RESULTS, options_.checkResults != 0);
    SetChecked(IDC_REP_GRAPH, options_.graph != 0);
    return true;
}

void DlgReport::TakeControls() {
    options_.deviceNumber = ItemText(IDC_REP_DEVICE);
    options_.operatorName = ItemText(IDC_REP_OPERATOR);
    options_.assayList = Checked(IDC_REP_ASSAYS) ? 1 : 0;
    options_.mixtureList = Checked(IDC_REP_MIXTURES) ? 1 : 0;
    options_.mixtureInfo = Checked(IDC_REP_MIXTURE_INFO) ? 1 : 0;
    options_.checkResults = Checked(IDC_REP_RESULTS) ? 1 : 0;
    options_.graph = Checked(IDC_REP_GRAPH) ? 1 : 0;
}

void DlgReport::ProduceReport() {
    GdiReportPictures pictures;
    ReportInputs inputs;
    inputs.mixtures = mixtures_;
    inputs.assays = assays_;
    inputs.components = calc_ ? &calc_->GetComponents() : nullptr;
    inputs.options = options_;
    inputs.graph = graph_;
    inputs.pictures = &pictures;
    ReportOutcome outcome = ::ProduceReport(inputs);
    if (outcome.icon == ReportIcon::None) return;
    UINT flags = MB_OK | (outcome.icon == ReportIcon::Error ? MB_ICONHAND : MB_ICONEXCLAMATION);
    ShowMessage(hwnd_, outcome.text, outcome.title, flags);
}

void DlgReport::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDC_REP_REPORT:
            TakeControls();
            ProduceReport();
            break;
        case IDC_REP_OK:
        case IDOK:
            TakeControls();
            StoreReportOptions(options_);
            End(IDOK);
            break;
        case IDC_REP_CANCEL:
        case IDCANCEL:
            End(IDCANCEL);
            break;
        default:
            break;
    }
}
