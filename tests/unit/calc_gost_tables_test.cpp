// The uncertainty (Table 1, method В) and σk (Table 4) lookups at their boundaries.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "calc/gost_tables.h"
#include "base/no_value.h"

namespace {

struct UCase {
    const wchar_t* name;
    double x;
    double u;  // NoValue: the name is unknown
    bool inRange;
};

TEST(GostTables, ExpandedUncertaintyAtTheBoundaries) {
    const UCase cases[] = {
        {L"Метан", 80, 0.48, true},
        {L"Метан", 40, 0.24, true},
        {L"Метан", 39.6, 0.2376, true},  // inside by the tolerance
        {L"Метан", 39.5, 0.237, true},
        {L"Метан", 39.4, 0.2364, false},
        {L"Метан", 99.975, 0.59985, true},
        {L"Метан", 99.98, 0.59988, false},
        {L"Этан", 1, 0.041, true},
        {L"Этан", 0.01, 0.0014, true},
        {L"Этан", 0.0046, 0.001184, true},
        {L"Этан", 0.0045, 0.00118, false},  // 0.0045 + 0.0005 falls just below 0.005
        {L"Этан", 0.0044, 0.001176, false},
        {L"Этан", 15.5, 0.621, true},
        {L"Пропан", 6.05, 0.364, true},  // the upper tolerance is 0.05
        {L"Пропан", 6.06, 0.3646, false},
        {L"н-Бутан", 4.05, 0.244, true},
        {L"Неопентан", 0.055, 0.0063, true},
        {L"Неопентан", 0.056, 0.0064, false},
        {L"Гептаны", 0.255, 0.0313, true},
        {L"Диоксид углерода", 0.025, 0.005, true},  // lower formula
        {L"Диоксид углерода", 0.026, 0.00482, true},  // upper formula
        {L"Диоксид углерода", 10.5, 0.738, true},
        {L"Диоксид углерода", 10.6, 0.745, false},
        {L"Кислород", 0.01, 0.0020, true},
        {L"Кислород", 2.06, 0.1462, false},
        {L"Азот", 12, 0.4825, true},
        {L"Азот", 16, 0.6425, false},
        {L"Гелий", 0.55, 0.0503, true},
        {L"С6+", 1.55, 0.2332, true},  // Cyrillic Es
        {L"C6+", 1.0, NoValue, false},  // Latin C: not in the table
        {L"Ethane", 1, NoValue, false},
    };
    for (const UCase& c : cases) {
        TableLookup r = LookupExpandedUncertainty(c.name, c.x);
        SCOPED_TRACE(testing::Message() << c.x);
        EXPECT_EQ(r.inRange, c.inRange);
        if (c.u == NoValue)
            EXPECT_EQ(r.value, NoValue);
        else
            EXPECT_NEAR(r.value, c.u, 1e-12);
    }
}

TEST(GostTables, CyrillicLettersMustMatchInCase) {
    EXPECT_EQ(LookupExpandedUncertainty(L"метан", 80).value, NoValue);
    EXPECT_EQ(LookupExpandedUncertainty(L"МЕТАН", 80).value, NoValue);
}

TEST(GostTables, NotANumberTakesTheUpperFormulaAndIsOutOfRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(LookupExpandedUncertainty(L"Азот", nan).inRange);
    EXPECT_FALSE(LookupExpandedUncertainty(L"Метан", nan).inRange);
    EXPECT_FALSE(LookupSigmaK(nan).inRange);
}

struct SigmaCase {
    double x, sigma;
    bool inRange;
};

TEST(GostTables, SigmaKAtTheBoundaries) {
    const SigmaCase cases[] = {
        {0.004, 16, false},  {0.0045, 15.5, false}, {0.005, 15, true},  {0.01, 10, true},
        {0.05, 8, true},     {0.1, 6, true},        {0.5, 4.5, true},   {1, 3, true},
        {10, 1.8, true},     {15.5, 1.14, true},    {15.6, 0.58172, false}, {20, 0.554, false},
        {39.5, 0.43115, false},  // x + 0.5 > 40 is strict
        {39.6, 0.43052, true}, {50, 0.365, true},   {99.5, 0.05315, true}, {99.6, 0.05252, false},
    };
    for (const SigmaCase& c : cases) {
        TableLookup r = LookupSigmaK(c.x);
        SCOPED_TRACE(testing::Message() << c.x);
        EXPECT_NEAR(r.value, c.sigma, 1e-9);
        EXPECT_EQ(r.inRange, c.inRange);
    }
    TableLookup none = LookupSigmaK(NoValue);
    EXPECT_TRUE(std::isinf(none.value) && none.value > 0);
    EXPECT_FALSE(none.inRange);
}

}  // namespace
