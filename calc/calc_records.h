// The records the linearity calculation reads and writes: one result per
// detector channel and component (CalcComponent), with one level per mixture
// (CalcLevel) holding the samples taken for it (CalcSample); the detector
// channels met; and the correction switches a run is told by its caller.
// Results link to the assay, peak and mixture records (never own them).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/no_value.h"
#include "data/records.h"

struct ComponentDef;

struct CalcSample {
    const PeakRecord* peak = nullptr;
    const AssayRecord* assay = nullptr;
    double area = 0.0;  // the peak's area after the optional corrections
};

struct CalcLevel {
    const MixtureRecord* mixture = nullptr;
    double conc = NoValue;       // certified concentration, mol%
    double deviation = NoValue;  // the mixture component's deviation as stored
    std::vector<CalcSample> samples;
    int32_t n = 0;
    double sumArea = 0.0;
    double meanArea = NoValue;
    double rsd = NoValue;  // %
    double uAbs = NoValue;  // mol%
    double uRel = NoValue;  // %
    double rsdNorm = NoValue;  // %
    bool rsdOk = false;
    double calcConc = NoValue;  // mol%, from the line
    double relDev = NoValue;  // %
    double sigmaK = NoValue;  // %
    double devNorm = NoValue;  // %
    bool devOk = false;
};

struct CalcComponent {
    bool isRangePart = false;
    int32_t rangePart = -1;  // of a range part: 0 up to 0.025 mol%, 1 above; -1 the whole range
    int32_t channel = -1;
    std::wstring nameId;
    std::wstring name;
    int32_t levelsUsed = 0;
    double sumX = 0.0, sumY = 0.0, sumXX = 0.0, sumXY = 0.0;
    double slope = NoValue;  // b
    double intercept = 0.0;  // B
    double corrR = NoValue;
    bool rOk = false;
    bool bOk = false;
    const ComponentDef* catalogueEntry = nullptr;
    std::vector<CalcLevel> levels;
    double meanRetention = NoValue;
    double sumRetention = 0.0;
    int32_t peakCount = 0;
};

using CalcComponents = std::vector<std::unique_ptr<CalcComponent>>;

// The decimal text of channel + 1, as every display shows a channel.
// What a range part's name (and its peak's cell) carries after the name.
inline const wchar_t* RangePartSuffix(int part) { return part == 0 ? L" (до 0.025 моль%)" : L" (свыше 0.025 моль%)"; }

inline std::wstring ChannelLabel(int32_t channel) { return std::to_wstring(static_cast<int64_t>(channel) + 1); }

struct ChannelEntry {
    int32_t channel = 0;  // 0-based
    std::wstring label;   // channel + 1
};

// The corrections of peak areas a run applies (the program settings' switches
// in the window, the command-line flags in the check).
struct CorrectionSwitches {
    bool pressureCorrection = false;
    bool temperatureCorrection = false;
};
