// The native build's drawing surface: it rasterises into a cairo image,
// following GDI's pixel rules closely enough for charts: lines exclude their
// end pixel, shapes their right and bottom edges (one more with a null pen).
// Fonts are mapped onto the DejaVu families of the system, which cover Latin
// and Cyrillic. Not compiled into the Windows builds.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "plot/draw_surface.h"
#include "plot/surface_objects.h"

class CairoSurface : public DrawSurface {
public:
    // A white image of width × height pixels (at least 1 × 1).
    CairoSurface(int32_t width, int32_t height);
    ~CairoSurface() override;
    CairoSurface(const CairoSurface&) = delete;
    CairoSurface& operator=(const CairoSurface&) = delete;

    bool WritePng(const std::string& path);
    PlotColor Pixel(int32_t x, int32_t y);  // black outside the image
    int32_t Width() const;
    int32_t Height() const;

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

    struct Family;

private:
    CairoSurface(std::shared_ptr<Family> family, bool memory);
    void Target(cairo_surface_t* image);
    void UseFont();
    bool UsePen();
    bool UseBrush(DrawObject brush);
    // Normalises a shape's box and tells whether the selected pen outlines it.
    const SurfaceObject* ShapePen(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom);

    std::shared_ptr<Family> family_;
    cairo_surface_t* ownImage_ = nullptr;  // the picture, or a memory surface's 1 × 1 default bitmap
    cairo_surface_t* image_ = nullptr;     // the image drawn into: ownImage_ or a selected bitmap's
    cairo_t* cr_ = nullptr;
    bool memory_ = false;
    SurfaceSelection selection_;
    PlotPoint position_;
    PlotColor textColor_ = 0x000000, backgroundColor_ = 0xFFFFFF;
    int32_t backgroundMode_ = BackgroundMode::Opaque;
    uint32_t align_ = 0;
};
