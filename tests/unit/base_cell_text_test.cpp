// The cell texts every table shares: one rule for a missing value, numbers,
// verdicts, dates and the line's formula, whoever shows them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/cell_text.h"
#include "base/no_value.h"
#include "base/text.h"

namespace {

TEST(CellTextTest, NumbersVerdictsAndFormulas) {
    const double inf = std::numeric_limits<double>::infinity();
    struct NumberCase {
        double value;
        int32_t decimals;
        const wchar_t* text;
    };
    const NumberCase numbers[] = {
        {NoValue, 3, L"---"}, {std::nan(""), 3, L"nan"}, {inf, 0, L"inf"},   {-inf, 2, L"-inf"},
        {1.25, 1, L"1.2"},    {-0.5, 0, L"-0"},          {2.0, 99, L"2.00000000000000000"},
    };
    for (const NumberCase& c : numbers) EXPECT_EQ(NumberText(c.value, c.decimals), c.text) << c.value;

    EXPECT_STREQ(VerdictText(true), L"Да");
    EXPECT_STREQ(VerdictText(false), L"Нет");
    EXPECT_STREQ(VerdictText(false, true), L"---");  // the norm does not apply
    EXPECT_STREQ(VerdictText(true, false), L"Нет");

    // Without a line the formula is one missing value, not the double's extreme in 309 digits.
    EXPECT_EQ(FormulaText(NoValue, 0.0, 3), L"---");
    EXPECT_EQ(FormulaText(414.4951, NoValue, 2), L"A = 414.50 * x + ---");
    EXPECT_EQ(FormulaText(2.0, -0.25, 3), L"A = 2.000 * x + -0.250");
}

TEST(CellTextTest, DatesOutsideWhatTheRuntimeConvertsAreMissing) {
    EXPECT_EQ(DateText(CTime(-1), DateFormats::kDate), L"---");
    EXPECT_EQ(DateText(CTime(CTime::kLatest + 1), DateFormats::kDate), L"---");
    EXPECT_NE(DateText(CTime(1710228600), DateFormats::kDate), L"---");
    EXPECT_EQ(DateText(CTime(1710228600), DateFormats::kDate), CTime(1710228600).Format(DateFormats::kDate));
}

}  // namespace
