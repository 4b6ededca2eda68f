// The linearity check of a detector: from the loaded chromatograms (assays)
// and calibration mixtures, one result per detector channel and component,
// with one level per mixture: the mean peak area and its scatter against the
// precision norm, the calibration line A = b·x + B, each level's deviation
// from the line against its norm, the correlation coefficient R, and the two
// verdicts. Results link to the assay, peak and mixture records (never own
// them); those must stay unchanged until the next Run or Clear.
#pragma once

#include <cstdint>
#include <vector>

#include "calc/calc_records.h"
#include "calc/calibration_line.h"  // the norms the results are judged by
#include "data/records.h"

class ComponentCatalogue;
class Diagnostics;
class MessageLog;

class LinearityCalc {
public:
    using Components = CalcComponents;

    // The calculation matches peaks against the catalogue, raises what makes
    // its result doubtful in the diagnostics and publishes them to the log;
    // the three must outlive it.
    LinearityCalc(const ComponentCatalogue& catalogue, MessageLog& log, Diagnostics& diagnostics);

    // Replaces the previous results by those of the given lists, their peak
    // areas corrected as the switches say; problems go to the diagnostics
    // and the message log.
    void Run(const MixtureRecords& mixtures, const AssayRecords& assays, const CorrectionSwitches& switches);
    // Frees the results and the channel list.
    void Clear();

    const Components& GetComponents() const { return components_; }
    const std::vector<ChannelEntry>& GetChannels() const { return channels_; }
    // The lists of the last run; none before it and after a refused run.
    const MixtureRecords* GetMixtures() const { return mixtures_; }
    const AssayRecords* GetAssays() const { return assays_; }

private:
    const ComponentCatalogue& catalogue_;
    MessageLog& log_;
    Diagnostics& diagnostics_;
    const MixtureRecords* mixtures_ = nullptr;
    const AssayRecords* assays_ = nullptr;
    Components components_;
    std::vector<ChannelEntry> channels_;
};
