// The drawing surface over a GDI device context, for the Windows build.
// Every GDI object and memory device context it creates is counted process-wide
// until it is deleted, so that repaint loops can be checked for leaks (the
// system's own resource counters are not available everywhere).
#pragma once

#include <windows.h>

#include "plot/draw_surface.h"

class GdiSurface : public DrawSurface {
public:
    explicit GdiSurface(HDC dc) : dc_(dc) {}  // borrows dc
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    HDC dc() const { return dc_; }

    // GDI objects and memory device contexts made through any GdiSurface and
    // not yet deleted.
    static long LiveObjects();

    DrawObject CreatePen(int32_t style, int32_t width, PlotColor color) override;
    DrawObject CreateBrush(PlotColor color) override;
    DrawObject CreateFontObject(const PlotFont& font) override;
    DrawObject CreateBitmap(int32_t width, int32_t height) override;
    DrawObject Stock(StockObject which) override;
    DrawObject Select(DrawObject object) override;
    bool Delete(DrawObject object) override;

    void MoveTo(int32_t x, int32_t y) override;
    void LineTo(int32_t x, int32_t y) override;
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void FillRect(const PlotRect& rect, DrawObject brush) override;

    PlotColor SetTextColor(PlotColor color) override;
    PlotColor SetBackgroundColor(PlotColor color) override;
    int32_t SetBackgroundMode(int32_t mode) override;
    uint32_t SetTextAlign(uint32_t align) override;
    void DrawString(int32_t x, int32_t y, const std::wstring& text) override;
    PlotTextMetrics FontMetrics() override;
    PlotSize TextExtent(const std::wstring& text) override;

    void IntersectClip(const PlotRect& rect) override;
    void RemoveClip() override;

    std::unique_ptr<DrawSurface> CreateCompatible() override;
    void CopyFrom(int32_t x, int32_t y, int32_t width, int32_t height, DrawSurface& source, int32_t sourceX,
                  int32_t sourceY) override;

    using DrawSurface::LineTo;
    using DrawSurface::MoveTo;

private:
    GdiSurface(HDC dc, bool owned) : dc_(dc), owned_(owned) {}

    HDC dc_;
    bool owned_ = false;  // a memory device context made by CreateCompatible
};
