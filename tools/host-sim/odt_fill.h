// Filling an OpenDocument text template with the data of a report document.
//
// The report document is XML: a "root" element whose children are either
// single values (an element holding text, e.g. <DateCreated>) or tables (an
// element holding "row" elements, each row holding leaf elements with text).
//
// The template's content.xml marks where the data goes (docs/report-templates.md):
//   - a placeholder field <text:placeholder>&lt;NAME&gt;</text:placeholder> is
//     replaced by the text of the single value NAME (empty when absent);
//   - a table row holding placeholders &lt;TABLE/FIELD&gt; is a row pattern of
//     TABLE: it is repeated once per "row" of TABLE, each copy filled with that
//     row's FIELD texts. Several pattern rows of one table are alternatives: a
//     data row takes the first pattern all of whose fields it holds (else the
//     first pattern). The patterns themselves do not stay in the report;
//   - a section (text:section) named "data:NAME" stays only when the document
//     has the element NAME;
//   - a frame (draw:frame) named "data:NAME" shows the picture file whose path
//     is the text of NAME; the frame keeps its width, its height follows the
//     picture's proportions; without NAME the frame is removed.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pugixml.hpp"

struct ReportData {
    std::set<std::wstring> present;                    // names of all children of "root"
    std::map<std::wstring, std::wstring> values;       // single values by name
    using Row = std::map<std::wstring, std::wstring>;  // field texts of one "row"
    std::map<std::wstring, std::vector<Row>> tables;   // rows of each table element
};

// Reads the report document text; false when it is not XML with a "root" element.
bool ReadReportData(const pugi::xml_node& root, ReportData& data);

// A picture placed into the package; width and height 0 when not known.
struct EmbeddedPicture {
    std::wstring packagePath;  // e.g. "Pictures/TessaroGraph.png"
    unsigned width = 0, height = 0;
};
// Places the picture file into the package; false when it cannot be read.
using PictureEmbedder = std::function<bool(const std::wstring& file, EmbeddedPicture& picture)>;

// Fills the parsed content.xml in place. False when a picture cannot be embedded.
bool FillContent(pugi::xml_document& content, const ReportData& data, const PictureEmbedder& embed);

// The OpenDocument namespace names used in a package's documents.
namespace OdfNamespace {
inline constexpr const wchar_t* kText = L"urn:oasis:names:tc:opendocument:xmlns:text:1.0";
inline constexpr const wchar_t* kTable = L"urn:oasis:names:tc:opendocument:xmlns:table:1.0";
inline constexpr const wchar_t* kDrawing = L"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0";
inline constexpr const wchar_t* kSvg = L"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0";
inline constexpr const wchar_t* kXlink = L"http://www.w3.org/1999/xlink";
inline constexpr const wchar_t* kManifest = L"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";
}  // namespace OdfNamespace

// The prefix a document's root element binds to a namespace, declaring `fallback`
// for it when the root lacks one. Returned with its colon ("text:").
std::wstring NamespacePrefix(pugi::xml_node root, const wchar_t* uri, const wchar_t* fallback);
