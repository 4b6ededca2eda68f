// The report dialog's entries in the host profile, section "ReportSettings".
#pragma once

#include "report/report_document.h"

inline constexpr const wchar_t* kReportSettingsSection = L"ReportSettings";

// The seven settings, with empty texts and cleared switches as defaults.
ReportOptions LoadReportOptions();
void StoreReportOptions(const ReportOptions& options);
