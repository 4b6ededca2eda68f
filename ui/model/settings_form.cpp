#include "ui/model/settings_form.h"

#include <climits>

#include "host/program_settings.h"
#include "host/settings.h"
#include "base/text.h"

int ParseLeadingInt(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;  // saturate, as the run-time does
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

void ApplySettingsForm(const SettingsForm& form) {
    ProgramSettingsAccessor accessor;  // makes sure the values are loaded
    ProgramSettingsValues& v = GetProgramSettingsValues();
    using A = ProgramSettingsAccessor;
    v.pressureCorrection = form.pressureCorrection ? 1 : 0;
    v.temperatureCorrection = form.temperatureCorrection ? 1 : 0;
    // Typed decimals outside the range are stored as the nearest in range.
    int program = ClampDecimals(ParseLeadingInt(form.digitsInProgram));
    if (program != v.digitsInProgram) {
        v.digitsInProgram = program;
        WriteSettingInt(A::kSection, A::kKeyDigitsInProgram, program);
    }
    int report = ClampDecimals(ParseLeadingInt(form.digitsInReport));
    if (report != v.digitsInReport) {
        v.digitsInReport = report;
        WriteSettingInt(A::kSection, A::kKeyDigitsInReport, report);
    }
    WriteSettingInt(A::kSection, A::kKeyPressureCorrection, v.pressureCorrection);
    WriteSettingInt(A::kSection, A::kKeyTemperatureCorrection, v.temperatureCorrection);
}
