// The main window's recalculation: the log is emptied before the calculation
// runs, and the pages refill, in their order, from the new results.
#include <string>
#include <vector>

#include "tests/unit/calc_fixture.h"
#include "ui/model/recalculation.h"

namespace {

TEST_F(CalcTest, RecalculationEmptiesTheLogThenRefillsThePagesInOrderFromTheNewResults) {
    MessageLog& log = GetMessageLog();
    std::vector<std::string> order;
    size_t componentsSeen = 0;
    RecalculationSteps steps;
    steps.refillIntermediate = [&] { order.push_back("intermediate"); };
    steps.refillGraph = [&] { order.push_back("graph"); };
    steps.refillResults = [&] {
        order.push_back("results");
        componentsSeen = calc.GetComponents().size();
    };
    steps.showLog = [&] { order.push_back(log.logEmpty ? "empty log" : "log"); };

    log.AppendWarning(L"from the previous calculation");
    MixtureRecord* m = Mixture(L"M1", {{L"Этан", 1}});
    Assay(m, {Peak(L"Этан", 100)});
    RunRecalculation(calc, log, mixtures, assays, switches, steps);
    EXPECT_EQ(order, (std::vector<std::string>{"intermediate", "graph", "results", "log"}));
    EXPECT_EQ(componentsSeen, 1u);
    for (const std::wstring& w : log.warningList) EXPECT_NE(w, L"from the previous calculation");

    // Empty input: the results of the last run are gone before the pages
    // refill, and the log holds the one precondition error, not two.
    assays.clear();
    mixtures.clear();
    order.clear();
    steps.refillIntermediate = nullptr;  // a page without a step is skipped
    RunRecalculation(calc, log, mixtures, assays, switches, steps);
    EXPECT_EQ(order, (std::vector<std::string>{"graph", "results", "log"}));
    EXPECT_EQ(componentsSeen, 0u);
    ASSERT_EQ(log.errorList.size(), 1u);
    EXPECT_TRUE(log.warningList.empty() && log.infoList.empty());
    EXPECT_NE(log.errorList[0].find(L"Для расчет требуется"), std::wstring::npos);
}

}  // namespace
