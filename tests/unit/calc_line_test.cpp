// Level statistics, the calibration line, R, the verdicts, the methane refit
// and the levels found outside the norm tables.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calc/calibration_line.h"
#include "catalogue/component_catalogue.h"

namespace {

struct Point {
    double conc, meanArea;
};

class LineTest : public ::testing::Test {
protected:
    void SetUp() override {
        methane = {0, L"Метан", L"Метан"};
        ethane = {1, L"Этан", L"Этан"};
    }

    // A level holding the given areas, as the assembly leaves it.
    static CalcLevel Level(double conc, const std::vector<double>& areas) {
        CalcLevel level;
        level.conc = conc;
        for (double a : areas) {
            level.samples.push_back({nullptr, nullptr, a});
            level.sumArea += a;
            ++level.n;
        }
        return level;
    }

    // Levels with the given means and verdicts of the precision check, their
    // line sums as the level statistics leave them; what the line finds goes
    // to `findings` when given.
    static CalcComponent Line(const std::vector<Point>& points, bool rsdOk = true, LineFindings* findings = nullptr) {
        CalcComponent c;
        c.name = L"Этан";
        for (const Point& p : points) {
            CalcLevel level;
            level.conc = p.conc;
            level.meanArea = p.meanArea;
            level.rsdOk = rsdOk;
            if (p.meanArea != NoValue && p.conc > 0) {
                ++c.levelsUsed;
                c.sumX += p.conc;
                c.sumY += p.meanArea;
                c.sumXX += p.conc * p.conc;
                c.sumXY += p.conc * p.meanArea;
            }
            c.levels.push_back(level);
        }
        LineFindings found = ComputeLine(c);
        if (findings) *findings = found;
        return c;
    }

    ComponentDef methane, ethane;
};

TEST_F(LineTest, RsdExampleAndTheNormsOfMethaneAndEthane) {
    struct Case {
        const ComponentDef* entry;
        double conc, uAbs, uRel, rsdNorm;
        bool rsdOk;
    };
    const Case cases[] = {
        {&methane, 80, 0.48, 0.6, 0.15, false},
        {&ethane, 1, 0.041, 4.1, 1.025, false},
        {&ethane, 0.01, 0.0014, 14, 3.5, true},
    };
    for (const Case& k : cases) {
        CalcComponent c;
        c.name = L"peak";
        c.catalogueEntry = k.entry;
        c.levels.push_back(Level(k.conc, {100, 102, 98, 101, 99}));
        ComputeLevelStats(c);
        const CalcLevel& l = c.levels[0];
        EXPECT_DOUBLE_EQ(l.meanArea, 100);
        EXPECT_NEAR(l.rsd, std::sqrt(2.5), 1e-12);  // S = 10, variance 2.5
        EXPECT_NEAR(l.uAbs, k.uAbs, 1e-12);
        EXPECT_NEAR(l.uRel, k.uRel, 1e-9);
        EXPECT_NEAR(l.rsdNorm, k.rsdNorm, 1e-9);
        EXPECT_EQ(l.rsdOk, k.rsdOk) << k.conc;
        EXPECT_EQ(c.levelsUsed, 1);
    }
}

TEST_F(LineTest, LevelsThatGetNoUncertaintyOrNoPlaceInTheSums) {
    CalcComponent c;
    c.name = L"peak";
    c.catalogueEntry = &ethane;
    c.levels.push_back(Level(1, {500}));          // one sample: 0 / 0
    c.levels.push_back(Level(2, {5, -5}));        // sums to exactly 0: skipped
    c.levels.push_back(Level(3, {}));             // no samples: skipped
    c.levels.push_back(Level(NoValue, {40, 60}));  // uncertified: statistics only
    ComputeLevelStats(c);
    EXPECT_DOUBLE_EQ(c.levels[0].meanArea, 500);
    EXPECT_TRUE(std::isnan(c.levels[0].rsd));
    EXPECT_FALSE(c.levels[0].rsdOk);
    EXPECT_EQ(c.levels[1].meanArea, NoValue);
    EXPECT_EQ(c.levels[2].meanArea, NoValue);
    EXPECT_DOUBLE_EQ(c.levels[3].meanArea, 50);
    EXPECT_NEAR(c.levels[3].rsd, std::sqrt(200.0) / 50 * 100, 1e-9);
    EXPECT_EQ(c.levels[3].uAbs, NoValue);
    EXPECT_EQ(c.levelsUsed, 1);
    EXPECT_DOUBLE_EQ(c.sumXY, 500);
    EXPECT_DOUBLE_EQ(c.sumY, 500);
    // The uncertified level takes no part in the deviation check.
    EXPECT_EQ(c.levels[3].calcConc, NoValue);
    EXPECT_EQ(c.levels[3].devNorm, NoValue);
}

TEST_F(LineTest, WithoutACatalogueEntryNoNormButTheLine) {
    CalcComponent c;
    c.name = L"X";
    c.levels.push_back(Level(1, {100, 100}));
    ComputeLevelStats(c);
    EXPECT_EQ(c.levels[0].uAbs, NoValue);
    EXPECT_FALSE(c.levels[0].rsdOk);
    EXPECT_DOUBLE_EQ(c.slope, 100);
}

TEST_F(LineTest, AProportionalLineMeetsEveryCheck) {
    for (bool rsdOk : {true, false}) {
        CalcComponent c = Line({{1, 100}, {2, 200}, {3, 300}, {4, 400}, {5, 500}}, rsdOk);
        EXPECT_DOUBLE_EQ(c.slope, 100);
        EXPECT_EQ(c.intercept, 0);
        for (const CalcLevel& l : c.levels) {
            EXPECT_DOUBLE_EQ(l.calcConc, l.conc);
            EXPECT_EQ(l.relDev, 0);
            EXPECT_TRUE(l.devOk);
        }
        EXPECT_NEAR(c.corrR, 1, 1e-15);
        EXPECT_TRUE(c.rOk);
        EXPECT_EQ(c.bOk, rsdOk);
    }
}

TEST_F(LineTest, TheWorkedExampleOverFourDecades) {
    CalcComponent c = Line({{0.01, 10.2}, {0.1, 99}, {1, 1005}, {5, 5000}, {10, 9980}});
    EXPECT_NEAR(c.slope, 998.4517, 5e-5);
    const double relDev[] = {2.113, 0.854, 0.652, 0.155, 0.045};
    const double sigma[] = {10, 6, 3, 2.4, 1.8};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(c.levels[i].relDev, relDev[i], 5e-4) << i;
        EXPECT_NEAR(c.levels[i].sigmaK, sigma[i], 1e-12) << i;
        EXPECT_DOUBLE_EQ(c.levels[i].devNorm, 2 * sigma[i]);
        EXPECT_TRUE(c.levels[i].devOk) << i;
    }
    EXPECT_NEAR(c.corrR, 0.9999994, 5e-8);
    EXPECT_TRUE(c.rOk);
    EXPECT_TRUE(c.bOk);
}

