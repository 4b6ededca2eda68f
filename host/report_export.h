// The plug-in's side of "Export/ExportToOdt": the report document is handed to
// the host as its serialised text (see host/report_export_api.h).
#pragma once

#include <cstdint>
#include <string>

#include "host/report_export_api.h"
#include "pugixml.hpp"

// The whole document as the host receives it: declaration and elements, no indentation.
std::wstring ReportDocumentText(const pugi::xml_document& document);

// Calls "Export/ExportToOdt" with the document and the template path; the
// host's result (negative: a ReportExportResult; 0 without a host).
intptr_t ExportReportThroughHost(const pugi::xml_document& document, const std::wstring& templatePath);
