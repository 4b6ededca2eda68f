#include "report/report_document.h"

#include <algorithm>

#include "base/cell_text.h"
#include "base/text.h"

namespace {
constexpr size_t kCompositionMixtures = 5;

void AppendText(pugi::xml_node parent, const wchar_t* name, const std::wstring& text) {
    parent.append_child(name).text().set(text.c_str());
}

pugi::xml_node AppendHeaderRow(pugi::xml_node table, const wchar_t* title, const std::wstring& value) {
    pugi::xml_node row = table.append_child(L"row");
    AppendText(row, L"title", title);
    AppendText(row, L"DataString", value);
    return row;
}

// Draws one picture on a fresh image; when drawn, calls drawn() and appends
// `name` with the saved file's path (none when it is not saved). False when
// there was no image or nothing was drawn.
template <typename Draw, typename Drawn>
bool AppendPicture(pugi::xml_node root, const wchar_t* name, ReportPictureWorkshop& pictures,
                   const std::wstring& directory, const wchar_t* fileName, Draw draw, Drawn drawn) {
    DrawSurface* surface = pictures.BeginImage();
    const bool done = surface && draw(*surface);
    if (done) {
        drawn();
        const std::wstring path = pictures.SaveImage(directory, fileName);
        if (!path.empty()) AppendText(root, name, path);
    }
    pictures.EndImage();
    return done;
}

}  // namespace

void AppendHeaderTable(pugi::xml_node root, const ReportOptions& options) {
    pugi::xml_node table = root.append_child(L"table1");
    AppendHeaderRow(table, L"Нормативный документ", L"ГОСТ 31371.7-2020, приложение Б");
    if (!options.deviceNumber.empty()) AppendHeaderRow(table, L"Номер прибора", options.deviceNumber);
    if (!options.operatorName.empty()) AppendHeaderRow(table, L"Оператор", options.operatorName);
}

void AppendMixtureTable(pugi::xml_node root, const MixtureRecords& mixtures) {
    pugi::xml_node table = root.append_child(L"table2");
    for (size_t i = 0; i < mixtures.size(); ++i) {
        const MixtureRecord* mixture = mixtures[i].get();
        if (!mixture) continue;
        pugi::xml_node row = table.append_child(L"row");
        AppendText(row, L"num", FormatW(L"%d", static_cast<int>(i + 1)));
        AppendText(row, L"MixtureName", mixture->name);
        AppendText(row, L"NumBalloon", mixture->ballon);
        AppendText(row, L"DateRelease", DateText(mixture->release, DateFormats::kDate));
        AppendText(row, L"DateExpiry", DateText(mixture->expiry, DateFormats::kDate));
    }
}

void AppendAssayTable(pugi::xml_node root, const AssayRecords& assays) {
    pugi::xml_node table = root.append_child(L"table3");
    int number = 0;
    for (const AssayRecord& assay : assays) {
        if (!assay.mixtureRecord) continue;
        pugi::xml_node row = table.append_child(L"row");
        AppendText(row, L"num", FormatW(L"%d", ++number));
        AppendText(row, L"Sample", assay.sample);
        AppendText(row, L"AnDate", DateText(assay.date, DateFormats::kDateTime));
        AppendText(row, L"Mixture", assay.mixtureRecord->ballon);
    }
}

void AppendCompositionTable(pugi::xml_node root, const MixtureRecords& mixtures,
                            const LinearityCalc::Components& components, int32_t digits) {
    pugi::xml_node table = root.append_child(L"table4");
    const size_t columns = std::min(mixtures.size(), kCompositionMixtures);
    for (size_t c = 0; c < components.size(); ++c) {
        const CalcComponent* component = components[c].get();
        if (!component || component->isRangePart || component->name.empty()) continue;
        pugi::xml_node row = table.append_child(L"row");
        AppendText(row, L"num", FormatW(L"%d", static_cast<int>(c + 1)));
        AppendText(row, L"Comp", component->name);
        for (size_t d = 1; d <= columns; ++d) {
            const MixtureRecord* mixture = mixtures[d - 1].get();
            std::wstring conc = kMissingText, deviation = kMissingText;
            for (const CalcLevel& level : component->levels) {
                if (!mixture || level.mixture != mixture || !HasValue(level.conc)) continue;
                conc = FormatFixed(level.conc, digits);
                deviation = HasValue(level.deviation) ? FormatFixed(level.deviation, digits) : std::wstring();
            }
            const int column = static_cast<int>(d);
            AppendText(row, FormatW(L"Conc%d", column).c_str(), conc);
            AppendText(row, FormatW(L"Deviation%d", column).c_str(), deviation);
        }
    }
}

