#include "calc/calibration_line.h"

#include <algorithm>

#include "calc/gost_tables.h"
#include "catalogue/component_catalogue.h"

namespace {

constexpr double kRsdNormShare = 0.25;  // of the relative expanded uncertainty
constexpr double kDeviationFactor = 2.0;  // times σk
constexpr int32_t kMinimumLevels = 5;

// A level the mixture certifies the component in.
bool HasCertifiedConc(const CalcLevel& level) { return level.conc != NoValue && std::isfinite(level.conc); }

// A level that entered the line sums.
bool EntersLine(const CalcLevel& level) { return level.meanArea != NoValue && level.conc > 0.0; }

struct DeviationCounters {
    int32_t checked = 0;
    int32_t inNorm = 0;
};

// The deviation of the back-calculated concentration (already in calcConc) of
// level `index` against twice σk of its certified concentration.
void CheckDeviation(CalcComponent& component, size_t index, DeviationCounters& counters, LineFindings& findings) {
    CalcLevel& level = component.levels[index];
    // Relative to the back-calculated concentration, taken by its size: a
    // negative one must not make the deviation negative and pass.
    level.relDev = std::fabs(level.conc - level.calcConc) / std::fabs(level.calcConc) * 100.0;
    TableLookup sigma = LookupSigmaK(level.conc);
    level.sigmaK = sigma.value;
    if (!sigma.inRange) findings.push_back({OutOfTable::kSigmaK, index});
    if (level.sigmaK == NoValue) return;
    level.devNorm = kDeviationFactor * level.sigmaK;
    level.devOk = level.devNorm >= level.relDev;
    if (level.devOk && level.rsdOk && component.levels.size() >= static_cast<size_t>(kMinimumLevels)) ++counters.inNorm;
    ++counters.checked;
}

// Five checked levels must all pass, more than five every one; fewer fail.
bool LineVerdict(const DeviationCounters& counters) {
    bool ok = counters.inNorm >= kMinimumLevels;
    if (counters.checked > kMinimumLevels) ok = counters.inNorm >= counters.checked;
    return ok;
}

}  // namespace

LineFindings ComputeLevelStats(CalcComponent& component) {
    LineFindings findings;
    for (size_t index = 0; index < component.levels.size(); ++index) {
        CalcLevel& level = component.levels[index];
        if (level.sumArea == 0.0 || level.n <= 0) continue;
        level.meanArea = level.sumArea / level.n;
        double squares = 0.0;
        for (const CalcSample& sample : level.samples) {
            double d = sample.area - level.meanArea;
            squares += d * d;
        }
        double variance = squares / static_cast<double>(level.n - 1);  // 0 / 0 for a single sample
        // Relative to the size of the mean: a negative mean must not make the RSD negative and pass.
        level.rsd = std::sqrt(variance) * (1.0 / std::fabs(level.meanArea)) * 100.0;
        if (!(level.conc > 0.0)) continue;
        if (component.catalogueEntry) {
            TableLookup u = LookupExpandedUncertainty(component.catalogueEntry->name, level.conc);
            level.uAbs = u.value;
            if (!u.inRange) findings.push_back({OutOfTable::kUncertainty, index});
            if (level.uAbs != NoValue) {
                level.uRel = level.uAbs / level.conc * 100.0;
                level.rsdNorm = level.uRel * kRsdNormShare;
                level.rsdOk = level.rsdNorm >= level.rsd;
            }
        }
        ++component.levelsUsed;
        component.sumXY += level.conc * level.meanArea;
        component.sumXX += level.conc * level.conc;
        component.sumY += level.meanArea;
        component.sumX += level.conc;
    }
    LineFindings lineFindings = ComputeLine(component);
    findings.insert(findings.end(), lineFindings.begin(), lineFindings.end());
    return findings;
}

namespace {
// 2 to the power that brings the largest magnitude near 1; exact to multiply by.
double PowerOfTwoScale(double largest) {
    if (!(largest > 0.0) || !std::isfinite(largest)) return 1.0;
    int exponent = 0;
    std::frexp(largest, &exponent);
    return std::ldexp(1.0, -exponent);
}

void ComputeCorrelation(CalcComponent& component, double meanX, double meanY) {
    // R over exactly the levels the means were taken of. The deviations are
    // scaled by powers of two before they are squared, so that neither the
    // sums nor their product overflow or underflow for extreme areas; R does
    // not change by the scaling, to the last bit.
    double largestX = 0.0, largestY = 0.0;
    for (const CalcLevel& level : component.levels) {
        if (!EntersLine(level)) continue;
        largestX = std::max(largestX, std::fabs(level.conc - meanX));
        largestY = std::max(largestY, std::fabs(level.meanArea - meanY));
    }
    const double scaleX = PowerOfTwoScale(largestX), scaleY = PowerOfTwoScale(largestY);
    double sxy = 0.0, syy = 0.0, sxx = 0.0;
    for (const CalcLevel& level : component.levels) {
        if (!EntersLine(level)) continue;
        double dx = (level.conc - meanX) * scaleX, dy = (level.meanArea - meanY) * scaleY;
        sxy += dx * dy;
        syy += dy * dy;
        sxx += dx * dx;
    }
    if (sxy != 0.0) {
        component.corrR = sxy / std::sqrt(sxx * syy);  // both sums lie in [1/4, levels]
        component.rOk = CorrelationMeetsNorm(component.corrR);
    }
}

}  // namespace

LineFindings ComputeLine(CalcComponent& component) {
    LineFindings findings;
    if (component.sumXY != 0.0 && component.sumXX != 0.0) component.slope = component.sumXY / component.sumXX;
    double meanX = NoValue, meanY = NoValue;
    if (component.levelsUsed > 0 && component.sumY != 0.0 && component.sumX > 0.0) {
        meanX = component.sumX / component.levelsUsed;
        meanY = component.sumY / component.levelsUsed;
    }
    DeviationCounters counters;
    if (component.slope == NoValue) {
        component.bOk = LineVerdict(counters);
        return findings;
    }
    for (size_t index = 0; index < component.levels.size(); ++index) {
        CalcLevel& level = component.levels[index];
        if (level.meanArea != NoValue && HasCertifiedConc(level)) {
            level.calcConc = level.meanArea / component.slope;
            CheckDeviation(component, index, counters, findings);
        }
    }
    component.bOk = LineVerdict(counters);
    if (meanX != NoValue && meanY != NoValue) ComputeCorrelation(component, meanX, meanY);
    return findings;
}

LineFindings RefitWithIntercept(CalcComponent& component) {
    LineFindings findings;
    double n = 0.0, sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    for (const CalcLevel& level : component.levels) {
        if (level.meanArea == NoValue || !HasCertifiedConc(level)) continue;
        n += 1.0;
        sx += level.conc;
        sy += level.meanArea;
        sxx += level.conc * level.conc;
        sxy += level.conc * level.meanArea;
    }
    if (n < 2.0) return findings;
    double denominator = n * sxx - sx * sx;
    if (denominator == 0.0 || !std::isfinite(denominator)) return findings;
    double b = (n * sxy - sx * sy) / denominator;
    double intercept = (sy - b * sx) / n;
    component.intercept = intercept;
    component.slope = b;
    DeviationCounters counters;
    for (size_t index = 0; index < component.levels.size(); ++index) {
        CalcLevel& level = component.levels[index];
        if (level.meanArea == NoValue || !HasCertifiedConc(level)) continue;
        level.calcConc = (level.meanArea - intercept) / b;
        CheckDeviation(component, index, counters, findings);
    }
    component.bOk = LineVerdict(counters);
    return findings;
}