TEST_F(LineTest, RIsRoundedToThreeDecimalsAgainstTheNorm) {
    EXPECT_TRUE(CorrelationMeetsNorm(0.9985));
    EXPECT_FALSE(CorrelationMeetsNorm(0.99849));
    EXPECT_TRUE(CorrelationMeetsNorm(1.0));
    EXPECT_FALSE(CorrelationMeetsNorm(std::nan("")));
    EXPECT_FALSE(CorrelationMeetsNorm(HUGE_VAL));
}

// R of the same straight line is the same whatever the magnitude of its areas:
// neither the sums of squares nor their product may overflow or underflow.
TEST_F(LineTest, RIsFiniteAndTheSameForExtremeAreas) {
    const double exact = Line({{1, 1.0}, {2, 2.0}, {3, 3.01}, {4, 4.0}, {5, 5.0}}).corrR;
    for (double scale : {1e-200, 1e-160, 1e150, 1e200}) {
        CalcComponent c = Line({{1, 1.0 * scale}, {2, 2.0 * scale}, {3, 3.01 * scale}, {4, 4.0 * scale}, {5, 5.0 * scale}});
        EXPECT_TRUE(std::isfinite(c.corrR)) << scale;
        EXPECT_NEAR(c.corrR, exact, 1e-12) << scale;
        EXPECT_TRUE(c.rOk) << scale;
    }
}

TEST_F(LineTest, SlopeVerdictNeedsFiveLevelsAndEveryCheckedOneAboveFive) {
    struct Case {
        int levels, failing;
        bool bOk;
    };
    const Case cases[] = {{4, 0, false}, {5, 0, true}, {5, 1, false}, {6, 0, true}, {6, 1, false}, {7, 0, true}};
    for (const Case& k : cases) {
        std::vector<Point> points;
        for (int i = 1; i <= k.levels; ++i) points.push_back({double(i), 100.0 * i});
        // A failing level lies 10 % off the line, far outside 2·σk.
        for (int i = 0; i < k.failing; ++i) points[static_cast<size_t>(i)].meanArea *= 1.1;
        CalcComponent c = Line(points);
        EXPECT_EQ(c.bOk, k.bOk) << k.levels << " levels, " << k.failing << " failing";
    }
}

TEST_F(LineTest, NoUsedLevelMeansNoLine) {
    CalcComponent c = Line({{NoValue, 100}, {1, NoValue}});
    EXPECT_EQ(c.slope, NoValue);
    EXPECT_EQ(c.corrR, NoValue);
    EXPECT_FALSE(c.bOk);
    EXPECT_FALSE(c.rOk);
    EXPECT_EQ(c.levels[0].calcConc, NoValue);
}

TEST_F(LineTest, AnUncertifiedLevelStaysOutOfTheCheckAndOfR) {
    LineFindings findings;
    CalcComponent c = Line({{NoValue, 0.5}, {1, 100}, {2, 200}, {3, 300}, {4, 400}, {5, 500}}, true, &findings);
    const CalcLevel& trace = c.levels[0];
    EXPECT_EQ(trace.calcConc, NoValue);
    EXPECT_EQ(trace.relDev, NoValue);
    EXPECT_EQ(trace.sigmaK, NoValue);
    EXPECT_EQ(trace.devNorm, NoValue);
    EXPECT_NEAR(c.corrR, 1, 1e-15);
    EXPECT_TRUE(c.rOk);
    EXPECT_TRUE(c.bOk);  // six levels, the five certified ones all pass
    EXPECT_TRUE(findings.empty());  // not even outside Table 4
}

