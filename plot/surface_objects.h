// The object table of a drawing surface family that keeps its own objects
// (the recording and the raster surfaces): pens, brushes, fonts and bitmaps by
// handle, the stock objects, each surface's selection, and GDI's rules for
// selecting and deleting. A memory surface shares the table of its parent.
#pragma once

#include <map>
#include <vector>

#include "plot/draw_surface.h"

enum class SurfaceObjectType { Pen, Brush, Font, Bitmap };

struct SurfaceObject {
    SurfaceObjectType type = SurfaceObjectType::Pen;
    bool stock = false;
    int32_t style = PenStyle::Solid;  // pens
    int32_t width = 0;                // pens and bitmaps
    int32_t height = 0;               // bitmaps
    PlotColor color = 0;              // pens and brushes
    bool nullBrush = false;
    PlotFont font;

    static SurfaceObject Pen(int32_t style, int32_t width, PlotColor color);
    static SurfaceObject Brush(PlotColor color);
    static SurfaceObject Font(const PlotFont& font);
    static SurfaceObject Bitmap(int32_t width, int32_t height);
};

// The objects one surface has selected. A memory surface starts with the
// stock default bitmap, any other surface with none.
struct SurfaceSelection {
    DrawObject pen, brush, font, bitmap;
    explicit SurfaceSelection(bool memory);
};

class SurfaceObjects {
public:
    static constexpr DrawObject kNullPen = 1, kNullBrush = 2, kBlackPen = 3, kWhiteBrush = 4, kSystemFont = 5,
                                kDefaultBitmap = 6;

    SurfaceObjects();

    DrawObject Add(const SurfaceObject& object);
    const SurfaceObject* Find(DrawObject handle) const;
    static DrawObject Stock(StockObject which);

    void Attach(const SurfaceSelection& selection) { selections_.push_back(&selection); }
    void Detach(const SurfaceSelection& selection);
    // Puts object into its slot of selection and returns the one it replaced;
    // 0 for an unknown object or a bitmap offered to a surface without one.
    DrawObject Select(SurfaceSelection& selection, DrawObject object) const;
    // Removes an object; false for an unknown one or one still selected
    // anywhere. Stock objects stay and count as deleted.
    bool Remove(DrawObject handle);

    int created() const { return created_; }
    int removed() const { return removed_; }
    size_t surfaces() const { return selections_.size(); }

private:
    std::map<DrawObject, SurfaceObject> objects_;
    std::vector<const SurfaceSelection*> selections_;
    DrawObject next_ = 100;
    int created_ = 0, removed_ = 0;
};
