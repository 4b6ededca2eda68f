#include "plot/recording_surface.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

enum class ObjectType { Pen, Brush, Font, Bitmap };

struct ObjectInfo {
    ObjectType type = ObjectType::Pen;
    bool stock = false;
    int32_t style = PenStyle::Solid;
    int32_t width = 0;
    PlotColor color = 0;
    bool nullBrush = false;
    PlotFont font;
};

constexpr DrawObject kNullPen = 1, kNullBrush = 2, kBlackPen = 3, kWhiteBrush = 4, kSystemFont = 5,
                     kDefaultBitmap = 6, kFirstCreated = 100;

int32_t CellHeight(const PlotFont& font) { return font.height == 0 ? 16 : std::abs(font.height); }

}  // namespace

struct RecordingSurface::Family {
    std::map<DrawObject, ObjectInfo> objects;
    DrawObject next = kFirstCreated;
    std::vector<RecordedOp> ops;
    std::vector<const RecordingSurface*> surfaces;
    int created = 0, deleted = 0, faults = 0, nextSurface = 1;

    Family() {
        ObjectInfo info;
        info.stock = true;
        info.style = PenStyle::Null;
        objects[kNullPen] = info;
        info.style = PenStyle::Solid;
        objects[kBlackPen] = info;
        info.type = ObjectType::Brush;
        info.nullBrush = true;
        objects[kNullBrush] = info;
        info.nullBrush = false;
        info.color = 0xFFFFFF;
        objects[kWhiteBrush] = info;
        info.type = ObjectType::Font;
        info.font.height = 16;
        objects[kSystemFont] = info;
        info.type = ObjectType::Bitmap;
        objects[kDefaultBitmap] = info;
    }
    DrawObject Add(const ObjectInfo& info) {
        const DrawObject handle = next++;
        objects[handle] = info;
        ++created;
        return handle;
    }
    const ObjectInfo* Find(DrawObject handle) const {
        const auto it = objects.find(handle);
        return it == objects.end() ? nullptr : &it->second;
    }
};

RecordingSurface::RecordingSurface() : RecordingSurface(std::make_shared<Family>(), 0) {}

RecordingSurface::RecordingSurface(std::shared_ptr<Family> family, int id)
    : family_(std::move(family)), id_(id), pen_(kBlackPen), brush_(kWhiteBrush), font_(kSystemFont) {
    if (id_ != 0) bitmap_ = kDefaultBitmap;
    family_->surfaces.push_back(this);
}

RecordingSurface::~RecordingSurface() {
    auto& list = family_->surfaces;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

DrawObject RecordingSurface::CreatePen(int32_t style, int32_t width, PlotColor color) {
    ObjectInfo info;
    info.style = style;
    info.width = width;
    info.color = color;
    return family_->Add(info);
}

DrawObject RecordingSurface::CreateBrush(PlotColor color) {
    ObjectInfo info;
    info.type = ObjectType::Brush;
    info.color = color;
    return family_->Add(info);
}

DrawObject RecordingSurface::CreateFontObject(const PlotFont& font) {
    ObjectInfo info;
    info.type = ObjectType::Font;
    info.font = font;
    return family_->Add(info);
}

DrawObject RecordingSurface::CreateBitmap(int32_t width, int32_t height) {
    if (width < 1 || height < 1) return 0;
    ObjectInfo info;
    info.type = ObjectType::Bitmap;
    info.width = width;
    return family_->Add(info);
}

DrawObject RecordingSurface::Stock(StockObject which) {
    switch (which) {
        case StockObject::NullPen: return kNullPen;
        case StockObject::NullBrush: return kNullBrush;
        case StockObject::BlackPen: return kBlackPen;
        case StockObject::WhiteBrush: return kWhiteBrush;
    }
    return 0;
}

DrawObject RecordingSurface::Select(DrawObject object) {
    const ObjectInfo* info = family_->Find(object);
    if (info == nullptr || (info->type == ObjectType::Bitmap && id_ == 0)) {
        ++family_->faults;
        return 0;
    }
    DrawObject* slot = info->type == ObjectType::Pen     ? &pen_
                       : info->type == ObjectType::Brush ? &brush_
                       : info->type == ObjectType::Font  ? &font_
                                                         : &bitmap_;
    return std::exchange(*slot, object);
}

bool RecordingSurface::Delete(DrawObject object) {
    const ObjectInfo* info = family_->Find(object);
    if (info == nullptr) {
        ++family_->faults;
        return false;
    }
    if (info->stock) return true;
    for (const RecordingSurface* s : family_->surfaces) {
        if (s->pen_ == object || s->brush_ == object || s->font_ == object || s->bitmap_ == object) {
            ++family_->faults;
            return false;
        }
    }
    family_->objects.erase(object);
    ++family_->deleted;
    return true;
}

RecordedOp& RecordingSurface::Record(RecordedOp::Kind kind, int32_t a, int32_t b, int32_t c, int32_t d) {
    RecordedOp op;
    op.kind = kind;
    op.surface = id_;
    op.a = a;
    op.b = b;
    op.c = c;
    op.d = d;
    if (const ObjectInfo* pen = family_->Find(pen_)) {
        op.penStyle = pen->style;
        op.penWidth = pen->width;
        op.penColor = pen->color;
    }
    if (const ObjectInfo* brush = family_->Find(brush_)) {
        op.hollow = brush->nullBrush;
        op.brushColor = brush->color;
    }
    if (const ObjectInfo* font = family_->Find(font_)) {
        op.escapement = font->font.escapement;
        op.fontHeight = font->font.height;
    }
    op.textColor = textColor_;
    op.align = align_;
    family_->ops.push_back(op);
    return family_->ops.back();
}

void RecordingSurface::MoveTo(int32_t x, int32_t y) {
    Record(RecordedOp::MoveTo, x, y, 0, 0);
    position_ = {x, y};
}

void RecordingSurface::LineTo(int32_t x, int32_t y) {
    Record(RecordedOp::LineTo, position_.x, position_.y, x, y);
    position_ = {x, y};
}

void RecordingSurface::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Record(RecordedOp::Ellipse, left, top, right, bottom);
}

