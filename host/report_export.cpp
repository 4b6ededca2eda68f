#include "host/report_export.h"

#include "host/services.h"

intptr_t ExportReportThroughHost(const pugi::xml_document& document, const std::wstring& templatePath) {
    const pugi::xml_node root = document.child(L"root");
    return HostCallService(HostNames::kExportToOdt, reinterpret_cast<intptr_t>(&root),
                           reinterpret_cast<intptr_t>(templatePath.c_str()));
}
