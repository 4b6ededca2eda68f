// The host's ODT report service "Export/ExportToOdt", shared by the plug-in
// (caller) and the host (callee).
//
//   argument 1: the address of the "root" element handle (a pugi::xml_node) of
//               the report document; valid during the call, read only;
//   argument 2: the template path, NUL-terminated UTF-16; a relative path is
//               resolved against the host's template folder, which holds the
//               folder "Tessaro" ("Tessaro\ReportTemplate.odt").
//   result:     >= 0 success (the report was written), negative: a ReportExportResult.
//
// The host walks the plug-in's document in place, so both sides must be built
// from the same XML library version in its wide-character mode (the node
// layout is then the same); the host only reads and never frees or allocates
// in it.
#pragma once

#include <cstdint>

// Results of "Export/ExportToOdt". The plug-in groups them in its message:
// -1 template, -2 temporary file, -3..-5 temporary file processing, -6 report
// data, -7..-10 finishing, below -10 unknown.
enum ReportExportResult : int32_t {
    kReportExported = 0,
    kReportTemplateMissing = -1,     // the template file does not exist or cannot be opened
    kReportTempFileFailed = -2,      // no temporary file could be created for the report
    kReportTemplateNotZip = -3,      // the template is not a readable ZIP package
    kReportTemplateInvalid = -4,     // the template lacks or has a malformed content.xml or manifest
    kReportTempWriteFailed = -5,     // writing the filled package into the temporary file failed
    kReportDataInvalid = -6,         // argument 1 is missing or not a "root" element, or a picture
                                     // it names cannot be read
    kReportFolderFailed = -7,        // the folder of the report file cannot be created
    kReportNoFreeName = -8,          // no unused report file name is left in the report folder
    kReportMoveFailed = -9,          // the finished file cannot be moved to the report file
    kReportUnexpected = -11,         // an unexpected failure (out of memory and the like)
};
// -10 is not returned by this host.