void RecordingSurface::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Record(RecordedOp::Rectangle, left, top, right, bottom);
}

void RecordingSurface::FillRect(const PlotRect& rect, DrawObject brush) {
    RecordedOp& op = Record(RecordedOp::FillRect, rect.left, rect.top, rect.right, rect.bottom);
    const ObjectInfo* info = family_->Find(brush);
    if (info == nullptr || info->type != ObjectType::Brush) {
        ++family_->faults;
        return;
    }
    op.hollow = info->nullBrush;
    op.brushColor = info->color;
}

PlotColor RecordingSurface::SetTextColor(PlotColor color) { return std::exchange(textColor_, color); }
PlotColor RecordingSurface::SetBackgroundColor(PlotColor color) { return std::exchange(backgroundColor_, color); }
int32_t RecordingSurface::SetBackgroundMode(int32_t mode) { return std::exchange(backgroundMode_, mode); }
uint32_t RecordingSurface::SetTextAlign(uint32_t align) { return std::exchange(align_, align); }

void RecordingSurface::DrawString(int32_t x, int32_t y, const std::wstring& text) {
    Record(RecordedOp::Text, x, y, 0, 0).text = text;
}

PlotTextMetrics RecordingSurface::FontMetrics() {
    const ObjectInfo* info = family_->Find(font_);
    const int32_t cell = info != nullptr ? CellHeight(info->font) : 16;
    PlotTextMetrics tm;
    tm.height = cell;
    tm.descent = cell / 5;
    tm.ascent = cell - tm.descent;
    tm.aveCharWidth = std::max(1, cell / 2);
    tm.maxCharWidth = tm.aveCharWidth;
    return tm;
}

PlotSize RecordingSurface::TextExtent(const std::wstring& text) {
    const PlotTextMetrics tm = FontMetrics();
    return {static_cast<int32_t>(text.size()) * tm.aveCharWidth, tm.height};
}

void RecordingSurface::IntersectClip(const PlotRect& rect) {
    Record(RecordedOp::Clip, rect.left, rect.top, rect.right, rect.bottom);
}

void RecordingSurface::RemoveClip() { Record(RecordedOp::RemoveClip, 0, 0, 0, 0); }

std::unique_ptr<DrawSurface> RecordingSurface::CreateCompatible() {
    return std::unique_ptr<DrawSurface>(new RecordingSurface(family_, family_->nextSurface++));
}

void RecordingSurface::CopyFrom(int32_t x, int32_t y, int32_t width, int32_t height, DrawSurface& source, int32_t,
                                int32_t) {
    const auto* from = dynamic_cast<const RecordingSurface*>(&source);
    if (from == nullptr || from->family_ != family_ || from->bitmap_ == 0 || from->bitmap_ == kDefaultBitmap)
        ++family_->faults;  // GDI would copy nothing useful
    Record(RecordedOp::Copy, x, y, width, height);
}

const std::vector<RecordedOp>& RecordingSurface::Ops() const { return family_->ops; }

std::vector<RecordedOp> RecordingSurface::Ops(RecordedOp::Kind kind) const {
    std::vector<RecordedOp> found;
    for (const RecordedOp& op : family_->ops)
        if (op.kind == kind) found.push_back(op);
    return found;
}

void RecordingSurface::ClearOps() { family_->ops.clear(); }
int RecordingSurface::ObjectsCreated() const { return family_->created; }
int RecordingSurface::ObjectsDeleted() const { return family_->deleted; }
int RecordingSurface::LiveObjects() const { return family_->created - family_->deleted; }
int RecordingSurface::LiveSurfaces() const { return static_cast<int>(family_->surfaces.size()) - 1; }
int RecordingSurface::Faults() const { return family_->faults; }
