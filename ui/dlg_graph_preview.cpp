#include "ui/dlg_graph_preview.h"

#include "plot/gdi_surface_win.h"
#include "resources/resource.h"
#include "win/clipboard.h"
#include "win/table_view.h"
#include "win/module.h"
#include "win/table_copy.h"
#include "win/window_messages.h"

bool DlgGraphPreview::OnInitDialog() {
    model_ = GraphPageModel();  // a window made again starts without results
    SetItemText(IDC_GRAPH_COMPONENT_LABEL, Module::Text(IDS_COMPONENT_LABEL));
    SetItemText(IDC_GRAPH_CHANNEL_LABEL, Module::Text(IDS_CHANNEL_LABEL));
    SetItemText(IDC_GRAPH_DEVIATIONS, Module::Text(IDS_GRAPH_DEVIATIONS));
    StaticControl chart;
    chart.Bind(Item(IDC_GRAPH_CHART));
    chart.MakeOwnerDrawn();
    channels_.Bind(Item(IDC_GRAPH_CHANNEL));
    components_.Bind(Item(IDC_GRAPH_COMPONENT));
    levels_.Subclass(Item(IDC_GRAPH_LEVELS));
    levels_.List().AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    InsertColumns(levels_.List(), GraphLevelColumns());
    SetLayout(IDC_GRAPH_LEVELS, {0, 0, 0, 100});
    SetLayout(IDC_GRAPH_CHART, Layout::kFill);
    return true;
}

void DlgGraphPreview::Forget() { model_.SetComponents(nullptr); }

void DlgGraphPreview::Refill(const LinearityCalc& calc) {
    if (!Exists()) return;
    components_.Clear();
    Forget();
    UpdateGraph();
    channels_.Clear();
    model_.SetComponents(&calc.GetComponents());
    for (const GraphChoice& c : GraphChannelChoices(calc)) channels_.Add(c.text, c.data);
    channels_.Select(0);
    if (FillComponentList() > 0) {
        components_.Select(0);
        UpdateGraph();
    }
}

int DlgGraphPreview::FillComponentList() {
    components_.Clear();
    int chosen = channels_.Selected();
    int32_t channel = chosen < 0 ? -1 : static_cast<int32_t>(channels_.Data(chosen));
    int added = 0;
    for (const GraphChoice& c : model_.ComponentChoices(channel)) {
        components_.Add(c.text, c.data);
        ++added;
    }
    components_.Select(0);
    return added;
}

int32_t DlgGraphPreview::ChosenComponent() const {
    int chosen = components_.Selected();
    return chosen < 0 ? -1 : static_cast<int32_t>(components_.Data(chosen));
}

void DlgGraphPreview::UpdateGraph() {
    levels_.ClearRows();
    model_.Show(ChosenComponent());
    levels_.ShowRows(model_.Rows());
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int DlgGraphPreview::RenderReportGraph(HDC dc) {
    if (!dc) return -1;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetBkMode(dc, TRANSPARENT);
    GdiSurface surface(dc);
    return model_.RenderReportGraph(&surface);
}

int DlgGraphPreview::ExportGraphData(DrawSurface& surface, GraphReportData& data) {
    return model_.ExportGraphData(surface, ChosenComponent(), data);
}

int DlgGraphPreview::ExportDeviationPicture(DrawSurface& surface) {
    return model_.ExportDeviationPicture(surface, ChosenComponent());
}

void DlgGraphPreview::OnCommand(int id, int code) {
    if (id == IDC_GRAPH_DEVIATIONS && code == BN_CLICKED) {
        model_.SetView(Checked(IDC_GRAPH_DEVIATIONS) ? GraphView::Deviations : GraphView::Calibration);
        RedrawWindow(Item(IDC_GRAPH_CHART), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return;
    }
    if (code != CBN_SELCHANGE) return;
    if (id == IDC_GRAPH_CHANNEL) {
        FillComponentList();
        UpdateGraph();
    } else if (id == IDC_GRAPH_COMPONENT) {
        UpdateGraph();
    }
}

void DlgGraphPreview::DrawChart(const DRAWITEMSTRUCT& item) {
    GdiSurface surface(item.hDC);
    const RECT& r = item.rcItem;
    model_.Chart().Render(surface, PlotRect{r.left, r.top, r.right, r.bottom}, true);
    ++renders_;
}

std::vector<uint8_t> DlgGraphPreview::ChartPicture() {
    RECT r{};
    GetClientRect(Item(IDC_GRAPH_CHART), &r);
    return DrawnPicture(r.right, r.bottom, [&](HDC dc) {
        GdiSurface surface(dc);
        model_.Chart().Render(surface, PlotRect{0, 0, r.right, r.bottom}, false);
    });
}

bool DlgGraphPreview::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.idFrom != IDC_GRAPH_LEVELS || header.code != GRIDN_COPY) return false;
    CopyList(levels_.List(), ChartPicture());
    result = 1;
    return true;
}

bool DlgGraphPreview::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (wParam != IDC_GRAPH_CHART || !item) return false;
        DrawChart(*item);
        result = TRUE;
        return true;
    }
    if (message == RegisterWindowMessageW(kGraphRendersMessage)) {
        result = renders_;
        return true;
    }
    if (message == RegisterWindowMessageW(kSurfaceObjectsMessage)) {
        result = GdiSurface::LiveObjects();
        return true;
    }
    if (message == RegisterWindowMessageW(kReportGraphMessage)) {
        result = RenderReportGraph(reinterpret_cast<HDC>(wParam));
        return true;
    }
    return false;
}

DlgGraphPreview& GraphPage() {
    static DlgGraphPreview page;
    return page;
}
