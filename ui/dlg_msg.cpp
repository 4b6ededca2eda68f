#include "ui/dlg_msg.h"

#include "resources/resource.h"
#include "win/module.h"

bool CDlgMSG::OnInitDialog() {
    SetItemText(IDC_LOG_ERRORS, Module::Text(IDS_ERRORS));
    SetItemText(IDC_LOG_WARNINGS, Module::Text(IDS_WARNINGS));
    SetItemText(IDC_LOG_INFO, Module::Text(IDS_INFORMATION));
    SetLayout(IDC_LOG_TEXT, Layout::kFill);
    text_.Attach(Item(IDC_LOG_TEXT));
    ClearLog();
    ShowLog();
    return true;
}

void CDlgMSG::ShowLog() {
    if (!Exists()) return;
    SetChecked(IDC_LOG_ERRORS, log_.showErrors != 0);
    SetChecked(IDC_LOG_WARNINGS, log_.showWarnings != 0);
    SetChecked(IDC_LOG_INFO, log_.showInfo != 0);
    SetItemText(IDC_LOG_TEXT, log_.LogText());
}

void CDlgMSG::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id != IDC_LOG_ERRORS && id != IDC_LOG_WARNINGS && id != IDC_LOG_INFO) {
        Page::OnCommand(id, code);
        return;
    }
    log_.showErrors = Checked(IDC_LOG_ERRORS) ? 1 : 0;
    log_.showWarnings = Checked(IDC_LOG_WARNINGS) ? 1 : 0;
    log_.showInfo = Checked(IDC_LOG_INFO) ? 1 : 0;
    ShowLog();
}

CDlgMSG& MessageLogPage() {
    static CDlgMSG page(GetMessageLog());
    return page;
}
