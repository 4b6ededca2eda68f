// A drawing surface that records every operation, for tests and diagnostics.
// Fonts have fixed metrics: a cell of |height| pixels (16 for 0), ascent four
// fifths of it, every character half the cell wide. The surface keeps count of
// the objects created and deleted by its family (itself and its memory
// surfaces), tracks what each surface has selected, and counts misuse (a
// selected object deleted, an unknown object used) as faults.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plot/draw_surface.h"
#include "plot/surface_objects.h"

struct RecordedOp {
    enum Kind { MoveTo, LineTo, Ellipse, Rectangle, FillRect, Text, Copy, Clip, RemoveClip };
    Kind kind = MoveTo;
    int surface = 0;  // 0 for the surface made by the test, 1, 2, ... for memory surfaces
    // LineTo: from (a, b) to (c, d); MoveTo: (a, b); shapes and clips: left, top,
    // right, bottom; Text: reference point (a, b); Copy: x, y, width, height.
    int32_t a = 0, b = 0, c = 0, d = 0;
    std::wstring text;
    uint32_t align = 0;
    int32_t escapement = 0;
    int32_t fontHeight = 0;
    PlotColor textColor = 0;
    int32_t penStyle = PenStyle::Solid;  // of the selected pen
    int32_t penWidth = 0;
    PlotColor penColor = 0;
    bool hollow = false;  // the selected (or given) brush is the null brush
    PlotColor brushColor = 0;
};

class RecordingSurface : public DrawSurface {
public:
    RecordingSurface();
    ~RecordingSurface() override;

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

    // What the family recorded, in order.
    const std::vector<RecordedOp>& Ops() const;
    std::vector<RecordedOp> Ops(RecordedOp::Kind kind) const;
    void ClearOps();

    int ObjectsCreated() const;
    int ObjectsDeleted() const;
    int LiveObjects() const;     // created and not yet deleted
    int LiveSurfaces() const;    // memory surfaces not yet destroyed
    int Faults() const;

    DrawObject SelectedPen() const { return selection_.pen; }
    DrawObject SelectedBrush() const { return selection_.brush; }
    DrawObject SelectedFont() const { return selection_.font; }
    PlotColor TextColor() const { return textColor_; }
    int32_t BackgroundMode() const { return backgroundMode_; }
    uint32_t TextAlignment() const { return align_; }

    struct Family;

private:
    RecordingSurface(std::shared_ptr<Family> family, int id);
    RecordedOp& Record(RecordedOp::Kind kind, int32_t a, int32_t b, int32_t c, int32_t d);

    std::shared_ptr<Family> family_;
    int id_ = 0;
    SurfaceSelection selection_;
    PlotPoint position_;
    PlotColor textColor_ = 0x000000, backgroundColor_ = 0xFFFFFF;
    int32_t backgroundMode_ = BackgroundMode::Opaque;
    uint32_t align_ = 0;
};
