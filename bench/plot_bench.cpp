// The plot engine's own work for one repaint, measured on the recording
// surface (no rasterising): layout, ticks, markers and the clipped polyline.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "plot/graph_chart.h"
#include "plot/recording_surface.h"

namespace {

void RenderChart(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    GraphPoints graph;
    for (int i = 0; i < points; ++i) graph.Add(0.1 * (i + 1), 1000.0 * (i + 1) + 50.0 * std::sin(i));
    PlotChart chart;
    SetupPageChart(chart);
    ShowPointsOnPageChart(chart, graph);
    for (auto _ : state) {
        RecordingSurface surface;
        chart.Render(surface, {0, 0, 800, 600}, true);
        benchmark::DoNotOptimize(surface.Ops().size());
    }
    state.SetItemsProcessed(state.iterations() * points);
}
BENCHMARK(RenderChart)->Arg(5)->Arg(1000)->Arg(100000);

}  // namespace
