#include "calc/linearity_calc.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>

#include "calc/diagnostics.h"
#include "calc/fold.h"
#include "calc/message_log.h"
#include "catalogue/component_catalogue.h"
#include "base/text.h"

namespace {

constexpr double kNormalPressure = 101.325;  // kPa
constexpr double kNormalTemperature = 293.15;  // K
constexpr double kZeroCelsius = 273.15;  // K
constexpr double kRangeLow = 0.005;  // mol%, the lower part of a split
constexpr double kRangeSplit = 0.025;  // mol%

// Ascending, with a value that is not a number after every other, so that a
// stray NaN cannot break the sort.
bool LessNumber(double a, double b) {
    if (a != a) return false;
    if (b != b) return true;
    return a < b;
}

bool InRangePart(double x, int part) {
    if (part == 0) return x >= kRangeLow && x <= kRangeSplit;
    return x > kRangeSplit;
}

const wchar_t* RangePartSuffix(int part) { return part == 0 ? L" (до 0.025 моль%)" : L" (свыше 0.025 моль%)"; }

bool IsSplitComponent(const std::wstring& name) {
    return EqualFoldLatin(name, L"Кислород") || EqualFoldLatin(name, L"Азот") ||
           EqualFoldLatin(name, L"Диоксид углерода");
}

struct ComponentKey {
    int32_t channel;
    std::wstring name;  // folded
    bool operator==(const ComponentKey& o) const { return channel == o.channel && name == o.name; }
};

struct ComponentKeyHash {
    size_t operator()(const ComponentKey& k) const {
        return std::hash<std::wstring>()(k.name) ^ (static_cast<size_t>(static_cast<uint32_t>(k.channel)) * 0x9E3779B1u);
    }
};

}  // namespace

std::wstring ChannelLabel(int32_t channel) { return std::to_wstring(static_cast<int64_t>(channel) + 1); }

bool UsablePressure(const AssayRecord& assay) { return std::isfinite(assay.atmpressure) && assay.atmpressure > 0.0; }

bool UsableTemperature(const AssayRecord& assay) {
    // A record whose file was not read holds 0.0 for both passport values.
    bool fileNotRead = assay.atmpressure == 0.0 && assay.airtemp == 0.0;
    return !fileNotRead && std::isfinite(assay.airtemp) && kZeroCelsius + assay.airtemp > 0.0;
}

LinearityCalc::LinearityCalc() : LinearityCalc(GetComponentCatalogue(), GetMessageLog()) {}

LinearityCalc::LinearityCalc(const ComponentCatalogue& catalogue, MessageLog& log) : catalogue_(catalogue), log_(log) {}

int32_t LinearityCalc::MixtureCount() const {
    if (!mixtures_) return 0;
    int32_t count = 0;
    for (const auto& mixture : *mixtures_)
        if (mixture) ++count;
    return count;
}

void LinearityCalc::Clear() {
    components_.clear();
    channels_.clear();
    settings_.reset();
    mixtures_ = nullptr;
    assays_ = nullptr;
}

void LinearityCalc::Run(const MixtureRecords& mixtures, const AssayRecords& assays) {
    components_.clear();
    mixtures_ = nullptr;
    assays_ = nullptr;
    ResetDiags();
    settings_.reset();
    settings_ = std::make_unique<ProgramSettingsAccessor>();
    pressureCorrection_ = settings_->PressureCorrection();
    temperatureCorrection_ = settings_->TemperatureCorrection();

    bool anyMixture = std::any_of(mixtures.begin(), mixtures.end(), [](const auto& m) { return m != nullptr; });
    if (!anyMixture || assays.empty()) {
        log_.AppendError(std::wstring(L"Для расчет требуется по 5 анализов (посадок) пяти градуировочных смесей, ") +
                         L"ГОСТ 31371.7 - 2020 (пунткы Б.1 и Б.4).");
        return;
    }
    mixtures_ = &mixtures;
    assays_ = &assays;
    Assemble();
    SortComponents();

    // Range parts appended below are not visited themselves.
    const size_t assembled = components_.size();
    for (size_t i = 0; i < assembled; ++i) {
        CalcComponent& component = *components_[i];
        ComputeLevelStats(component);
        if (component.bOk || component.slope == NoValue || !component.catalogueEntry) continue;
        const std::wstring& entryName = component.catalogueEntry->name;
        if (IsSplitComponent(entryName)) {
            for (int part = 0; part < 2; ++part)
                if (CalcComponent* rangePart = SplitByRange(component, part)) ComputeLevelStats(*rangePart);
        } else if (EqualFoldLatin(entryName, L"Метан")) {
            RefitWithIntercept(component);
        }
    }
    Diagnose(*this);
}

double LinearityCalc::CorrectedArea(const AssayRecord& assay, double area) const {
    if (pressureCorrection_ && UsablePressure(assay)) area /= (assay.atmpressure / kNormalPressure);
    if (temperatureCorrection_ && UsableTemperature(assay))
        area /= (kNormalTemperature / (kZeroCelsius + assay.airtemp));
    return area;
}

