// The four program settings: decimals in the windows and in the report, and
// the pressure and temperature corrections of peak areas. They are loaded from
// the profile once per process, by the first accessor constructed, and change
// afterwards only through the settings dialog (Store). Decimals are always
// within [kMinDecimals, kMaxDecimals] (base/text.h), whatever the profile held.
#pragma once

#include <cstdint>

struct ProgramSettingsValues {
    int32_t digitsInProgram = 3;
    int32_t digitsInReport = 3;
    int32_t pressureCorrection = 0;
    int32_t temperatureCorrection = 0;
    bool notYetLoaded = true;
};

// The process-wide values.
ProgramSettingsValues& GetProgramSettingsValues();

// Construct on the stack wherever a setting is needed; the settings dialog
// wraps one and writes through it.
class ProgramSettingsAccessor {
public:
    ProgramSettingsAccessor();

    static constexpr const wchar_t* kSection = L"ProgramSettings";
    static constexpr const wchar_t* kKeyDigitsInProgram = L"qtySymInProg";
    static constexpr const wchar_t* kKeyDigitsInReport = L"qtySymInReport";
    static constexpr const wchar_t* kKeyPressureCorrection = L"enPressCorrect";
    static constexpr const wchar_t* kKeyTemperatureCorrection = L"enTempCorrect";

    int32_t DigitsInProgram() const { return *digitsInProgram_; }
    int32_t DigitsInReport() const { return *digitsInReport_; }
    bool PressureCorrection() const { return *pressureCorrection_ != 0; }
    bool TemperatureCorrection() const { return *temperatureCorrection_ != 0; }

    // Sets the four values and writes them to the profile (the settings
    // dialog's OK). Write failures are not reported: the values stay in memory.
    void Store(int32_t digitsInProgram, int32_t digitsInReport, bool pressureCorrection, bool temperatureCorrection);

private:
    int32_t* digitsInProgram_;
    int32_t* digitsInReport_;
    int32_t* pressureCorrection_;
    int32_t* temperatureCorrection_;
};

// Forgets the loaded values, as a fresh process would (used by tests).
void ResetProgramSettingsForTest();
