// DlgSettings: the modal dialog of the four program settings, over the
// process-wide values of ProgramSettingsAccessor.
#pragma once

#include "host/program_settings.h"
#include "resources/resource.h"
#include "win/dialog.h"

class DlgSettings : public Dialog {
public:
    DlgSettings() : Dialog(IDD_SETTINGS) {}
    const ProgramSettingsAccessor& Values() const { return accessor_; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;

private:
    ProgramSettingsAccessor accessor_;  // loads the values the first time in the process
};
