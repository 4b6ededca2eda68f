#include "tools/plot-png/plot_png.h"

#include "plot/cairo_surface_native.h"

bool RenderChartPng(PlotChart& chart, int width, int height, const std::string& path) {
    constexpr int kLargest = 16384;  // keeps the picture within what cairo images allow
    if (width < 1 || height < 1 || width > kLargest || height > kLargest) return false;
    CairoSurface surface(width, height);
    chart.Render(surface, {0, 0, width, height}, false);
    return surface.WritePng(path);
}
