#include "ui/dlg_about.h"

#include "resources/resource.h"
#include "ui/model/about_texts.h"
#include "win/controls.h"
#include "win/gdi_count.h"
#include "win/module.h"

bool CAboutDlg::OnInitDialog() {
    SetIcons(Module::SharedIcon(0), Module::SharedIcon(16));
    SetCaption(Module::Text(IDS_ABOUT_CAPTION));
    picture_ = Gdi::LoadIcon(Module::Instance(), IDI_TESSARO, 80, 80);
    StaticControl icon;
    icon.Bind(Item(IDC_ABOUT_ICON));
    icon.SetIcon(picture_);
    AboutTexts texts = ReadAboutTexts();
    SetItemText(IDC_ABOUT_DESCRIPTION, texts.description);
    SetItemText(IDC_ABOUT_COMPANY, texts.company);
    SetItemText(IDC_ABOUT_NAME, texts.name);
    SetItemText(IDC_ABOUT_VERSION, texts.version);
    SetItemText(IDC_ABOUT_NOTICE, texts.notice);
    return true;
}

bool CAboutDlg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == WM_DESTROY && picture_) {
        // The static does not own the icon it shows.
        StaticControl icon;
        icon.Bind(Item(IDC_ABOUT_ICON));
        icon.SetIcon(nullptr);
        Gdi::DestroyIcon(picture_);
        picture_ = nullptr;
    }
    return false;
}
