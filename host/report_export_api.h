// The binary interface of the host's ODT report service "Export/ExportToOdt",
// shared by the plug-in (caller) and the host (callee).
//
//   argument 1: address of a ReportExportData record, valid during the call;
//   argument 2: the template path, NUL-terminated UTF-16; a relative path is
//               resolved against the host's template folder, which holds the
//               folder "Tessaro" ("Tessaro\ReportTemplate.odt").
//   result:     >= 0 success (the report was written), negative: a ReportExportResult.
//
// The report document crosses the module boundary as text, never as a live XML
// object: the plug-in and the host each link their own copy of the XML library,
// so a node handle of one copy (its layout, its allocator, its version) means
// nothing to the other. The plug-in serialises its whole document, declaration
// and "root" element included, into a UTF-16 text and passes that text; the host
// parses it with its own library. The text's declaration may say "utf-8": the
// host reads the characters as they are and ignores the declared encoding.
#pragma once

#include <cstdint>

extern "C" {

struct ReportExportData {
    int32_t size;           // sizeof(ReportExportData); the host refuses smaller records
    const wchar_t* xmlText;  // the whole report document, NUL-terminated UTF-16
};

}  // extern "C"

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
    kReportDataInvalid = -6,         // argument 1 is missing or malformed, the text is not XML with a
                                     // "root" element, or a picture it names cannot be read
    kReportFolderFailed = -7,        // the folder of the report file cannot be created
    kReportNoFreeName = -8,          // no unused report file name is left in the report folder
    kReportMoveFailed = -9,          // the finished file cannot be moved to the report file
    kReportUnexpected = -11,         // an unexpected failure (out of memory and the like)
};
// -10 is not returned by this host.

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ReportExportData) == 8, "ReportExportData is 8 bytes in the 32-bit host");
#endif
