#include "host/report_export.h"

#include <sstream>

#include "host/host_api.h"

std::wstring ReportDocumentText(const pugi::xml_document& document) {
    std::wostringstream out;
    document.save(out, L"", pugi::format_raw);
    return out.str();
}

intptr_t ExportReportThroughHost(const pugi::xml_document& document, const std::wstring& templatePath) {
    const std::wstring text = ReportDocumentText(document);
    ReportExportData data{static_cast<int32_t>(sizeof(ReportExportData)), text.c_str()};
    return HostCallService(HostNames::kExportToOdt, reinterpret_cast<intptr_t>(&data),
                           reinterpret_cast<intptr_t>(templatePath.c_str()));
}
