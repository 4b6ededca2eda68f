#include "base/cell_text.h"

#include "base/no_value.h"
#include "base/text.h"

std::wstring NumberText(double value, int32_t decimals) {
    if (!HasValue(value)) return kMissingText;
    return FormatFixed(value, decimals);
}

const wchar_t* VerdictText(bool ok) { return ok ? L"Да" : L"Нет"; }

const wchar_t* VerdictText(bool applies, bool ok) { return applies ? VerdictText(ok) : kMissingText; }

std::wstring DateText(const CTime& time, const wchar_t* format) {
    std::tm ignored{};
    if (!time.GetLocalTm(ignored)) return kMissingText;
    return time.Format(format);
}

std::wstring FormulaText(double slope, double intercept, int32_t decimals) {
    if (!HasValue(slope)) return kMissingText;
    return L"A = " + NumberText(slope, decimals) + L" * x + " + NumberText(intercept, decimals);
}
