#include "plot/surface_objects.h"

#include <algorithm>
#include <utility>

SurfaceObject SurfaceObject::Pen(int32_t style, int32_t width, PlotColor color) {
    SurfaceObject o;
    o.style = style;
    o.width = width;
    o.color = color;
    return o;
}

SurfaceObject SurfaceObject::Brush(PlotColor color) {
    SurfaceObject o;
    o.type = SurfaceObjectType::Brush;
    o.color = color;
    return o;
}

SurfaceObject SurfaceObject::Font(const PlotFont& font) {
    SurfaceObject o;
    o.type = SurfaceObjectType::Font;
    o.font = font;
    return o;
}

SurfaceObject SurfaceObject::Bitmap(int32_t width, int32_t height) {
    SurfaceObject o;
    o.type = SurfaceObjectType::Bitmap;
    o.width = width;
    o.height = height;
    return o;
}

SurfaceSelection::SurfaceSelection(bool memory)
    : pen(SurfaceObjects::kBlackPen),
      brush(SurfaceObjects::kWhiteBrush),
      font(SurfaceObjects::kSystemFont),
      bitmap(memory ? SurfaceObjects::kDefaultBitmap : 0) {}

SurfaceObjects::SurfaceObjects() {
    SurfaceObject o;
    o.stock = true;
    o.style = PenStyle::Null;
    objects_[kNullPen] = o;
    o.style = PenStyle::Solid;
    objects_[kBlackPen] = o;
    o.type = SurfaceObjectType::Brush;
    o.nullBrush = true;
    objects_[kNullBrush] = o;
    o.nullBrush = false;
    o.color = 0xFFFFFF;
    objects_[kWhiteBrush] = o;
    o.type = SurfaceObjectType::Font;
    o.font.height = 16;
    objects_[kSystemFont] = o;
    o.type = SurfaceObjectType::Bitmap;  // stands for each memory surface's own 1 × 1 bitmap
    objects_[kDefaultBitmap] = o;
}

DrawObject SurfaceObjects::Add(const SurfaceObject& object) {
    objects_[next_] = object;
    objects_[next_].stock = false;
    ++created_;
    return next_++;
}

const SurfaceObject* SurfaceObjects::Find(DrawObject handle) const {
    const auto it = objects_.find(handle);
    return it == objects_.end() ? nullptr : &it->second;
}

DrawObject SurfaceObjects::Stock(StockObject which) {
    switch (which) {
        case StockObject::NullPen: return kNullPen;
        case StockObject::NullBrush: return kNullBrush;
        case StockObject::BlackPen: return kBlackPen;
        case StockObject::WhiteBrush: return kWhiteBrush;
    }
    return 0;
}

void SurfaceObjects::Detach(const SurfaceSelection& selection) {
    selections_.erase(std::remove(selections_.begin(), selections_.end(), &selection), selections_.end());
}

DrawObject SurfaceObjects::Select(SurfaceSelection& selection, DrawObject object) const {
    const SurfaceObject* o = Find(object);
    if (o == nullptr) return 0;
    switch (o->type) {
        case SurfaceObjectType::Pen: return std::exchange(selection.pen, object);
        case SurfaceObjectType::Brush: return std::exchange(selection.brush, object);
        case SurfaceObjectType::Font: return std::exchange(selection.font, object);
        case SurfaceObjectType::Bitmap:
            return selection.bitmap == 0 ? 0 : std::exchange(selection.bitmap, object);
    }
    return 0;
}

bool SurfaceObjects::Remove(DrawObject handle) {
    const SurfaceObject* o = Find(handle);
    if (o == nullptr) return false;
    if (o->stock) return true;
    for (const SurfaceSelection* s : selections_)
        if (s->pen == handle || s->brush == handle || s->font == handle || s->bitmap == handle) return false;
    objects_.erase(handle);
    ++removed_;
    return true;
}
