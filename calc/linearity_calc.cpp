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

// A passport value the corrections can divide by.
bool UsablePressure(const AssayRecord& assay) { return std::isfinite(assay.atmpressure) && assay.atmpressure > 0.0; }

bool UsableTemperature(const AssayRecord& assay) {
    // A record whose file was not read holds 0.0 for both passport values.
    bool fileNotRead = assay.atmpressure == 0.0 && assay.airtemp == 0.0;
    return !fileNotRead && std::isfinite(assay.airtemp) && kZeroCelsius + assay.airtemp > 0.0;
}

double CorrectedArea(const AssayRecord& assay, double area, const CorrectionSwitches& switches) {
    if (switches.pressureCorrection && UsablePressure(assay)) area /= (assay.atmpressure / kNormalPressure);
    if (switches.temperatureCorrection && UsableTemperature(assay))
        area /= (kNormalTemperature / (kZeroCelsius + assay.airtemp));
    return area;
}

std::wstring MixtureName(const CalcLevel& level) { return level.mixture ? level.mixture->name : std::wstring(); }

// Codes 8 and 9 for the levels the line functions found outside a norm table.
void RaiseFindings(const CalcComponent& component, const LineFindings& findings, Diagnostics& diagnostics) {
    for (const OutOfTable& finding : findings) {
        int32_t code = finding.table == OutOfTable::kSigmaK ? DiagCode::kOutOfTable4 : DiagCode::kOutOfTable1;
        diagnostics.Raise(code, component.name, MixtureName(component.levels[finding.level]));
    }
}

