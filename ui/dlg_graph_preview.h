// DlgGraphPreview: lower strip, tab 4, the graph page. For one channel and
// one component of the last calculation it lists the levels and draws mean
// area against concentration with the fitted line, or, with the switch
// "Отклонения", each level's deviation against its norm; it also draws the report picture and writes
// the graph data into the report document. What is shown is decided by
// GraphPageModel; the page only puts it into its controls. Copying the level
// list copies the chart with it, as a picture.
#pragma once

#include <cstdint>
#include <vector>

#include "plot/graph_page_model.h"
#include "resources/resource.h"
#include "win/grid_ctrl.h"
#include "ui/page.h"
#include "win/controls.h"

class DlgGraphPreview : public Page {
public:
    DlgGraphPreview() : Page(IDD_GRAPH) {}
    CGridCtrl& Levels() { return levels_; }

    // After every calculation: the channels of calc, the first channel's first
    // component shown. calc must outlive the next Refill or Forget.
    void Refill(const LinearityCalc& calc);
    // Before the results are replaced: the page lets go of them.
    void Forget();

    // Refills the component selector for the chosen channel; the number of entries.
    int FillComponentList();
    // Rebuilds the level list and the chart for the chosen component and repaints.
    void UpdateGraph();
    // The report picture into dc (1000 × 1000): -1 without dc, else 0.
    int RenderReportGraph(HDC dc);
    // Draws the report picture onto surface and gives the report's graph data:
    // 0, -1 without results, -2 without a valid component choice.
    int ExportGraphData(DrawSurface& surface, GraphReportData& data);
    // Draws the report's deviation picture onto surface: codes as above.
    int ExportDeviationPicture(DrawSurface& surface);

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int32_t ChosenComponent() const;
    void DrawChart(const DRAWITEMSTRUCT& item);
    // The chart as the page shows it, at its size on screen, as a packed picture.
    std::vector<uint8_t> ChartPicture();

    GraphPageModel model_;
    ComboBox channels_, components_;
    CGridCtrl levels_;
    long renders_ = 0;  // chart drawings, for the automatic runs
};

// The process-wide page.
DlgGraphPreview& GraphPage();
