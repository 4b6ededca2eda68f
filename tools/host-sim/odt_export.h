// The simulated host's ODT report service "Export/ExportToOdt": it fills an
// OpenDocument text template (odt_fill.h) with the report document the plug-in
// passes (host/report_export_api.h) and writes the report file.
//
// Options of host-sim for it:
//   --templates DIR   folder against which relative template paths are resolved
//                     (default: the folder of host-sim.exe, which holds "Tessaro\")
//   --report-out DIR  folder of the reports (default: "Reports" beside host-sim.exe);
//                     each report gets a new name "Отчет YYYY-MM-DD HH-MM-SS.odt"
//   --temp DIR        folder of the temporary file (default: the system's)
//   --export-test DOCUMENT.xml TEMPLATE OUT.odt
//                     runs the service once on a UTF-8 document file, without
//                     the plug-in, writing OUT.odt; exit 0 on success, 1 on a
//                     negative result (printed as the service call's record)
//   --export-result N  the service answers N for every report without writing one
#pragma once

#include <cstdint>
#include <string>

#include "host/report_export_api.h"
#include "pugixml.hpp"

// The export itself. `reportFile` is the file to write; when empty, a new file
// in `reportDir`. On success `written` is the report file.
int32_t ExportReport(const pugi::xml_node* root, const std::wstring& templateFile, const std::wstring& tempDir,
                     const std::wstring& reportDir, const std::wstring& reportFile, std::wstring& written);

// Takes an option of the export at argv[i] (advancing i over its values):
// 1 taken, 0 not an export option, -1 malformed (error set).
int TakeExportOption(int argc, wchar_t** argv, int& i, std::string& error);

// The service as the host offers it; records the call on standard output.
intptr_t ExportToOdtService(intptr_t argument1, intptr_t argument2);

bool ExportTestRequested();
int RunExportTest();