// One level per non-empty mixture, with the first component of that name
// (part < 0) or the first of that name inside the range part.
std::vector<CalcLevel> MakeLevels(const MixtureRecords& mixtures, const std::wstring& name, int part) {
    std::vector<CalcLevel> levels;
    for (const auto& mixture : mixtures) {
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

void AddToLevel(CalcLevel& level, const CalcSample& sample) {
    level.samples.push_back(sample);
    level.sumArea += sample.area;
    ++level.n;
}

void AddSample(CalcComponent& component, const CalcSample& sample) {
    if (!sample.peak || !sample.assay || !sample.assay->mixtureRecord) return;
    component.sumRetention += sample.peak->time;
    ++component.peakCount;
    for (CalcLevel& level : component.levels)
        if (level.mixture == sample.assay->mixtureRecord) AddToLevel(level, sample);
}

using ComponentMap = std::unordered_map<ComponentKey, size_t, ComponentKeyHash>;
constexpr size_t kNone = static_cast<size_t>(-1);

// The components of one run by channel and folded name, each by its place in
// the result list; the place of each one's level of every mixture and the
// samples that level is to take; and the component of every peak read, in
// reading order.
struct ComponentLookup {
    explicit ComponentLookup(const MixtureRecords& mixtures) {
        for (const auto& mixture : mixtures)
            if (mixture) mixtureOrdinal.emplace(mixture.get(), mixtureOrdinal.size());
    }

    // The ordinal of the assay's mixture among the mixtures listed, kNone for
    // one not listed (its peaks then count for no level).
    size_t MixtureOf(const AssayRecord& assay) const {
        auto found = mixtureOrdinal.find(assay.mixtureRecord);
        return found == mixtureOrdinal.end() ? kNone : found->second;
    }
    // Records where the new component at the given place keeps the level of each mixture.
    void AddLevels(size_t component, const std::vector<CalcLevel>& levels) {
        const size_t count = mixtureOrdinal.size();
        levelOf.resize((component + 1) * count, -1);
        sampleCounts.resize((component + 1) * count, 0);
        for (size_t i = 0; i < levels.size(); ++i)
            levelOf[component * count + mixtureOrdinal.at(levels[i].mixture)] = static_cast<int32_t>(i);
    }
    int32_t LevelOf(size_t component, size_t mixture) const {
        return mixture == kNone ? -1 : levelOf[component * mixtureOrdinal.size() + mixture];
    }
    // The assays of one method list the same peaks in the same order, so a
    // peak with the channel and the very name of the peak in its place in the
    // assay before is of the same component, found without folding or hashing
    // its name; kNone when there is no such peak.
    size_t OfPreviousAssay(size_t place, const PeakRecord& peak) const {
        if (!previous || place >= previous->peaks.size()) return kNone;
        const PeakRecord& before = previous->peaks[place];
        return before.channel == peak.channel && before.name == peak.name ? peakComponents[previousStart + place]
                                                                           : kNone;
    }

    std::unordered_map<const MixtureRecord*, size_t> mixtureOrdinal;
    ComponentMap byKey;
    ComponentKey key{0, std::wstring()};  // one buffer for every lookup: its text keeps its capacity
    std::vector<int32_t> levelOf;  // by component place and mixture ordinal; -1 for none
    std::vector<size_t> sampleCounts;  // the same way
    std::vector<size_t> peakComponents;
    const AssayRecord* previous = nullptr;
    size_t previousStart = 0;  // of its peaks in peakComponents
};

// What the assembly of one run reads and where it puts the results.
struct Assembly {
    const ComponentCatalogue& catalogue;
    const MixtureRecords& mixtures;
    const CorrectionSwitches& switches;
    Diagnostics& diagnostics;
    CalcComponents& components;
    std::vector<ChannelEntry>& channels;

    std::unique_ptr<CalcComponent> CreateComponent(const PeakRecord& peak) const;
    size_t FindOrCreate(const PeakRecord& peak, ComponentLookup& lookup) const;
    // The first pass: the component of every peak and the samples of every level.
    void ResolveAssay(const AssayRecord& assay, ComponentLookup& lookup) const;
    // The second: the samples, into levels of the room they need.
    void FillAssay(const AssayRecord& assay, const ComponentLookup& lookup, size_t& next) const;
    // One component per channel and name (A-Z folding case) with a sample per
    // peak of an assay that has a mixture; the channels met, in order.
    void Assemble(const AssayRecords& assays) const;
};

std::unique_ptr<CalcComponent> Assembly::CreateComponent(const PeakRecord& peak) const {
    auto component = std::make_unique<CalcComponent>();
    component->channel = peak.channel;
    component->name = peak.name;
    component->nameId = peak.nameid;
    component->catalogueEntry = catalogue.Find(peak.name);
    component->levels = MakeLevels(mixtures, component->name, -1);
    std::stable_sort(component->levels.begin(), component->levels.end(),
                     [](const CalcLevel& a, const CalcLevel& b) { return LessNumber(a.conc, b.conc); });
    return component;
}

// A new component comes with the first peak of its channel and name, so the
// channel of a component found is already listed.
size_t Assembly::FindOrCreate(const PeakRecord& peak, ComponentLookup& lookup) const {
    ComponentKey& key = lookup.key;
    key.channel = peak.channel;
    key.name.assign(peak.name);
    FoldLatinInPlace(key.name);
    auto found = lookup.byKey.find(key);
    if (found != lookup.byKey.end()) return found->second;
    bool known = std::any_of(channels.begin(), channels.end(),
                             [&](const ChannelEntry& e) { return e.channel == peak.channel; });
    if (!known) channels.push_back({peak.channel, ChannelLabel(peak.channel)});
    const size_t place = components.size();
    components.push_back(CreateComponent(peak));
    lookup.AddLevels(place, components.back()->levels);
    lookup.byKey.emplace(key, place);
    return place;
}

void Assembly::ResolveAssay(const AssayRecord& assay, ComponentLookup& lookup) const {
    if (switches.pressureCorrection && !UsablePressure(assay))
        diagnostics.RaiseFile(DiagCode::kNoPressure, ChromatogramText(assay));
    if (switches.temperatureCorrection && !UsableTemperature(assay))
        diagnostics.RaiseFile(DiagCode::kNoTemperature, ChromatogramText(assay));
    const size_t mixture = lookup.MixtureOf(assay);
    const size_t start = lookup.peakComponents.size();
    for (size_t place = 0; place < assay.peaks.size(); ++place) {
        const PeakRecord& peak = assay.peaks[place];
        size_t index = lookup.OfPreviousAssay(place, peak);
        if (index == kNone) index = FindOrCreate(peak, lookup);
        lookup.peakComponents.push_back(index);
        if (peak.area != NoValue && mixture != kNone)
            ++lookup.sampleCounts[index * lookup.mixtureOrdinal.size() + mixture];
    }
    lookup.previous = &assay;
    lookup.previousStart = start;
}

// As AddSample, with the level looked up by the mixture's ordinal.
void Assembly::FillAssay(const AssayRecord& assay, const ComponentLookup& lookup, size_t& next) const {
    const size_t mixture = lookup.MixtureOf(assay);
    for (const PeakRecord& peak : assay.peaks) {
        const size_t index = lookup.peakComponents[next++];
        if (peak.area == NoValue) continue;
        CalcComponent& component = *components[index];
        component.sumRetention += peak.time;
        ++component.peakCount;
        const int32_t level = lookup.LevelOf(index, mixture);
        if (level < 0) continue;
        const CalcSample sample{&peak, &assay, CorrectedArea(assay, peak.area, switches)};
        AddToLevel(component.levels[static_cast<size_t>(level)], sample);
    }
}

void Assembly::Assemble(const AssayRecords& assays) const {
    channels.clear();
    ComponentLookup lookup(mixtures);
    for (const AssayRecord& assay : assays)
        if (assay.mixtureRecord) ResolveAssay(assay, lookup);
    const size_t mixtureCount = lookup.mixtureOrdinal.size();
    for (size_t i = 0; i < components.size(); ++i)
        for (size_t m = 0; m < mixtureCount; ++m)
            if (size_t count = lookup.sampleCounts[i * mixtureCount + m])
                components[i]->levels[static_cast<size_t>(lookup.LevelOf(i, m))].samples.reserve(count);
    size_t next = 0;
    for (const AssayRecord& assay : assays)
        if (assay.mixtureRecord) FillAssay(assay, lookup, next);
    std::stable_sort(channels.begin(), channels.end(),
                     [](const ChannelEntry& a, const ChannelEntry& b) { return a.channel < b.channel; });
}

// By channel, then by mean retention time; equal keys keep their order.
void SortComponents(CalcComponents& components) {
    for (auto& component : components)
        if (component->peakCount > 0) component->meanRetention = component->sumRetention / component->peakCount;
    std::stable_sort(components.begin(), components.end(), [](const auto& a, const auto& b) {
        if (a->channel != b->channel) return a->channel < b->channel;
        return LessNumber(a->meanRetention, b->meanRetention);
    });
}

std::unique_ptr<CalcComponent> CreateRangePart(const CalcComponent& source, int part, const MixtureRecords& mixtures) {
    auto rangePart = std::make_unique<CalcComponent>();
    rangePart->name = source.name + RangePartSuffix(part);
    rangePart->rangePart = part;
    rangePart->nameId = source.nameId;
    rangePart->channel = source.channel;
    rangePart->catalogueEntry = source.catalogueEntry;
    rangePart->meanRetention = source.meanRetention;
    rangePart->levels = MakeLevels(mixtures, source.name, part);
    return rangePart;
}

// part 0: 0.005 <= x <= 0.025 mol%; part 1: x > 0.025 mol%. Appends the part
// and returns it, or none when no level with a mean area lies in the range.
CalcComponent* SplitByRange(const CalcComponent& source, int part, const MixtureRecords& mixtures,
                            CalcComponents& components) {
    CalcComponent* rangePart = nullptr;
    for (const CalcLevel& level : source.levels) {
        if (level.meanArea == NoValue || !InRangePart(level.conc, part)) continue;
        if (!rangePart) {
            components.push_back(CreateRangePart(source, part, mixtures));
            rangePart = components.back().get();
            rangePart->isRangePart = true;
        }
        for (const CalcSample& sample : level.samples)
            if (sample.peak && sample.peak->area != NoValue) AddSample(*rangePart, sample);
    }
    return rangePart;
}

}  // namespace

LinearityCalc::LinearityCalc(const ComponentCatalogue& catalogue, MessageLog& log, Diagnostics& diagnostics)
    : catalogue_(catalogue), log_(log), diagnostics_(diagnostics) {}

void LinearityCalc::Clear() {
    components_.clear();
    channels_.clear();
    mixtures_ = nullptr;
    assays_ = nullptr;
}

void LinearityCalc::Run(const MixtureRecords& mixtures, const AssayRecords& assays, const CorrectionSwitches& switches) {
    components_.clear();
    mixtures_ = nullptr;
    assays_ = nullptr;
    diagnostics_.Reset();

    bool anyMixture = std::any_of(mixtures.begin(), mixtures.end(), [](const auto& m) { return m != nullptr; });
    if (!anyMixture || assays.empty()) {
        log_.AppendError(std::wstring(L"Для расчет требуется по 5 анализов (посадок) пяти градуировочных смесей, ") +
                         L"ГОСТ 31371.7 - 2020 (пунткы Б.1 и Б.4).");
        return;
    }
    mixtures_ = &mixtures;
    assays_ = &assays;
    Assembly{catalogue_, mixtures, switches, diagnostics_, components_, channels_}.Assemble(assays);
    SortComponents(components_);

    // Range parts appended below are not visited themselves.
    const size_t assembled = components_.size();
    for (size_t i = 0; i < assembled; ++i) {
        CalcComponent& component = *components_[i];
        RaiseFindings(component, ComputeLevelStats(component), diagnostics_);
        if (component.bOk || component.slope == NoValue || !component.catalogueEntry) continue;
        const std::wstring& entryName = component.catalogueEntry->name;
        if (IsSplitComponent(entryName)) {
            for (int part = 0; part < 2; ++part)
                if (CalcComponent* rangePart = SplitByRange(component, part, mixtures, components_))
                    RaiseFindings(*rangePart, ComputeLevelStats(*rangePart), diagnostics_);
        } else if (EqualFoldLatin(entryName, L"Метан")) {
            RaiseFindings(component, RefitWithIntercept(component), diagnostics_);
        }
    }
    Diagnose(components_, mixtures, assays, diagnostics_);
    diagnostics_.Publish(log_);
}
