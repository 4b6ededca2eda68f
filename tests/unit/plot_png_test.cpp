// Charts rasterised through cairo: the picture shows the series where the
// engine put it, the memory path gives the same pixels, files are written.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "plot/graph_chart.h"
#include "plot/cairo_surface_native.h"
#include "tools/plot-png/plot_png.h"

namespace {

bool Close(PlotColor a, PlotColor b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

bool ColourNear(CairoSurface& s, PlotPoint p, PlotColor colour, int radius) {
    for (int y = p.y - radius; y <= p.y + radius; ++y)
        for (int x = p.x - radius; x <= p.x + radius; ++x)
            if (Close(s.Pixel(x, y), colour, 40)) return true;
    return false;
}

struct PageChart {
    GraphPoints points;
    PlotChart chart;
    PageChart() {
        points.Add(0.5, 6300.0);
        points.Add(2.0, 25000.0);
        points.Add(5.0, 61000.0);
        SetupPageChart(chart);
        ShowPointsOnPageChart(chart, points);
    }
};

TEST(PlotPng, SeriesColourLiesAtThePlottedPointsAndCaptionsAreDrawn) {
    PageChart page;
    CairoSurface surface(500, 400);
    page.chart.Render(surface, {0, 0, 500, 400}, false);
    const PlotSeries& s = page.chart.series[0];
    for (size_t i = 0; i < page.points.size(); ++i) {
        const PlotPoint p{s.MapX(s, page.points.x[i], page.points.y[i]), s.MapY(s, page.points.x[i], page.points.y[i])};
        EXPECT_TRUE(ColourNear(surface, p, 0x737FFF, 3)) << i;
    }
    // Halfway between two points the line passes.
    const double x = (page.points.x[0] + page.points.x[1]) / 2, y = (page.points.y[0] + page.points.y[1]) / 2;
    EXPECT_TRUE(ColourNear(surface, {s.MapX(s, x, y), s.MapY(s, x, y)}, 0x737FFF, 2));
    // The X caption ends at the lower right corner, the Y caption starts at the upper left.
    int dark = 0;
    for (int yy = 380; yy < 400; ++yy)
        for (int xx = 350; xx < 500; ++xx) dark += Close(surface.Pixel(xx, yy), 0x000000, 100) ? 1 : 0;
    EXPECT_GT(dark, 50);
    dark = 0;
    for (int yy = 0; yy < 80; ++yy)
        for (int xx = 0; xx < 20; ++xx) dark += Close(surface.Pixel(xx, yy), 0x000000, 100) ? 1 : 0;
    EXPECT_GT(dark, 30);
    EXPECT_EQ(surface.Pixel(s.plotRect.right - 3, s.plotRect.top + 1), 0xFFFFFFu);  // inside, off grid and line
}

TEST(PlotPng, MemoryBitmapGivesTheSamePicture) {
    PageChart page;
    CairoSurface straight(300, 200), viaMemory(300, 200);
    page.chart.Render(straight, {0, 0, 300, 200}, false);
    page.chart.Render(viaMemory, {0, 0, 300, 200}, true);
    int different = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) different += straight.Pixel(x, y) != viaMemory.Pixel(x, y) ? 1 : 0;
    EXPECT_EQ(different, 0);
}

TEST(PlotPng, WritesReadablePngFilesAndRefusesWhatItCannot) {
    PageChart page;
    const char* dir = std::getenv("TMPDIR");
    const std::string path = std::string(dir != nullptr ? dir : "/tmp") + "/tessaro_plot_png_test.png";
    ASSERT_TRUE(RenderChartPng(page.chart, 320, 240, path));
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(image), 320);
    EXPECT_EQ(cairo_image_surface_get_height(image), 240);
    cairo_surface_destroy(image);
    std::remove(path.c_str());
    EXPECT_FALSE(RenderChartPng(page.chart, 0, 240, path));
    EXPECT_FALSE(RenderChartPng(page.chart, 320, 240, "/nonexistent-folder/x.png"));
}

}  // namespace
