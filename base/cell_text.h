// The texts of table cells, the same in every window, the report, the graph
// and the command-line check: a missing value, a number, a verdict, a date
// and the calibration line's formula.
#pragma once

#include <cstdint>
#include <string>

#include "base/ctime.h"

// What a cell shows for a value that was not computed or does not apply.
inline constexpr const wchar_t* kMissingText = L"---";

// The value with that many decimals (FormatFixed); kMissingText for NoValue.
std::wstring NumberText(double value, int32_t decimals);

// A norm's verdict: "Да" when it is met, "Нет" when not.
const wchar_t* VerdictText(bool ok);
// The verdict where the norm applies, kMissingText where it does not.
const wchar_t* VerdictText(bool applies, bool ok);

// A date in local time in that format, kMissingText when the conversion
// refuses it (before 1970, after 3000, or not a time at all).
std::wstring DateText(const CTime& time, const wchar_t* format);

// "A = b * x + B" with that many decimals; kMissingText without a line (no
// slope computed).
std::wstring FormulaText(double slope, double intercept, int32_t decimals);
