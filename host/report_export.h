// The plug-in's side of "Export/ExportToOdt" (see host/report_export_api.h).
#pragma once

#include <cstdint>
#include <string>

#include "host/report_export_api.h"
#include "pugixml.hpp"

// Calls "Export/ExportToOdt" with the document's "root" element and the
// template path; the host's result (negative: a ReportExportResult; 0 without a host).
intptr_t ExportReportThroughHost(const pugi::xml_document& document, const std::wstring& templatePath);
