#include "host/program_settings.h"

#include "host/settings.h"
#include "base/text.h"

ProgramSettingsValues& GetProgramSettingsValues() {
    static ProgramSettingsValues values;
    return values;
}

ProgramSettingsAccessor::ProgramSettingsAccessor() {
    ProgramSettingsValues& v = GetProgramSettingsValues();
    digitsInProgram_ = &v.digitsInProgram;
    digitsInReport_ = &v.digitsInReport;
    pressureCorrection_ = &v.pressureCorrection;
    temperatureCorrection_ = &v.temperatureCorrection;
    if (v.notYetLoaded) {
        // A damaged profile may hold any number: the decimals are brought into range here.
        v.digitsInProgram = ClampDecimals(ReadSettingInt(kSection, kKeyDigitsInProgram, 3));
        v.digitsInReport = ClampDecimals(ReadSettingInt(kSection, kKeyDigitsInReport, 3));
        v.pressureCorrection = ReadSettingInt(kSection, kKeyPressureCorrection, 0);
        v.temperatureCorrection = ReadSettingInt(kSection, kKeyTemperatureCorrection, 0);
        v.notYetLoaded = false;
    }
}

void ProgramSettingsAccessor::Store(int32_t digitsInProgram, int32_t digitsInReport, bool pressureCorrection,
                                    bool temperatureCorrection) {
    *digitsInProgram_ = ClampDecimals(digitsInProgram);
    *digitsInReport_ = ClampDecimals(digitsInReport);
    *pressureCorrection_ = pressureCorrection ? 1 : 0;
    *temperatureCorrection_ = temperatureCorrection ? 1 : 0;
    WriteSettingInt(kSection, kKeyDigitsInProgram, *digitsInProgram_);
    WriteSettingInt(kSection, kKeyDigitsInReport, *digitsInReport_);
    WriteSettingInt(kSection, kKeyPressureCorrection, *pressureCorrection_);
    WriteSettingInt(kSection, kKeyTemperatureCorrection, *temperatureCorrection_);
}

void ResetProgramSettingsForTest() { GetProgramSettingsValues() = ProgramSettingsValues{}; }
