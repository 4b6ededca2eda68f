#include "report/report_settings.h"

#include "host/settings.h"

namespace {
constexpr const wchar_t* kDeviceNumber = L"DeviceNumber";
constexpr const wchar_t* kOperator = L"Operator";

struct SwitchKey {
    const wchar_t* key;
    int32_t ReportOptions::*value;
};
constexpr SwitchKey kSwitches[] = {
    {L"enableAssayList", &ReportOptions::assayList},     {L"enableMixtureList", &ReportOptions::mixtureList},
    {L"enableMixtureInfo", &ReportOptions::mixtureInfo}, {L"enableResultCheck", &ReportOptions::checkResults},
    {L"enableGraph", &ReportOptions::graph},
};
}  // namespace

ReportOptions LoadReportOptions() {
    ReportOptions options;
    options.deviceNumber = ReadSettingText(kReportSettingsSection, kDeviceNumber, L"");
    options.operatorName = ReadSettingText(kReportSettingsSection, kOperator, L"");
    for (const SwitchKey& s : kSwitches)
        options.*s.value = ReadSettingInt(kReportSettingsSection, s.key, 0) != 0 ? 1 : 0;
    return options;
}

void StoreReportOptions(const ReportOptions& options) {
    WriteSettingText(kReportSettingsSection, kDeviceNumber, options.deviceNumber);
    WriteSettingText(kReportSettingsSection, kOperator, options.operatorName);
    for (const SwitchKey& s : kSwitches) WriteSettingInt(kReportSettingsSection, s.key, options.*s.value);
}
