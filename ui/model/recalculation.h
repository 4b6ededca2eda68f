// The main window's recalculation, in its order: empty the message log, run
// the calculation over the mixture and assay lists with the given correction
// switches, refill the output pages
// (intermediate results, graph, results table), show the message log. The
// pages take part through the steps; a step left empty is skipped.
#pragma once

#include <functional>

#include "calc/calc_records.h"
#include "data/records.h"

class LinearityCalc;
class MessageLog;

struct RecalculationSteps {
    std::function<void()> refillIntermediate;  // the intermediate results page
    std::function<void()> refillGraph;         // the graph page
    std::function<void()> refillResults;       // the results table
    std::function<void()> showLog;             // the message log page
};

// When the calculation fails, its results are dropped, the pages are still
// refilled (empty) and the log shown, and the failure goes on to the caller.
void RunRecalculation(LinearityCalc& calc, MessageLog& log, const MixtureRecords& mixtures,
                      const AssayRecords& assays, const CorrectionSwitches& switches,
                      const RecalculationSteps& steps);
