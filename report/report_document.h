// The report's data document: an XML document whose "root" element carries
// every value of the report as element text, in a fixed order, for the host's
// ODT export to fill into a template. Building it needs no window system; the
// graph picture is drawn on a drawing surface and saved through the interfaces
// below.
#pragma once

#include <cstdint>
#include <string>

#include "calc/linearity_calc.h"
#include "data/records.h"
#include "base/ctime.h"
#include "plot/draw_surface.h"
#include "plot/graph_report_data.h"
#include "pugixml.hpp"

// What the report dialog collects.
struct ReportOptions {
    std::wstring deviceNumber;
    std::wstring operatorName;
    int32_t assayList = 0;
    int32_t mixtureList = 0;
    int32_t mixtureInfo = 0;
    int32_t checkResults = 0;
    int32_t graph = 0;
};

// The graph page's part of the report: draws the chosen component onto the
// picture's surface and gives its graph data, which the report writes as
// "graphComp", "graph_Ch", "graphFormula" and "table6"; and draws the chosen
// component's deviation chart onto a second picture. 0 on success, -1
// without results, -2 without a valid component choice (then nothing is
// drawn or given).
class ReportGraphSource {
public:
    virtual ~ReportGraphSource() = default;
    virtual int ExportGraphData(DrawSurface& surface, GraphReportData& data) = 0;
    virtual int ExportDeviationPicture(DrawSurface& surface) = 0;
};

// The platform's side of the graph picture.
class ReportPictureWorkshop {
public:
    virtual ~ReportPictureWorkshop() = default;
    // A new, empty working directory; the empty text when none could be made.
    virtual std::wstring MakeWorkingDirectory() = 0;
    // Creates the 1000 x 1000, 32 bits per pixel image, white; the drawing
    // surface over it (valid until EndImage), or none.
    virtual DrawSurface* BeginImage() = 0;
    // Saves the image as PNG under that name in the directory; the file's full path, or empty.
    virtual std::wstring SaveImage(const std::wstring& directory, const wchar_t* fileName) = 0;
    // Releases the drawing surface and destroys the image.
    virtual void EndImage() = 0;
};

inline constexpr const wchar_t* kReportPictureName = L"TessaroGraph.png";
inline constexpr const wchar_t* kReportDeviationPictureName = L"TessaroDeviations.png";
inline constexpr const wchar_t* kReportTemplate = L"Tessaro\\ReportTemplate.odt";
inline constexpr const wchar_t* kReportTemplateWithGraph = L"Tessaro\\ReportTemplateWitchGraph.odt";

// Everything the document is made of; the lists and components are read only.
struct ReportInputs {
    const MixtureRecords* mixtures = nullptr;
    const AssayRecords* assays = nullptr;
    const LinearityCalc::Components* components = nullptr;
    ReportOptions options;
    CTime created;  // the report's date and time
    int32_t digits = 3;  // decimal places of the report's numbers
    ReportGraphSource* graph = nullptr;
    ReportPictureWorkshop* pictures = nullptr;
};

void AppendHeaderTable(pugi::xml_node root, const ReportOptions& options);          // "table1"
void AppendMixtureTable(pugi::xml_node root, const MixtureRecords& mixtures);      // "table2"
void AppendAssayTable(pugi::xml_node root, const AssayRecords& assays);            // "table3"
// "table4": Conc1/Deviation1 ... for at most five mixture entries.
void AppendCompositionTable(pugi::xml_node root, const MixtureRecords& mixtures,
                            const LinearityCalc::Components& components, int32_t digits);
void AppendResultsTable(pugi::xml_node root, const LinearityCalc::Components& components, int32_t digits);  // "table5"
// "graphComp" (the name), "graph_Ch" (channel + 1), "graphFormula" and
// "table6" (a row per level: "num", "graph_x", "graph_A"), numbers with digits
// decimals, "---" for one that was not computed or is not finite.
void AppendGraphData(pugi::xml_node root, const GraphReportData& data, int32_t digits);
// The graph data and, when saved, "PictureGraph", then, when drawn and saved,
// "PictureDeviations" (the deviation chart). Nothing is appended when the
// working directory, the image or the graph page's data cannot be had.
void AppendGraphPart(pugi::xml_node root, ReportGraphSource& graph, ReportPictureWorkshop& pictures, int32_t digits);

// Fills root: "DateCreated", "table1", then the tables and the graph part the
// switches choose. Missing lists or components leave their tables empty.
void BuildReportDocument(pugi::xml_node root, const ReportInputs& inputs);

// The declaration and an empty "root"; returns root.
pugi::xml_node StartReportDocument(pugi::xml_document& document);

// The template for the switches: with the graph section when the graph switch is on.
const wchar_t* ReportTemplatePath(const ReportOptions& options);
