// The graph part of the report as the graph page gives it: the chosen
// component and its plotted levels, as values; the report writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/no_value.h"

struct GraphReportLevel {
    double concentration = NoValue;  // mol%
    double meanArea = NoValue;
};

struct GraphReportData {
    std::wstring component;  // its name
    int32_t channel = 0;     // numbered from 0
    double slope = NoValue;
    double intercept = NoValue;
    std::vector<GraphReportLevel> levels;  // the levels with both values, in level order
};