void LinearityCalc::Assemble() {
    channels_.clear();
    if (!assays_) return;
    std::unordered_map<ComponentKey, CalcComponent*, ComponentKeyHash> byKey;
    for (const auto& component : components_) byKey.emplace(ComponentKey{component->channel, FoldLatin(component->name)},
                                                            component.get());
    ComponentKey key{0, std::wstring()};
    for (const AssayRecord& assay : *assays_) {
        if (!assay.mixtureRecord) continue;
        if (pressureCorrection_ && !UsablePressure(assay)) RaiseFileDiag(DiagCode::kNoPressure, ChromatogramText(assay));
        if (temperatureCorrection_ && !UsableTemperature(assay))
            RaiseFileDiag(DiagCode::kNoTemperature, ChromatogramText(assay));
        for (const PeakRecord& peak : assay.peaks) {
            // One key buffer for every lookup: its text keeps its capacity.
            key.channel = peak.channel;
            key.name.assign(peak.name);
            FoldLatinInPlace(key.name);
            auto found = byKey.find(key);
            CalcComponent* component = found == byKey.end() ? nullptr : found->second;
            double area = CorrectedArea(assay, peak.area);
            bool known = std::any_of(channels_.begin(), channels_.end(),
                                     [&](const ChannelEntry& e) { return e.channel == peak.channel; });
            if (!known) channels_.push_back({peak.channel, ChannelLabel(peak.channel)});
            if (!component) {
                components_.push_back(CreateComponent(peak));
                component = components_.back().get();
                byKey.emplace(key, component);
            }
            if (peak.area != NoValue) AddSample(*component, {&peak, &assay, area});
        }
    }
    std::stable_sort(channels_.begin(), channels_.end(),
                     [](const ChannelEntry& a, const ChannelEntry& b) { return a.channel < b.channel; });
}

std::vector<CalcLevel> LinearityCalc::MakeLevels(const std::wstring& name, int part) const {
    std::vector<CalcLevel> levels;
    if (!mixtures_) return levels;
    for (const auto& mixture : *mixtures_) {
        if (!mixture) continue;
        CalcLevel level;
        level.mixture = mixture.get();
        for (const MixtureComponent& mc : mixture->components) {
            if (!EqualFoldLatin(mc.name, name) || (part >= 0 && !InRangePart(mc.concentration, part))) continue;
            level.conc = mc.concentration;
            level.deviation = mc.deviation;
            break;
        }
        levels.push_back(std::move(level));
    }
    return levels;
}

std::unique_ptr<CalcComponent> LinearityCalc::CreateComponent(const PeakRecord& peak) const {
    auto component = std::make_unique<CalcComponent>();
    component->channel = peak.channel;
    component->name = peak.name;
    component->nameId = peak.nameid;
    component->catalogueEntry = catalogue_.Find(peak.name);
    component->levels = MakeLevels(component->name, -1);
    std::stable_sort(component->levels.begin(), component->levels.end(),
                     [](const CalcLevel& a, const CalcLevel& b) { return LessNumber(a.conc, b.conc); });
    return component;
}

void LinearityCalc::AddSample(CalcComponent& component, const CalcSample& sample) {
    if (!sample.peak || !sample.assay || !sample.assay->mixtureRecord) return;
    component.sumRetention += sample.peak->time;
    ++component.peakCount;
    for (CalcLevel& level : component.levels) {
        if (level.mixture != sample.assay->mixtureRecord) continue;
        level.samples.push_back(sample);
        level.sumArea += sample.area;
        ++level.n;
    }
}

void LinearityCalc::SortComponents() {
    for (auto& component : components_)
        if (component->peakCount > 0) component->meanRetention = component->sumRetention / component->peakCount;
    std::stable_sort(components_.begin(), components_.end(), [](const auto& a, const auto& b) {
        if (a->channel != b->channel) return a->channel < b->channel;
        return LessNumber(a->meanRetention, b->meanRetention);
    });
}

CalcComponent* LinearityCalc::SplitByRange(CalcComponent& source, int part) {
    CalcComponent* rangePart = nullptr;
    for (const CalcLevel& level : source.levels) {
        if (level.meanArea == NoValue || !InRangePart(level.conc, part)) continue;
        if (!rangePart) {
            components_.push_back(CreateRangePart(source, part));
            rangePart = components_.back().get();
            rangePart->isRangePart = true;
        }
        for (const CalcSample& sample : level.samples)
            if (sample.peak && sample.peak->area != NoValue) AddSample(*rangePart, sample);
    }
    return rangePart;
}

std::unique_ptr<CalcComponent> LinearityCalc::CreateRangePart(const CalcComponent& source, int part) const {
    auto rangePart = std::make_unique<CalcComponent>();
    rangePart->name = source.name + RangePartSuffix(part);
    rangePart->nameId = source.nameId;
    rangePart->channel = source.channel;
    rangePart->catalogueEntry = source.catalogueEntry;
    rangePart->meanRetention = source.meanRetention;
    rangePart->levels = MakeLevels(source.name, part);
    return rangePart;
}
