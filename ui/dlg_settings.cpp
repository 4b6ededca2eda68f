#include "ui/dlg_settings.h"

#include "base/text.h"
#include "resources/resource.h"
#include "ui/model/settings_form.h"
#include "win/module.h"

bool DlgSettings::OnInitDialog() {
    SetIcons(Module::SharedIcon(0), Module::SharedIcon(16));
    SetCaption(Module::Text(IDS_SETTINGS_CAPTION));
    SetItemText(IDC_SET_OK, Module::Text(IDS_OK));
    SetItemText(IDC_SET_CANCEL, Module::Text(IDS_CANCEL));
    SetItemText(IDC_SET_GROUP, Module::Text(IDS_ROUNDING));
    SetItemText(IDC_SET_DIGITS_LABEL, Module::Text(IDS_IN_PROGRAM));
    SetItemText(IDC_SET_REPORT_LABEL, Module::Text(IDS_IN_REPORT));
    SetItemText(IDC_SET_PRESSURE, Module::Text(IDS_PRESSURE_CORRECTION));
    SetItemText(IDC_SET_TEMPERATURE, Module::Text(IDS_TEMPERATURE_CORRECTION));
    SetItemText(IDC_SET_DIGITS_PROGRAM, FormatW(L"%d", accessor_.DigitsInProgram()));
    SetItemText(IDC_SET_DIGITS_REPORT, FormatW(L"%d", accessor_.DigitsInReport()));
    SetChecked(IDC_SET_PRESSURE, accessor_.PressureCorrection());
    SetChecked(IDC_SET_TEMPERATURE, accessor_.TemperatureCorrection());  // shown, never enabled
    return true;
}

void DlgSettings::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDC_SET_OK || id == IDOK) {
        SettingsForm form;
        form.digitsInProgram = ItemText(IDC_SET_DIGITS_PROGRAM);
        form.digitsInReport = ItemText(IDC_SET_DIGITS_REPORT);
        form.pressureCorrection = Checked(IDC_SET_PRESSURE);
        form.temperatureCorrection = Checked(IDC_SET_TEMPERATURE);
        ApplySettingsForm(form);
        End(IDOK);
    } else if (id == IDC_SET_CANCEL || id == IDCANCEL) {
        End(IDCANCEL);
    }
}
