// Producing the report: the checks before it, the document, the host's ODT
// export, and the message the user is shown afterwards.
#pragma once

#include <cstdint>
#include <string>

#include "report/report_document.h"

enum class ReportIcon { None, Error, Exclamation };

// What the report dialog shows after ProduceReport: nothing (icon None) when
// the host produced the report.
struct ReportOutcome {
    bool exported = false;    // the host was called
    intptr_t result = 0;      // its result
    std::wstring templatePath;
    std::wstring text;
    std::wstring title;
    ReportIcon icon = ReportIcon::None;
};

inline constexpr const wchar_t* kReportErrorTitle = L"Ошибка отчета";
inline constexpr const wchar_t* kReportExportErrorTitle = L"Ошибка формирования отчета";
inline constexpr const wchar_t* kReportHostTooOld = L"Невозможно сформировать отчет в текущей версии ПО Norvane.";
inline constexpr const wchar_t* kReportNoData = L"Недостаточно данных для формирования отчета!";

// The message for a negative result of "Export/ExportToOdt": the code and its possible causes.
std::wstring ReportExportFailureText(intptr_t code);

// Checks the host and the inputs, builds the document (with the report's
// decimals read from the settings and the current time), hands it to the
// host and frees it. inputs.created and inputs.digits are set here.
ReportOutcome ProduceReport(ReportInputs inputs);
