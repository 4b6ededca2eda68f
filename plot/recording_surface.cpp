#include "plot/recording_surface.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

struct RecordingSurface::Family {
    SurfaceObjects objects;
    std::vector<RecordedOp> ops;
    int faults = 0, nextSurface = 1;
};

RecordingSurface::RecordingSurface() : RecordingSurface(std::make_shared<Family>(), 0) {}

RecordingSurface::RecordingSurface(std::shared_ptr<Family> family, int id)
    : family_(std::move(family)), id_(id), selection_(id != 0) {
    family_->objects.Attach(selection_);
}

RecordingSurface::~RecordingSurface() { family_->objects.Detach(selection_); }

DrawObject RecordingSurface::CreatePen(int32_t style, int32_t width, PlotColor color) {
    return family_->objects.Add(SurfaceObject::Pen(style, width, color));
}

DrawObject RecordingSurface::CreateBrush(PlotColor color) {
    return family_->objects.Add(SurfaceObject::Brush(color));
}

DrawObject RecordingSurface::CreateFontObject(const PlotFont& font) {
    return family_->objects.Add(SurfaceObject::Font(font));
}

DrawObject RecordingSurface::CreateBitmap(int32_t width, int32_t height) {
    if (width < 1 || height < 1) return 0;
    return family_->objects.Add(SurfaceObject::Bitmap(width, height));
}

DrawObject RecordingSurface::Stock(StockObject which) { return SurfaceObjects::Stock(which); }

DrawObject RecordingSurface::Select(DrawObject object) {
    const DrawObject previous = family_->objects.Select(selection_, object);
    if (previous == 0) ++family_->faults;
    return previous;
}

bool RecordingSurface::Delete(DrawObject object) {
    const bool removed = family_->objects.Remove(object);
    if (!removed) ++family_->faults;
    return removed;
}

RecordedOp& RecordingSurface::Record(RecordedOp::Kind kind, int32_t a, int32_t b, int32_t c, int32_t d) {
    RecordedOp op;
    op.kind = kind;
    op.surface = id_;
    op.a = a;
    op.b = b;
    op.c = c;
    op.d = d;
    const SurfaceObjects& objects = family_->objects;
    if (const SurfaceObject* pen = objects.Find(selection_.pen)) {
        op.penStyle = pen->style;
        op.penWidth = pen->width;
        op.penColor = pen->color;
    }
    if (const SurfaceObject* brush = objects.Find(selection_.brush)) {
        op.hollow = brush->nullBrush;
        op.brushColor = brush->color;
    }
    if (const SurfaceObject* font = objects.Find(selection_.font)) {
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
    const SurfaceObject* o = family_->objects.Find(brush);
    if (o == nullptr || o->type != SurfaceObjectType::Brush) {
        ++family_->faults;
        return;
    }
    op.hollow = o->nullBrush;
    op.brushColor = o->color;
}

PlotColor RecordingSurface::SetTextColor(PlotColor color) { return std::exchange(textColor_, color); }
PlotColor RecordingSurface::SetBackgroundColor(PlotColor color) { return std::exchange(backgroundColor_, color); }
int32_t RecordingSurface::SetBackgroundMode(int32_t mode) { return std::exchange(backgroundMode_, mode); }
uint32_t RecordingSurface::SetTextAlign(uint32_t align) { return std::exchange(align_, align); }

void RecordingSurface::DrawString(int32_t x, int32_t y, const std::wstring& text) {
    Record(RecordedOp::Text, x, y, 0, 0).text = text;
}

PlotTextMetrics RecordingSurface::FontMetrics() {
    const SurfaceObject* o = family_->objects.Find(selection_.font);
    const int32_t height = o != nullptr ? o->font.height : 0;
    const int32_t cell = height == 0 ? 16 : std::abs(height);
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
    if (from == nullptr || from->family_ != family_ || from->selection_.bitmap == 0 ||
        from->selection_.bitmap == SurfaceObjects::kDefaultBitmap)
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
int RecordingSurface::ObjectsCreated() const { return family_->objects.created(); }
int RecordingSurface::ObjectsDeleted() const { return family_->objects.removed(); }
int RecordingSurface::LiveObjects() const { return family_->objects.created() - family_->objects.removed(); }
int RecordingSurface::LiveSurfaces() const { return static_cast<int>(family_->objects.surfaces()) - 1; }
int RecordingSurface::Faults() const { return family_->faults; }
