// DlgSettings: the modal dialog of the four program settings, over the
// process-wide values of ProgramSettingsAccessor.
#pragma once

#include "host/program_settings.h"
#include "win/dialog.h"

class DlgSettings : public Dialog {
public:
    DlgSettings() : Dialog(156) {}
    const ProgramSettingsAccessor& Values() const { return accessor_; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;

private:
    ProgramSettingsAccessor accessor_;  // loads the values the first time in the process
};

// CAboutDlg: name, version, maker, notice and description of the plug-in.
class CAboutDlg : public Dialog {
public:
    CAboutDlg() : Dialog(152) {}

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    HICON picture_ = nullptr;  // the 80 x 80 icon, made for this showing only
};
