// What the graph page shows, apart from its windows: which components a
// channel offers, the level list and the chart of the chosen component, the
// report picture, and the graph data the report document is given. A
// level is shown only when it has both a certified concentration and a mean
// area; a component is offered only with at least two such levels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/table_model.h"
#include "calc/linearity_calc.h"
#include "plot/deviation_chart.h"
#include "plot/graph_chart.h"
#include "plot/graph_report_data.h"

// One entry of a selector: its text and its item data.
struct GraphChoice {
    std::wstring text;
    int32_t data = 0;
};

// The level list's columns: "№", "Концентрация, моль%", "Площадь".
std::vector<TableColumn> GraphLevelColumns();

// Levels of a component with both values, in level order.
bool GraphLevelShown(const CalcLevel& level);
int32_t GraphLevelCount(const CalcComponent& component);
// The channel selector: one entry per channel of the calculation (label, channel).
std::vector<GraphChoice> GraphChannelChoices(const LinearityCalc& calc);

// What the page's chart shows: the calibration graph or the deviations.
enum class GraphView { Calibration, Deviations };

class GraphPageModel {
public:
    // Result codes of ExportGraphData.
    static constexpr int kExported = 0;
    static constexpr int kNoResults = -1;
    static constexpr int kNoComponent = -2;

    GraphPageModel();  // the page chart: captions, fonts, fixed ranges 0 to 1

    // The components of the calculation, or none while the results are rebuilt.
    void SetComponents(const LinearityCalc::Components* components) { components_ = components; }
    bool HasResults() const { return components_ != nullptr && !components_->empty(); }

    // The component selector for a channel: name and index of every component
    // of that channel with more than one shown level, in result order.
    std::vector<GraphChoice> ComponentChoices(int32_t channel) const;
    // Rebuilds the level list, the points, the line and both charts for the
    // component with that index (the component selector's item data, -1
    // without a choice). Without results the charts are empty with fixed
    // ranges (0 to 1; the deviations -1 to 1); an index outside the results
    // leaves them without series and with their last ranges. The calibration
    // chart shows the fitted line under the points when the component has one.
    void Show(int32_t index);
    // The page's switch between the two charts; the calibration chart at first.
    void SetView(GraphView view) { view_ = view; }
    GraphView View() const { return view_; }

    // The level list: number, concentration and mean area of each level shown.
    const TableRows& Rows() const { return rows_; }
    const GraphPoints& Points() const { return points_; }
    const GraphLine& Line() const { return line_; }
    const DeviationPoints& Deviations() const { return deviations_; }
    // The chart of the chosen view.
    PlotChart& Chart() { return view_ == GraphView::Deviations ? deviationChart_ : chart_; }

    // Sets up chart as the report picture of the shown points.
    void ReportChart(PlotChart& chart) const;
    // The report picture of the shown points on a 1000 × 1000 surface; -1
    // without a surface. The surface is left with black text on white, a
    // transparent background and no clipping.
    int RenderReportGraph(DrawSurface* surface) const;
    // Draws the report picture onto surface and gives the graph data of the
    // component with that index (as for Show): its name, channel, line and the
    // levels with both values. Nothing is drawn or given without results or
    // without a valid index.
    int ExportGraphData(DrawSurface& surface, int32_t index, GraphReportData& data) const;

    // Sets up chart as the report's deviation picture of the shown levels.
    void DeviationReportChart(PlotChart& chart) const;
    // The deviation picture of the shown levels on a 1000 × 1000 surface,
    // left as RenderReportGraph leaves it; -1 without a surface.
    int RenderDeviationReport(DrawSurface* surface) const;
    // Draws the deviation picture onto surface for the component with that
    // index: kExported, or kNoResults / kNoComponent with nothing drawn.
    int ExportDeviationPicture(DrawSurface& surface, int32_t index) const;

private:
    const CalcComponent* Component(int32_t index) const;
    int Exportable(int32_t index) const;  // kExported or why not

    const LinearityCalc::Components* components_ = nullptr;
    GraphPoints points_;
    GraphLine line_;
    DeviationPoints deviations_;
    TableRows rows_;
    PlotChart chart_;
    PlotChart deviationChart_;
    GraphView view_ = GraphView::Calibration;
};

// The report picture's size in pixels.
inline constexpr int32_t kReportGraphSize = 1000;
