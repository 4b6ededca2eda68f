// The linearity check of a detector: from the loaded chromatograms (assays)
// and calibration mixtures, one result per detector channel and component,
// with one level per mixture: the mean peak area and its scatter against the
// precision norm, the calibration line A = b·x + B, each level's deviation
// from the line against its norm, the correlation coefficient R, and the two
// verdicts. Results link to the assay, peak and mixture records (never own
// them); those must stay unchanged until the next Run or Clear.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/no_value.h"
#include "data/records.h"
#include "host/program_settings.h"

struct ComponentDef;
class ComponentCatalogue;
class MessageLog;

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

// The decimal text of channel + 1, as every display shows a channel.
std::wstring ChannelLabel(int32_t channel);

struct ChannelEntry {
    int32_t channel = 0;  // 0-based
    std::wstring label;   // channel + 1
};

class LinearityCalc {
public:
    using Components = std::vector<std::unique_ptr<CalcComponent>>;

    // The catalogue and log default to the process-wide ones.
    LinearityCalc();
    LinearityCalc(const ComponentCatalogue& catalogue, MessageLog& log);

    // Replaces the previous results by those of the given lists; problems go
    // to the diagnostics and the message log.
    void Run(const MixtureRecords& mixtures, const AssayRecords& assays);
    // Frees the results, the channel list and the settings snapshot.
    void Clear();

    const Components& GetComponents() const { return components_; }
    const std::vector<ChannelEntry>& GetChannels() const { return channels_; }
    // The lists of the last run; none before it and after a refused run.
    const MixtureRecords* GetMixtures() const { return mixtures_; }
    const AssayRecords* GetAssays() const { return assays_; }
    // The number of non-empty mixture entries (levels per component).
    int32_t MixtureCount() const;
    MessageLog& Log() const { return log_; }

    // The steps of Run, open for the pages and the tests.
    void Assemble();
    std::unique_ptr<CalcComponent> CreateComponent(const PeakRecord& peak) const;
    static void AddSample(CalcComponent& component, const CalcSample& sample);
    void SortComponents();
    // part 0: 0.005 <= x <= 0.025 mol%; part 1: x > 0.025 mol%. Appends the part
    // and returns it, or none when no level with a mean area lies in the range.
    CalcComponent* SplitByRange(CalcComponent& source, int part);
    std::unique_ptr<CalcComponent> CreateRangePart(const CalcComponent& source, int part) const;

private:
    double CorrectedArea(const AssayRecord& assay, double area) const;
    // One level per non-empty mixture, with the first component of that name
    // (part < 0) or the first of that name inside the range part.
    std::vector<CalcLevel> MakeLevels(const std::wstring& name, int part) const;

    const ComponentCatalogue& catalogue_;
    MessageLog& log_;
    std::unique_ptr<ProgramSettingsAccessor> settings_;
    bool pressureCorrection_ = false;
    bool temperatureCorrection_ = false;
    const MixtureRecords* mixtures_ = nullptr;
    const AssayRecords* assays_ = nullptr;
    Components components_;
    std::vector<ChannelEntry> channels_;
};

// Level statistics and precision norms, then ComputeLine. Adds to the line
// sums: call once per component.
void ComputeLevelStats(CalcComponent& component);
// The line through the origin, the deviation check of every level, R and the verdicts.
void ComputeLine(CalcComponent& component);
// Methane whose first check failed: the least-squares line with an intercept.
void RefitWithIntercept(CalcComponent& component);

// A passport value the corrections can divide by.
bool UsablePressure(const AssayRecord& assay);
bool UsableTemperature(const AssayRecord& assay);

inline constexpr double kRNorm = 0.999;
// R rounded to three decimals is at least the norm.
inline bool CorrelationMeetsNorm(double r) { return std::isfinite(r) && r + 0.0005 >= kRNorm; }
