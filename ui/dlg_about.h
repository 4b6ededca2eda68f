// CAboutDlg: the modal about box, opened from the main window's system menu:
// name, version, maker, notice and description of the plug-in (the texts
// come from ui/model/about_texts.h).
#pragma once

#include "resources/resource.h"
#include "win/dialog.h"

class CAboutDlg : public Dialog {
public:
    CAboutDlg() : Dialog(IDD_ABOUT) {}

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    HICON picture_ = nullptr;  // the 80 x 80 icon, made for this showing only
};
