// One component's level statistics, its calibration line A = b·x + B and the
// verdicts. These functions read and fill only the component they are given
// and return, in level order, every level whose certified concentration lies
// outside the range of a norm table of the standard; reporting those is the
// caller's business.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "calc/calc_records.h"

struct OutOfTable {
    enum Table {
        kUncertainty,  // Table 1 (method В): the expanded uncertainty U
        kSigmaK,       // Table 4: σk of the calibration characteristic
    };
    Table table;
    size_t level;  // index into the component's levels
};
using LineFindings = std::vector<OutOfTable>;

// Level statistics and precision norms, then ComputeLine. Adds to the line
// sums: call once per component.
LineFindings ComputeLevelStats(CalcComponent& component);
// The line through the origin, the deviation check of every level, R and the verdicts.
LineFindings ComputeLine(CalcComponent& component);
// Methane whose first check failed: the least-squares line with an intercept.
LineFindings RefitWithIntercept(CalcComponent& component);

inline constexpr double kRNorm = 0.999;
// R rounded to three decimals is at least the norm.
inline bool CorrelationMeetsNorm(double r) { return std::isfinite(r) && r + 0.0005 >= kRNorm; }
