// Renders a chart to a PNG file without any window system.
#pragma once

#include <string>

#include "plot/plot_chart.h"

// Draws chart into a white width × height picture and writes it to path
// (UTF-8). False when the size is not drawable or the file cannot be written.
bool RenderChartPng(PlotChart& chart, int width, int height, const std::string& path);
