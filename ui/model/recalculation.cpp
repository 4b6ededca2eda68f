#include "ui/model/recalculation.h"

#include <exception>

#include "calc/linearity_calc.h"
#include "calc/message_log.h"

void RunRecalculation(LinearityCalc& calc, MessageLog& log, const MixtureRecords& mixtures,
                      const AssayRecords& assays, const CorrectionSwitches& switches,
                      const RecalculationSteps& steps) {
    log.ClearLog();
    std::exception_ptr failure;
    try {
        calc.Run(mixtures, assays, switches);
    } catch (...) {
        failure = std::current_exception();
        calc.Clear();  // no page may keep half a result
    }
    for (const std::function<void()>* step :
         {&steps.refillIntermediate, &steps.refillGraph, &steps.refillResults, &steps.showLog})
        if (*step) (*step)();
    if (failure) std::rethrow_exception(failure);
}
