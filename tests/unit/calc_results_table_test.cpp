// The cells of the results table and of the two information tables.
#include <cmath>

#include "base/cell_text.h"
#include "ui/model/results_table.h"
#include "tests/unit/calc_fixture.h"

namespace {

TEST(ResultsTable, NumberCells) {
    struct Case {
        double value;
        int32_t digits;
        const wchar_t* text;
    };
    const Case cases[] = {
        {NoValue, 3, L"---"}, {1.23456, 3, L"1.235"}, {2.5, 0, L"2"},   {-0.0004, 3, L"-0.000"},
        {1e6, 1, L"1000000.0"}, {std::nan(""), 3, L"nan"}, {HUGE_VAL, 2, L"inf"}, {-HUGE_VAL, 2, L"-inf"},
    };
    for (const Case& c : cases) EXPECT_EQ(NumberText(c.value, c.digits), c.text) << c.value;
}

TEST_F(CalcTest, ResultRowsWithSeparatorsAtEveryChannelChange) {
    MixtureRecord* m = Mixture(L"M1", {{L"Этан", 1}, {L"Пропан", 2}});
    Assay(m, {Peak(L"Этан", 100, 0, 1.0), Peak(L"Пропан", 200, 0, 2.0), Peak(L"Этан", 300, 1, 1.0),
              Peak(L"Z", 5, 3, 1.0)});
    Run();
    TableModel t = BuildResultsTable(calc, 0);
    ASSERT_EQ(t.columns.size(), 9u);
    EXPECT_EQ(t.columns[6].heading, L"Коэфф. корреляции R");
    ASSERT_EQ(t.rows.size(), 6u);
    using Cells = std::vector<std::wstring>;
    EXPECT_EQ(t.rows[0].cells, (Cells{L"1", L"Этан", L"1", L"0", L"100", L"Нет", L"---", L"0.999", L"Нет"}));
    EXPECT_EQ(t.rows[1].cells[0], L"2");
    EXPECT_TRUE(t.rows[2].separator);
    EXPECT_EQ(t.rows[2].cells, (Cells{L"", kSeparatorCell, L"", L"", L"", L"", L"", L"", L""}));
    EXPECT_EQ(t.rows[3].cells[0], L"3");
    EXPECT_EQ(t.rows[3].cells[2], L"2");
    EXPECT_EQ(t.rows[3].cells[4], L"300");
    EXPECT_TRUE(t.rows[4].separator);
    // Z is in no mixture: no line, so the verdicts are "---" too.
    EXPECT_EQ(t.rows[5].cells, (Cells{L"4", L"Z", L"4", L"0", L"---", L"---", L"---", L"0.999", L"---"}));
}

TEST_F(CalcTest, AFirstComponentOffChannelOneIsPrecededByASeparator) {
    MixtureRecord* m = Mixture(L"M1", {{L"Этан", 1}});
    Assay(m, {Peak(L"Этан", 100, 2)});
    Run();
    TableModel t = BuildResultsTable(calc, 3);
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_TRUE(t.rows[0].separator);
    EXPECT_EQ(t.rows[1].cells[3], L"0.000");
    EXPECT_EQ(t.rows[1].cells[4], L"100.000");
    EXPECT_TRUE(BuildResultsTable(UnrunCalc(), 3).rows.empty());
}

TEST(InfoTables, PeaksOfAChromatogramAndTheCompositionOfAMixture) {
    AssayRecord a;
    a.peaks = {Peak(L"Метан", 1234.5678, 0, 1.25), Peak(L"Этан", NoValue, 0, 2.0), Peak(L"Азот", 10, 1, 0.5)};
    TableModel t = BuildAssayInfoTable(a, 2);
    ASSERT_EQ(t.columns.size(), 5u);
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[0].cells, (std::vector<std::wstring>{L"1", L"Метан", L"1", L"1234.57", L"1.25"}));
    EXPECT_EQ(t.rows[1].cells[3], L"---");
    EXPECT_TRUE(t.rows[2].separator);
    EXPECT_EQ(t.rows[3].cells[0], L"3");

    MixtureRecord m;
    m.components = {{L"1", L"Метан", 90.5, 0.2}, {L"2", L"Этан", 4.25, 1.5}};
    TableModel u = BuildMixtureInfoTable(m, 1);
    ASSERT_EQ(u.columns.size(), 4u);
    ASSERT_EQ(u.rows.size(), 2u);
    EXPECT_EQ(u.rows[1].cells, (std::vector<std::wstring>{L"2", L"Этан", L"4.2", L"1.5"}));
}

}  // namespace
