#include "plot/graph_page_model.h"

#include <cmath>

#include "base/cell_text.h"
#include "base/text.h"

namespace {
// The level list shows its figures with six decimals, whatever the settings.
constexpr int32_t kLevelDecimals = 6;

bool Known(double v) { return v != NoValue && std::isfinite(v); }

// Draws chart onto the report picture's 1000 × 1000 surface and leaves black
// text on white, a transparent background and no clipping.
int RenderReportChart(DrawSurface* surface, PlotChart& chart) {
    if (!surface) return -1;
    surface->SetBackgroundMode(BackgroundMode::Transparent);
    chart.Render(*surface, PlotRect{0, 0, kReportGraphSize, kReportGraphSize}, false);
    surface->SetTextColor(0x000000);
    surface->SetBackgroundColor(0xFFFFFF);
    surface->SetBackgroundMode(BackgroundMode::Transparent);
    surface->RemoveClip();
    return 0;
}
}  // namespace

std::vector<TableColumn> GraphLevelColumns() { return {{L"№", 40}, {L"Концентрация, моль%", 140}, {L"Площадь", 80}}; }

bool GraphLevelShown(const CalcLevel& level) { return Known(level.meanArea) && Known(level.conc); }

int32_t GraphLevelCount(const CalcComponent& component) {
    int32_t count = 0;
    for (const CalcLevel& level : component.levels)
        if (GraphLevelShown(level)) ++count;
    return count;
}

std::vector<GraphChoice> GraphChannelChoices(const LinearityCalc& calc) {
    std::vector<GraphChoice> choices;
    for (const ChannelEntry& entry : calc.GetChannels()) choices.push_back({entry.label, entry.channel});
    return choices;
}

GraphPageModel::GraphPageModel() {
    SetupPageChart(chart_);
    SetupPageDeviationChart(deviationChart_);
}

const CalcComponent* GraphPageModel::Component(int32_t index) const {
    if (!HasResults() || index < 0 || static_cast<size_t>(index) >= components_->size()) return nullptr;
    return (*components_)[static_cast<size_t>(index)].get();
}

std::vector<GraphChoice> GraphPageModel::ComponentChoices(int32_t channel) const {
    std::vector<GraphChoice> choices;
    if (!HasResults()) return choices;
    for (size_t i = 0; i < components_->size(); ++i) {
        const CalcComponent& c = *(*components_)[i];
        if (GraphLevelCount(c) > 1 && c.channel == channel) choices.push_back({c.name, static_cast<int32_t>(i)});
    }
    return choices;
}

void GraphPageModel::Show(int32_t index) {
    rows_.clear();
    points_.Clear();
    line_ = GraphLine();
    deviations_.Clear();
    chart_.series.clear();
    deviationChart_.series.clear();
    if (!HasResults()) {
        ShowPointsOnPageChart(chart_, points_);  // an empty chart from 0 to 1
        ShowDeviationsOnChart(deviationChart_, deviations_, kPageDeviationStyle, 0.1);
        return;
    }
    const CalcComponent* component = Component(index);
    if (!component) return;
    if (HasValue(component->slope)) line_ = GraphLine{component->slope, component->intercept};
    deviations_ = DeviationPointsOf(*component);
    for (const CalcLevel& level : component->levels) {
        if (!GraphLevelShown(level)) continue;
        points_.Add(level.conc, level.meanArea);
        TableRow row;
        row.cells = {FormatW(L"%d", static_cast<int>(rows_.size() + 1)), NumberText(level.conc, kLevelDecimals),
                     NumberText(level.meanArea, kLevelDecimals)};
        rows_.push_back(std::move(row));
    }
    ShowPointsOnPageChart(chart_, points_);
    if (points_.size() > 0) AddCalibrationLine(chart_, line_, kPageLineColor, 1);
    ShowDeviationsOnChart(deviationChart_, deviations_, kPageDeviationStyle, 0.1);
}

void GraphPageModel::ReportChart(PlotChart& chart) const {
    SetupReportChart(chart, points_);
    if (points_.size() == 0) {  // nothing shown yet: the axes from 0 to 1
        chart.SetXRange(0.0, 1.0);
        chart.SetYRange(0.0, 1.0);
        return;
    }
    AddCalibrationLine(chart, line_, kReportLineColor, 1);
}

int GraphPageModel::RenderReportGraph(DrawSurface* surface) const {
    PlotChart chart;
    ReportChart(chart);
    return RenderReportChart(surface, chart);
}

void GraphPageModel::DeviationReportChart(PlotChart& chart) const {
    SetupReportDeviationChart(chart);
    ShowDeviationsOnChart(chart, deviations_, kReportDeviationStyle, 0.07);
}

int GraphPageModel::RenderDeviationReport(DrawSurface* surface) const {
    PlotChart chart;
    DeviationReportChart(chart);
    return RenderReportChart(surface, chart);
}

int GraphPageModel::Exportable(int32_t index) const {
    if (!HasResults()) return kNoResults;
    return Component(index) ? kExported : kNoComponent;
}

int GraphPageModel::ExportDeviationPicture(DrawSurface& surface, int32_t index) const {
    const int result = Exportable(index);
    if (result == kExported) RenderDeviationReport(&surface);
    return result;
}

int GraphPageModel::ExportGraphData(DrawSurface& surface, int32_t index, GraphReportData& data) const {
    const int result = Exportable(index);
    if (result != kExported) return result;
    const CalcComponent* component = Component(index);
    RenderReportGraph(&surface);
    data.component = component->name;
    data.channel = component->channel;
    data.slope = component->slope;
    data.intercept = component->intercept;
    data.levels.clear();
    for (const CalcLevel& level : component->levels)
        if (GraphLevelShown(level)) data.levels.push_back({level.conc, level.meanArea});
    return kExported;
}
