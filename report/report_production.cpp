#include "report/report_production.h"

#include <ctime>

#include "host/services.h"
#include "host/program_settings.h"
#include "host/report_export.h"
#include "base/text.h"

std::wstring ReportExportFailureText(intptr_t code) {
    std::wstring text = FormatW(L"Ошибка формирования отчета! Код ошибки: %d \r\nВозможные причины:\r\n",
                                static_cast<int>(code));
    if (code == -1) {
        text += L" - Не удалось найти шаблон отчета.\r\n";
        text += L" - Отсутствует плагин формирования ODT отчетов.\r\n";
    } else if (code == -2) {
        text += L" - Не удалось создать временный файл.\r\n";
    } else if (code >= -5 && code <= -3) {
        text += L" - Ошибка обработки временного файла.\r\n";
    } else if (code == -6) {
        text += L" - Ошибка обработки данных отчета.\r\n";
    } else if (code >= -10 && code <= -7) {
        text += L" - Ошибка окончания формирования отчета.\r\n";
    } else {
        text += L" - Неизвестная ошибка.\r\n";
    }
    return text;
}

ReportOutcome ProduceReport(ReportInputs inputs) {
    ReportOutcome outcome;
    if (!HostServiceAvailable(HostNames::kOpenAssayFile)) {
        outcome.text = kReportHostTooOld;
        outcome.title = kReportErrorTitle;
        outcome.icon = ReportIcon::Error;
        return outcome;
    }
    if (!inputs.mixtures || !inputs.assays || !inputs.components || inputs.mixtures->empty() ||
        inputs.assays->empty()) {
        outcome.text = kReportNoData;
        outcome.title = kReportErrorTitle;
        outcome.icon = ReportIcon::Error;
        return outcome;
    }
    inputs.created = CTime::Now();
    inputs.digits = ProgramSettingsAccessor().DigitsInReport();

    pugi::xml_document document;
    BuildReportDocument(StartReportDocument(document), inputs);
    outcome.templatePath = ReportTemplatePath(inputs.options);
    outcome.result = ExportReportThroughHost(document, outcome.templatePath);
    outcome.exported = true;
    if (outcome.result < 0) {
        outcome.text = ReportExportFailureText(outcome.result);
        outcome.title = kReportExportErrorTitle;
        outcome.icon = ReportIcon::Exclamation;
    }
    return outcome;
}
