// The drawing surface the plot engine draws through: the few GDI-like
// operations a chart needs (objects, lines, ellipses, rectangles, fills, text,
// clipping, memory surfaces and block copies). The Windows build draws through
// GDI, the native build records the operations or rasterises them.
//
// Semantics follow GDI's: a surface has one pen, one brush, one font and (for
// a memory surface) one bitmap selected at a time; Select returns the object it
// replaced; objects must be deselected before they are deleted; lines exclude
// their end pixel; Rectangle and Ellipse exclude the right and bottom edges.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

using PlotColor = uint32_t;  // 0x00BBGGRR, as a GDI colour reference

constexpr PlotColor PlotRgb(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<PlotColor>(red) | (static_cast<PlotColor>(green) << 8) | (static_cast<PlotColor>(blue) << 16);
}

struct PlotPoint {
    int32_t x = 0;
    int32_t y = 0;
};
inline bool operator==(PlotPoint a, PlotPoint b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(PlotPoint a, PlotPoint b) { return !(a == b); }

struct PlotSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

struct PlotRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
inline bool operator==(const PlotRect& a, const PlotRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const PlotRect& a, const PlotRect& b) { return !(a == b); }

// Left and top edges belong to the rectangle, right and bottom ones do not.
inline bool PointInRect(const PlotRect& r, PlotPoint p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
inline bool RectEmpty(const PlotRect& r) { return r.right - r.left < 1 || r.bottom - r.top < 1; }
// The common part of two rectangles; all zeros when they do not overlap.
PlotRect IntersectRects(const PlotRect& a, const PlotRect& b);
// a·b/c rounded half away from zero with a 64-bit product; -1 when c is 0.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

namespace PenStyle {
constexpr int32_t Solid = 0;
constexpr int32_t Dash = 1;
constexpr int32_t Dot = 2;
constexpr int32_t DashDot = 3;
constexpr int32_t DashDotDot = 4;
constexpr int32_t Null = 5;
}  // namespace PenStyle

namespace TextAlign {
constexpr uint32_t Left = 0;
constexpr uint32_t Right = 2;
constexpr uint32_t Center = 6;
constexpr uint32_t Top = 0;
constexpr uint32_t Bottom = 8;
constexpr uint32_t Baseline = 24;
constexpr uint32_t HorizontalMask = 6;
constexpr uint32_t VerticalMask = 24;
}  // namespace TextAlign

namespace BackgroundMode {
constexpr int32_t Transparent = 1;
constexpr int32_t Opaque = 2;
}  // namespace BackgroundMode

namespace FontCharSet {
constexpr uint8_t Ansi = 0;
constexpr uint8_t Default = 1;
constexpr uint8_t Russian = 204;
}  // namespace FontCharSet

// A logical font: the members of a GDI logical font, in its order and meaning.
// height > 0 is the cell height (ascent + descent), < 0 the character height,
// 0 a default size; escapement is in tenths of a degree, counter-clockwise.
struct PlotFont {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    wchar_t faceName[32] = {};
};
// Copies face into font.faceName, cut to 31 characters.
void SetFontFace(PlotFont& font, const wchar_t* face);

struct PlotTextMetrics {
    int32_t height = 0;  // ascent + descent
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t internalLeading = 0;
    int32_t aveCharWidth = 0;
    int32_t maxCharWidth = 0;
};

// A pen, brush, font or bitmap of a surface family (a surface and the memory
// surfaces made compatible with it share their objects). 0 is no object.
using DrawObject = std::uintptr_t;

enum class StockObject { NullPen, NullBrush, BlackPen, WhiteBrush };

class DrawSurface {
public:
    virtual ~DrawSurface() = default;

    // Objects. Creation returns 0 on failure; stock objects are never deleted.
    virtual DrawObject CreatePen(int32_t style, int32_t width, PlotColor color) = 0;
    virtual DrawObject CreateBrush(PlotColor color) = 0;
    virtual DrawObject CreateFontObject(const PlotFont& font) = 0;
    // A bitmap compatible with this surface, to be selected into a memory surface.
    virtual DrawObject CreateBitmap(int32_t width, int32_t height) = 0;
    virtual DrawObject Stock(StockObject which) = 0;
    virtual DrawObject Select(DrawObject object) = 0;  // the replaced object, 0 on failure
    virtual bool Delete(DrawObject object) = 0;

    // Lines from the current position; shapes outlined with the pen and filled
    // with the brush.
    virtual void MoveTo(int32_t x, int32_t y) = 0;
    virtual void LineTo(int32_t x, int32_t y) = 0;
    virtual void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void FillRect(const PlotRect& rect, DrawObject brush) = 0;

    // Text in the selected font; the setters return the previous value.
    virtual PlotColor SetTextColor(PlotColor color) = 0;
    virtual PlotColor SetBackgroundColor(PlotColor color) = 0;
    virtual int32_t SetBackgroundMode(int32_t mode) = 0;
    virtual uint32_t SetTextAlign(uint32_t align) = 0;
    virtual void DrawString(int32_t x, int32_t y, const std::wstring& text) = 0;
    virtual PlotTextMetrics FontMetrics() = 0;
    virtual PlotSize TextExtent(const std::wstring& text) = 0;  // unrotated

    // Clipping: narrow the clip region to a rectangle, or remove it.
    virtual void IntersectClip(const PlotRect& rect) = 0;
    virtual void RemoveClip() = 0;

    // Memory surfaces: a surface compatible with this one (without a bitmap
    // until one is selected), destroyed with its owner; null on failure.
    virtual std::unique_ptr<DrawSurface> CreateCompatible() = 0;
    // Copies width × height pixels of source at (sourceX, sourceY) to (x, y).
    virtual void CopyFrom(int32_t x, int32_t y, int32_t width, int32_t height, DrawSurface& source, int32_t sourceX,
                          int32_t sourceY) = 0;

    void MoveTo(PlotPoint p) { MoveTo(p.x, p.y); }
    void LineTo(PlotPoint p) { LineTo(p.x, p.y); }
};

// An object created for one drawing step, deleted when the step ends.
class OwnedObject {
public:
    OwnedObject(DrawSurface& surface, DrawObject object) : surface_(surface), object_(object) {}
    ~OwnedObject() {
        if (object_ != 0) surface_.Delete(object_);
    }
    OwnedObject(const OwnedObject&) = delete;
    OwnedObject& operator=(const OwnedObject&) = delete;
    DrawObject get() const { return object_; }

private:
    DrawSurface& surface_;
    DrawObject object_;
};

// Selects an object for one drawing step and puts the previous one back.
// Declare it after the OwnedObject it selects so that it is undone first.
class ObjectSelection {
public:
    ObjectSelection(DrawSurface& surface, DrawObject object)
        : surface_(surface), previous_(object != 0 ? surface.Select(object) : 0) {}
    ~ObjectSelection() {
        if (previous_ != 0) surface_.Select(previous_);
    }
    ObjectSelection(const ObjectSelection&) = delete;
    ObjectSelection& operator=(const ObjectSelection&) = delete;

private:
    DrawSurface& surface_;
    DrawObject previous_;
};

// Sets text colour, background mode and alignment for one drawing step and
// puts the previous values back.
class TextState {
public:
    TextState(DrawSurface& surface, PlotColor color, int32_t mode)
        : surface_(surface),
          color_(surface.SetTextColor(color)),
          mode_(surface.SetBackgroundMode(mode)),
          align_(surface.SetTextAlign(TextAlign::Left | TextAlign::Top)) {}
    ~TextState() {
        surface_.SetTextColor(color_);
        surface_.SetBackgroundMode(mode_);
        surface_.SetTextAlign(align_);
    }
    TextState(const TextState&) = delete;
    TextState& operator=(const TextState&) = delete;

private:
    DrawSurface& surface_;
    PlotColor color_;
    int32_t mode_;
    uint32_t align_;
};
