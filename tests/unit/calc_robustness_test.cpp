// Inputs that must neither crash nor loop the calculation, nor leave a result
// pointing at something it does not hold.
#include <cmath>
#include <functional>
#include <limits>

#include "ui/model/results_table.h"
#include "tests/unit/calc_fixture.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Shape {
    const char* what;
    std::function<void()> build;
};

using Robustness = CalcTest;

// Every result links only to the records it was given.
void ExpectConsistent(const LinearityCalc& calc, const MixtureRecords& mixtures, const AssayRecords& assays) {
    size_t present = 0;
    for (const auto& m : mixtures) present += m ? 1 : 0;
    for (const auto& c : calc.GetComponents()) {
        ASSERT_EQ(c->levels.size(), present);
        for (const CalcLevel& l : c->levels) {
            bool known = false;
            for (const auto& m : mixtures) known = known || m.get() == l.mixture;
            ASSERT_TRUE(known);
            ASSERT_EQ(l.samples.size(), static_cast<size_t>(l.n));
            for (const CalcSample& s : l.samples) {
                ASSERT_TRUE(s.assay >= assays.data() && s.assay < assays.data() + assays.size());
                ASSERT_TRUE(s.peak >= s.assay->peaks.data() && s.peak < s.assay->peaks.data() + s.assay->peaks.size());
                ASSERT_EQ(s.assay->mixtureRecord, l.mixture);
            }
        }
    }
}

TEST_F(Robustness, AwkwardInputsGiveResultsOrDiagnosticsNeverACrash) {
    const Shape shapes[] = {
        {"peaks without area",
         [this] {
             auto* m = Mixture(L"M", {{L"Этан", 1}});
             for (int i = 0; i < 5; ++i) Assay(m, {Peak(L"Этан", NoValue), Peak(L"Азот", NoValue, 1)});
         }},
        {"empty names",
         [this] {
             auto* m = Mixture(L"", {{L"", 1}});
             Assay(m, {Peak(L"", 10), Peak(L"", 12)});
         }},
        {"one sample per level",
         [this] {
             for (int i = 1; i <= 5; ++i) {
                 auto* m = Mixture(L"M" + std::to_wstring(i),
                                                               {{L"Метан", 40.0 + 10 * i}, {L"Кислород", 0.01 * i}});
                 Assay(m, {Peak(L"Метан", 100.0 * i), Peak(L"Кислород", 3.0 * i)});
             }
         }},
        {"all-zero areas",
         [this] {
             for (int i = 1; i <= 5; ++i) {
                 auto* m = Mixture(L"M" + std::to_wstring(i), {{L"Метан", 50.0 + i}});
                 for (int r = 0; r < 5; ++r) Assay(m, {Peak(L"Метан", 0.0)});
             }
         }},
        {"mixtures without components, and empty slots",
         [this] {
             auto* m = Mixture(L"M", {});
             mixtures.push_back(nullptr);
             Assay(m, {Peak(L"Метан", 10), Peak(L"Азот", 20)});
             Assay(m, {});
         }},
        {"250 mixtures",
         [this] {
             for (int i = 1; i <= 250; ++i) {
                 auto* m = Mixture(L"M" + std::to_wstring(i),
                                                               {{L"Метан", 40 + i * 0.2}, {L"Азот", 0.001 * i}});
                 Assay(m, {Peak(L"Метан", 2.0 * i), Peak(L"Азот", i * 0.1, 0, 2.0)});
             }
         }},
        {"numbers that are not numbers, and extreme values",
         [this] {
             auto* m = Mixture(L"M", {{L"Азот", kNaN}, {L"Метан", 1e308}, {L"Этан", -1}});
             auto& a = Assay(
                 m, {Peak(L"Азот", kNaN, 0, kNaN), Peak(L"Метан", 1e308, 0, kNaN), Peak(L"Метан", 1e308, 0, 1.0),
                     Peak(L"Этан", -5, std::numeric_limits<int32_t>::max(), 1.0),
                     Peak(L"Этан", 5, std::numeric_limits<int32_t>::min(), -1.0)});
             a.atmpressure = kNaN;
             a.airtemp = HUGE_VAL;
             auto& b = Assay(m, {Peak(L"Азот", 1, 0, 3.0), Peak(L"Азот", -1, 0, 2.0)});
             b.atmpressure = 1e-300;
         }},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.what);
        mixtures.clear();
        assays.clear();
        GetMessageLog().ClearLog();
        Switches(true, true);
        shape.build();
        Run();
        ExpectConsistent(calc, mixtures, assays);
        EXPECT_FALSE(GetMessageLog().logEmpty);
        BuildResultsTable(calc, 3);
        GetMessageLog().LogText();
    }
}

}  // namespace
