#include "calc/gost_tables.h"

#include "base/no_value.h"
#include "base/text.h"

namespace {

// One row of Table 1: U = a·x + b, in range when x + lowTol >= low and
// x - highTol <= high. A row split at 0.025 mol% is two rows with a condition.
struct UncertaintyRow {
    const wchar_t* names[3];
    int split;  // 0: whole range; -1: only x <= 0.025; +1: only x > 0.025 (or not a number)
    double a, b;
    bool hasLow;
    double low, lowTol;
    bool hasHigh;
    double high, highTol;
};

constexpr double kSplit = 0.025;

const UncertaintyRow kTable1[] = {
    {{L"Метан"}, 0, 0.006, 0.0, true, 40.0, 0.5, true, 99.97, 0.005},
    {{L"Этан"}, 0, 0.04, 0.001, true, 0.005, 0.0005, true, 15.0, 0.5},
    {{L"Пропан"}, 0, 0.06, 0.001, true, 0.005, 0.0005, true, 6.0, 0.05},
    {{L"Изобутан", L"н-Бутан"}, 0, 0.06, 0.001, true, 0.005, 0.0005, true, 4.0, 0.05},
    {{L"Изопентан", L"н-Пентан"}, 0, 0.07, 0.0009, true, 0.005, 0.0005, true, 2.0, 0.05},
    {{L"Неопентан"}, 0, 0.1, 0.0008, true, 0.005, 0.0005, true, 0.05, 0.005},
    {{L"Гексаны"}, 0, 0.06, 0.001, true, 0.005, 0.0005, true, 1.0, 0.05},
    {{L"С6+"}, 0, 0.15, 0.0007, true, 0.005, 0.0005, true, 1.5, 0.05},  // Cyrillic Es
    {{L"Гептаны"}, 0, 0.12, 0.0007, true, 0.005, 0.0005, true, 0.25, 0.005},
    {{L"Октаны", L"Бензол", L"Толуол"}, 0, 0.14, 0.0006, true, 0.005, 0.0005, true, 0.05, 0.005},
    {{L"Диоксид углерода"}, -1, 0.18, 0.0005, true, 0.005, 0.0005, false, 0, 0},
    {{L"Диоксид углерода"}, +1, 0.07, 0.003, false, 0, 0, true, 10.0, 0.5},
    {{L"Гелий", L"Водород"}, 0, 0.09, 0.0008, true, 0.005, 0.0005, true, 0.5, 0.05},
    {{L"Кислород"}, -1, 0.11, 0.0009, true, 0.005, 0.0005, false, 0, 0},
    {{L"Кислород"}, +1, 0.07, 0.002, false, 0, 0, true, 2.0, 0.05},
    {{L"Азот"}, -1, 0.11, 0.0009, true, 0.005, 0.0005, false, 0, 0},
    {{L"Азот"}, +1, 0.04, 0.0025, false, 0, 0, true, 15.0, 0.5},
    {{L"Метанол"}, 0, 0.12, 0.0007, true, 0.005, 0.0005, true, 0.05, 0.005},
};

bool RowNames(const UncertaintyRow& row, std::wstring_view name) {
    for (const wchar_t* n : row.names)
        if (n && EqualFoldLatin(n, name)) return true;
    return false;
}

bool RowCondition(const UncertaintyRow& row, double x) {
    if (row.split == 0) return true;
    bool lower = x <= kSplit;  // false for a value that is not a number
    return row.split < 0 ? lower : !lower;
}

}  // namespace

TableLookup LookupExpandedUncertainty(std::wstring_view name, double x) {
    for (const UncertaintyRow& row : kTable1) {
        if (!RowNames(row, name) || !RowCondition(row, x)) continue;
        bool inRange = (!row.hasLow || x + row.lowTol >= row.low) && (!row.hasHigh || x - row.highTol <= row.high);
        // A failed comparison with a value that is not a number leaves inRange false.
        if (x != x) inRange = false;
        return {row.a * x + row.b, inRange};
    }
    return {NoValue, false};
}

TableLookup LookupSigmaK(double x) {
    if (x + 0.0005 < 0.005) return {20.0 - 1000.0 * x, false};
    if (x <= 0.01) return {20.0 - 1000.0 * x, true};
    if (x + 0.005 > 0.01 && x <= 0.1) return {10.0 - 40.0 * x, true};
    if (x + 0.05 > 0.1 && x <= 1.0) return {6.0 - 3.0 * x, true};
    if (x + 0.5 > 1.0 && x - 0.5 <= 15.0) return {3.0 - 0.12 * x, true};
    if (x + 0.5 > 40.0 && x - 0.5 <= 99.0) return {0.68 - 0.0063 * x, true};
    return {0.68 - 0.0063 * x, false};
}
