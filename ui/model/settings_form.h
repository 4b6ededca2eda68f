// The settings dialog's OK, free of windows: reads the two digit fields as a
// whole number the way the run-time's wtoi does, stores what changed and
// writes the profile keys.
#pragma once

#include <string>

// Optional blanks, an optional sign and the leading digits; 0 when there are none.
int ParseLeadingInt(const std::wstring& text);

struct SettingsForm {
    std::wstring digitsInProgram;
    std::wstring digitsInReport;
    bool pressureCorrection = false;
    bool temperatureCorrection = false;
};

// Applies the form to the process-wide program settings: a digit count
// (brought into [kMinDecimals, kMaxDecimals]) that differs from the stored one
// is stored and written; both switches are always stored and written.
void ApplySettingsForm(const SettingsForm& form);