// The line functions report the levels outside a norm table to their caller,
// Table 1 ones before Table 4 ones, each in level order; a level without a
// catalogue entry has no Table 1 to be outside of.
TEST_F(LineTest, LevelsOutsideTheNormTablesAreReturned) {
    struct Case {
        const ComponentDef* entry;
        LineFindings expected;
    };
    const Case cases[] = {
        {&ethane,
         {{OutOfTable::kUncertainty, 0}, {OutOfTable::kUncertainty, 2}, {OutOfTable::kSigmaK, 0}, {OutOfTable::kSigmaK, 2}}},
        {nullptr, {{OutOfTable::kSigmaK, 0}, {OutOfTable::kSigmaK, 2}}},
    };
    for (const Case& k : cases) {
        CalcComponent c;
        c.name = L"peak";
        c.catalogueEntry = k.entry;
        // 0.003 mol% lies below both tables, 20 mol% above ethane's Table 1
        // range and in the gap of Table 4.
        for (double x : {0.003, 1.0, 20.0}) c.levels.push_back(Level(x, {100 * x, 100 * x}));
        LineFindings found = ComputeLevelStats(c);
        ASSERT_EQ(found.size(), k.expected.size()) << (k.entry ? "ethane" : "no entry");
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].table, k.expected[i].table) << i;
            EXPECT_EQ(found[i].level, k.expected[i].level) << i;
        }
    }
    // The refit checks every level again against Table 4.
    std::vector<Point> points = {{30, 63}};
    for (double x : {40.0, 55.0, 70.0, 85.0}) points.push_back({x, 2 * x + 3});
    CalcComponent c = Line(points);
    LineFindings refit = RefitWithIntercept(c);
    ASSERT_EQ(refit.size(), 1u);
    EXPECT_EQ(refit[0].table, OutOfTable::kSigmaK);
    EXPECT_EQ(refit[0].level, 0u);
}

TEST_F(LineTest, ANegativeBackCalculatedConcentrationDoesNotPass) {
    CalcComponent c = Line({{1, -100}, {2, 200}, {3, 300}, {4, 400}, {5, 500}});
    ASSERT_LT(c.levels[0].calcConc, 0);
    EXPECT_GT(c.levels[0].relDev, 0);
    EXPECT_FALSE(c.levels[0].devOk);
    EXPECT_FALSE(c.bOk);
}

TEST_F(LineTest, ANegativeMeanAreaDoesNotMeetThePrecisionNorm) {
    CalcComponent c;
    c.name = L"peak";
    c.catalogueEntry = &ethane;
    c.levels.push_back(Level(1, {-100, -150, -50}));
    ComputeLevelStats(c);
    EXPECT_GT(c.levels[0].rsd, 0);
    EXPECT_FALSE(c.levels[0].rsdOk);
}

TEST_F(LineTest, MethaneRefitWithAnIntercept) {
    std::vector<Point> points;
    for (double x : {40.0, 55.0, 70.0, 85.0, 99.0}) points.push_back({x, 2 * x + 3});
    CalcComponent c = Line(points);
    ASSERT_FALSE(c.bOk);
    double originR = c.corrR;
    RefitWithIntercept(c);
    EXPECT_NEAR(c.slope, 2, 1e-12);
    EXPECT_NEAR(c.intercept, 3, 1e-9);
    for (const CalcLevel& l : c.levels) EXPECT_NEAR(l.calcConc, l.conc, 1e-9);
    EXPECT_TRUE(c.bOk);
    EXPECT_EQ(c.corrR, originR);
}

TEST_F(LineTest, RefitTakesOnlyLevelsWithAreaAndCertifiedConcentration) {
    std::vector<Point> points = {{NoValue, 7}, {50, NoValue}};
    for (double x : {40.0, 55.0, 70.0, 85.0, 99.0}) points.push_back({x, 2 * x + 3});
    CalcComponent c = Line(points);
    RefitWithIntercept(c);
    EXPECT_NEAR(c.slope, 2, 1e-12);
    EXPECT_NEAR(c.intercept, 3, 1e-9);
    EXPECT_EQ(c.levels[0].calcConc, NoValue);
    EXPECT_EQ(c.levels[1].calcConc, NoValue);

    // With fewer than two such levels, or all at one concentration, nothing changes.
    for (auto few : {std::vector<Point>{{60, 123}, {NoValue, 9}}, std::vector<Point>{{60, 120}, {60, 124}}}) {
        CalcComponent d = Line(few);
        double slope = d.slope;
        RefitWithIntercept(d);
        EXPECT_EQ(d.slope, slope);
        EXPECT_EQ(d.intercept, 0);
    }
}

}  // namespace