void AppendResultsTable(pugi::xml_node root, const LinearityCalc::Components& components, int32_t digits) {
    pugi::xml_node table = root.append_child(L"table5");
    bool first = true;
    int32_t channel = 0;
    for (size_t c = 0; c < components.size(); ++c) {
        const CalcComponent* component = components[c].get();
        if (!component) continue;
        if (first || component->channel != channel) {
            AppendText(table.append_child(L"row"), L"formula", L"-- Канал " + ChannelLabel(component->channel) + L" --");
            channel = component->channel;
            first = false;
        }
        const bool line = HasValue(component->slope);
        pugi::xml_node row = table.append_child(L"row");
        AppendText(row, L"num", FormatW(L"%d", static_cast<int>(c + 1)));
        AppendText(row, L"CompName", component->name);
        AppendText(row, L"formula", FormulaText(component->slope, component->intercept, digits));
        // Without a line its intercept is only the initial 0: shown as missing too.
        AppendText(row, L"BB", line ? NumberText(component->intercept, digits) : kMissingText);
        AppendText(row, L"b", NumberText(component->slope, digits));
        AppendText(row, L"R", NumberText(component->corrR, digits));
        AppendText(row, L"R_norm", FormatFixed(kRNorm, 3));
        AppendText(row, L"b_OK", VerdictText(line, component->bOk));
        AppendText(row, L"R_OK", VerdictText(line, component->rOk));
    }
}

void AppendGraphData(pugi::xml_node root, const GraphReportData& data, int32_t digits) {
    AppendText(root, L"graphComp", data.component);
    AppendText(root, L"graph_Ch", ChannelLabel(data.channel));
    AppendText(root, L"graphFormula", FormulaText(data.slope, data.intercept, digits));
    pugi::xml_node table = root.append_child(L"table6");
    int number = 0;
    for (const GraphReportLevel& level : data.levels) {
        pugi::xml_node row = table.append_child(L"row");
        AppendText(row, L"num", FormatW(L"%d", ++number));
        AppendText(row, L"graph_x", NumberText(level.concentration, digits));
        AppendText(row, L"graph_A", NumberText(level.meanArea, digits));
    }
}

void AppendGraphPart(pugi::xml_node root, ReportGraphSource& graph, ReportPictureWorkshop& pictures, int32_t digits) {
    const std::wstring directory = pictures.MakeWorkingDirectory();
    if (directory.empty()) return;
    GraphReportData data;
    const auto graphPicture = [&](DrawSurface& surface) { return graph.ExportGraphData(surface, data) == 0; };
    if (!AppendPicture(root, L"PictureGraph", pictures, directory, kReportPictureName, graphPicture,
                       [&] { AppendGraphData(root, data, digits); }))
        return;
    const auto deviationPicture = [&](DrawSurface& surface) { return graph.ExportDeviationPicture(surface) == 0; };
    AppendPicture(root, L"PictureDeviations", pictures, directory, kReportDeviationPictureName, deviationPicture,
                  [] {});
}

void BuildReportDocument(pugi::xml_node root, const ReportInputs& inputs) {
    AppendText(root, L"DateCreated", inputs.created.Format(DateFormats::kReportDateTime));
    AppendHeaderTable(root, inputs.options);
    const MixtureRecords noMixtures;
    const AssayRecords noAssays;
    const LinearityCalc::Components noComponents;
    const MixtureRecords& mixtures = inputs.mixtures ? *inputs.mixtures : noMixtures;
    const AssayRecords& assays = inputs.assays ? *inputs.assays : noAssays;
    const LinearityCalc::Components& components = inputs.components ? *inputs.components : noComponents;
    const ReportOptions& options = inputs.options;
    if (options.mixtureList) AppendMixtureTable(root, mixtures);
    if (options.assayList) AppendAssayTable(root, assays);
    if (options.mixtureInfo) AppendCompositionTable(root, mixtures, components, inputs.digits);
    if (options.checkResults) AppendResultsTable(root, components, inputs.digits);
    if (options.graph && inputs.graph && inputs.pictures)
        AppendGraphPart(root, *inputs.graph, *inputs.pictures, inputs.digits);
}

pugi::xml_node StartReportDocument(pugi::xml_document& document) {
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.set_name(L"xml");
    declaration.append_attribute(L"version").set_value(L"1.0");
    declaration.append_attribute(L"encoding").set_value(L"utf-8");
    return document.append_child(L"root");
}

const wchar_t* ReportTemplatePath(const ReportOptions& options) {
    return options.graph ? kReportTemplateWithGraph : kReportTemplate;
}
