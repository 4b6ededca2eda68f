#include "plot/cairo_surface_native.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwctype>
#include <map>
#include <utility>
#include <vector>

#include "base/text.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void SetColor(cairo_t* cr, PlotColor c) {
    cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
}

cairo_surface_t* WhiteImage(int32_t width, int32_t height) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1, width), std::max(1, height));
    cairo_t* cr = cairo_create(image);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    return image;
}

std::wstring Lower(const wchar_t* text) {
    std::wstring s;
    for (; *text != 0; ++text) s += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(*text)));
    return s;
}

// The DejaVu family standing in for a requested face.
const char* FamilyFor(const PlotFont& font) {
    const std::wstring face = Lower(font.faceName);
    for (const wchar_t* mono : {L"courier", L"mono", L"consol", L"console", L"fixedsys"})
        if (face.find(mono) != std::wstring::npos) return "DejaVu Sans Mono";
    for (const wchar_t* serif : {L"times", L"serif", L"georgia", L"garamond"})
        if (face.find(serif) != std::wstring::npos && face.find(L"sans") == std::wstring::npos) return "DejaVu Serif";
    return "DejaVu Sans";
}

}  // namespace

struct CairoSurface::Family {
    SurfaceObjects objects;
    std::map<DrawObject, cairo_surface_t*> images;  // of the bitmaps
    std::map<std::string, double> cellPerEm;       // (ascent + descent) / font size, per family and style

    ~Family() {
        for (auto& [handle, image] : images) cairo_surface_destroy(image);
    }
    const SurfaceObject* Find(DrawObject handle) const { return objects.Find(handle); }
};

CairoSurface::CairoSurface(int32_t width, int32_t height) : CairoSurface(std::make_shared<Family>(), false) {
    ownImage_ = WhiteImage(width, height);
    Target(ownImage_);
}

CairoSurface::CairoSurface(std::shared_ptr<Family> family, bool memory)
    : family_(std::move(family)), memory_(memory), selection_(memory) {
    family_->objects.Attach(selection_);
}

CairoSurface::~CairoSurface() {
    if (cr_ != nullptr) cairo_destroy(cr_);
    if (ownImage_ != nullptr) cairo_surface_destroy(ownImage_);
    family_->objects.Detach(selection_);
}

void CairoSurface::Target(cairo_surface_t* image) {
    if (cr_ != nullptr) cairo_destroy(cr_);
    image_ = image;
    cr_ = cairo_create(image_);
}

bool CairoSurface::WritePng(const std::string& path) {
    cairo_surface_flush(image_);
    return cairo_surface_write_to_png(image_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

int32_t CairoSurface::Width() const { return cairo_image_surface_get_width(image_); }
int32_t CairoSurface::Height() const { return cairo_image_surface_get_height(image_); }

PlotColor CairoSurface::Pixel(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    cairo_surface_flush(image_);
    const unsigned char* row = cairo_image_surface_get_data(image_) + y * cairo_image_surface_get_stride(image_);
    const uint32_t rgb = reinterpret_cast<const uint32_t*>(row)[x];  // 0x00RRGGBB
    return PlotRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

DrawObject CairoSurface::CreatePen(int32_t style, int32_t width, PlotColor color) {
    return family_->objects.Add(SurfaceObject::Pen(style, width, color));
}

DrawObject CairoSurface::CreateBrush(PlotColor color) {
    return family_->objects.Add(SurfaceObject::Brush(color));
}

DrawObject CairoSurface::CreateFontObject(const PlotFont& font) {
    return family_->objects.Add(SurfaceObject::Font(font));
}

DrawObject CairoSurface::CreateBitmap(int32_t width, int32_t height) {
    if (width < 1 || height < 1) return 0;
    const DrawObject handle = family_->objects.Add(SurfaceObject::Bitmap(width, height));
    family_->images[handle] = WhiteImage(width, height);
    return handle;
}

DrawObject CairoSurface::Stock(StockObject which) { return SurfaceObjects::Stock(which); }

DrawObject CairoSurface::Select(DrawObject object) {
    const DrawObject previous = family_->objects.Select(selection_, object);
    if (previous != 0 && selection_.bitmap == object) {
        const auto image = family_->images.find(object);
        Target(image != family_->images.end() ? image->second : ownImage_);
    }
    return previous;
}

bool CairoSurface::Delete(DrawObject object) {
    if (!family_->objects.Remove(object)) return false;
    const auto image = family_->images.find(object);
    if (image != family_->images.end()) {
        cairo_surface_destroy(image->second);
        family_->images.erase(image);
    }
    return true;
}

bool CairoSurface::UsePen() {
    const SurfaceObject* pen = family_->Find(selection_.pen);
    if (pen == nullptr || pen->style == PenStyle::Null) return false;
    const double width = std::max(1, pen->width);
    SetColor(cr_, pen->color);
    cairo_set_line_width(cr_, width);
    cairo_set_line_cap(cr_, pen->width > 1 ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    static const double dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6}, dashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (pen->style) {
        case PenStyle::Dash: cairo_set_dash(cr_, dash, 2, 0); break;
        case PenStyle::Dot: cairo_set_dash(cr_, dot, 2, 0); break;
        case PenStyle::DashDot: cairo_set_dash(cr_, dashDot, 4, 0); break;
        case PenStyle::DashDotDot: cairo_set_dash(cr_, dashDotDot, 6, 0); break;
        default: cairo_set_dash(cr_, nullptr, 0, 0); break;
    }
    return true;
}

bool CairoSurface::UseBrush(DrawObject brush) {
    const SurfaceObject* o = family_->Find(brush);
    if (o == nullptr || o->type != SurfaceObjectType::Brush || o->nullBrush) return false;
    SetColor(cr_, o->color);
    return true;
}

void CairoSurface::MoveTo(int32_t x, int32_t y) { position_ = {x, y}; }

void CairoSurface::LineTo(int32_t x, int32_t y) {
    const PlotPoint from = position_;
    position_ = {x, y};
    const SurfaceObject* pen = family_->Find(selection_.pen);
    if (!UsePen()) return;
    cairo_save(cr_);
    if ((from.x == x || from.y == y) && pen->width <= 1 && pen->style == PenStyle::Solid) {
        // Axis-parallel hairlines as exact pixel runs without their end pixel.
        int32_t left = std::min(from.x, x), right = std::max(from.x, x) + 1;
        int32_t top = std::min(from.y, y), bottom = std::max(from.y, y) + 1;
        if (from.y == y) (x > from.x ? right : left) += (x > from.x ? -1 : 1);
        else (y > from.y ? bottom : top) += (y > from.y ? -1 : 1);
        cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
        cairo_rectangle(cr_, left, top, right - left, bottom - top);
        cairo_fill(cr_);
    } else {
        cairo_move_to(cr_, from.x + 0.5, from.y + 0.5);
        cairo_line_to(cr_, x + 0.5, y + 0.5);
        cairo_stroke(cr_);
    }
    cairo_restore(cr_);
}

const SurfaceObject* CairoSurface::ShapePen(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const SurfaceObject* pen = family_->Find(selection_.pen);
    return pen != nullptr && pen->style != PenStyle::Null ? pen : nullptr;
}

void CairoSurface::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const SurfaceObject* pen = ShapePen(left, top, right, bottom);
    const bool outlined = pen != nullptr;
    cairo_save(cr_);
    if (!outlined) {  // a null pen leaves the right and bottom edge out as well
        --right;
        --bottom;
    }
    const double inset = outlined ? std::max(1, pen->width) / 2.0 : 0.0;
    const double rx = std::max(0.5, (right - left) / 2.0 - inset), ry = std::max(0.5, (bottom - top) / 2.0 - inset);
    cairo_translate(cr_, (left + right) / 2.0, (top + bottom) / 2.0);
    cairo_scale(cr_, rx, ry);
    cairo_arc(cr_, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr_);
    cairo_save(cr_);
    if (UseBrush(selection_.brush)) cairo_fill_preserve(cr_);
    if (UsePen()) cairo_stroke_preserve(cr_);
    cairo_new_path(cr_);
    cairo_restore(cr_);
}

void CairoSurface::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const SurfaceObject* pen = ShapePen(left, top, right, bottom);
    const bool outlined = pen != nullptr;
    cairo_save(cr_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    const int32_t fillRight = outlined ? right : right - 1, fillBottom = outlined ? bottom : bottom - 1;
    if (UseBrush(selection_.brush) && fillRight > left && fillBottom > top) {
        cairo_rectangle(cr_, left, top, fillRight - left, fillBottom - top);
        cairo_fill(cr_);
    }
    if (outlined && UsePen()) {
        const double w = std::max(1, pen->width);
        cairo_rectangle(cr_, left + w / 2, top + w / 2, std::max(0.0, right - left - w), std::max(0.0, bottom - top - w));
        cairo_stroke(cr_);
    }
    cairo_restore(cr_);
}

void CairoSurface::FillRect(const PlotRect& r, DrawObject brush) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    cairo_save(cr_);
    if (UseBrush(brush)) {
        cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
        cairo_rectangle(cr_, r.left, r.top, r.right - r.left, r.bottom - r.top);
        cairo_fill(cr_);
    }
    cairo_restore(cr_);
}

PlotColor CairoSurface::SetTextColor(PlotColor color) { return std::exchange(textColor_, color); }
PlotColor CairoSurface::SetBackgroundColor(PlotColor color) { return std::exchange(backgroundColor_, color); }
int32_t CairoSurface::SetBackgroundMode(int32_t mode) { return std::exchange(backgroundMode_, mode); }
uint32_t CairoSurface::SetTextAlign(uint32_t align) { return std::exchange(align_, align); }

void CairoSurface::UseFont() {
    const SurfaceObject* o = family_->Find(selection_.font);
    const PlotFont font = o != nullptr ? o->font : PlotFont{};
    const char* family = FamilyFor(font);
    const cairo_font_slant_t slant = font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL;
    const cairo_font_weight_t weight = font.weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL;
    cairo_select_font_face(cr_, family, slant, weight);
    const std::string key = std::string(family) + (font.italic ? "/i" : "") + (font.weight >= 600 ? "/b" : "");
    auto ratio = family_->cellPerEm.find(key);
    if (ratio == family_->cellPerEm.end()) {
        cairo_set_font_size(cr_, 1000.0);
        cairo_font_extents_t e;
        cairo_font_extents(cr_, &e);
        ratio = family_->cellPerEm.emplace(key, (e.ascent + e.descent) / 1000.0).first;
    }
    // A positive height is the cell (ascent + descent), a negative one the em.
    const double size = font.height < 0 ? -font.height : (font.height == 0 ? 16 : font.height) / ratio->second;
    cairo_set_font_size(cr_, size);
}

PlotTextMetrics CairoSurface::FontMetrics() {
    cairo_save(cr_);
    UseFont();
    cairo_font_extents_t e;
    cairo_font_extents(cr_, &e);
    cairo_text_extents_t letters;
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz";
    cairo_text_extents(cr_, alphabet, &letters);
    cairo_matrix_t m;
    cairo_get_font_matrix(cr_, &m);
    cairo_restore(cr_);
    PlotTextMetrics tm;
    tm.ascent = static_cast<int32_t>(std::lround(e.ascent));
    tm.descent = static_cast<int32_t>(std::lround(e.descent));
    tm.height = tm.ascent + tm.descent;
    tm.internalLeading = std::max(0, tm.height - static_cast<int32_t>(std::lround(m.yy)));
    tm.aveCharWidth = std::max(1, static_cast<int32_t>(std::lround(letters.x_advance / 26.0)));
    tm.maxCharWidth = std::max(tm.aveCharWidth, static_cast<int32_t>(std::lround(e.max_x_advance)));
    return tm;
}

PlotSize CairoSurface::TextExtent(const std::wstring& text) {
    const std::string utf8 = Utf8FromWide(text);
    cairo_save(cr_);
    UseFont();
    cairo_text_extents_t t;
    cairo_text_extents(cr_, utf8.c_str(), &t);
    cairo_restore(cr_);
    return {static_cast<int32_t>(std::lround(t.x_advance)), FontMetrics().height};
}

void CairoSurface::DrawString(int32_t x, int32_t y, const std::wstring& text) {
    const std::string utf8 = Utf8FromWide(text);
    const PlotTextMetrics tm = FontMetrics();
    const double width = TextExtent(text).cx;
    const SurfaceObject* o = family_->Find(selection_.font);
    const double angle = o != nullptr ? o->font.escapement * kPi / 1800.0 : 0.0;
    double dx = 0.0, dy = 0.0;
    switch (align_ & TextAlign::HorizontalMask) {
        case TextAlign::Right: dx = -width; break;
        case TextAlign::Center: dx = -width / 2; break;
        default: break;
    }
    switch (align_ & TextAlign::VerticalMask) {
        case TextAlign::Bottom: dy = -tm.descent; break;
        case TextAlign::Baseline: dy = 0.0; break;
        default: dy = tm.ascent; break;
    }
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_rotate(cr_, -angle);  // escapement turns counter-clockwise on screen
    if (backgroundMode_ == BackgroundMode::Opaque) {
        SetColor(cr_, backgroundColor_);
        cairo_rectangle(cr_, dx, dy - tm.ascent, width, tm.height);
        cairo_fill(cr_);
    }
    UseFont();
    SetColor(cr_, textColor_);
    cairo_move_to(cr_, dx, dy);
    cairo_show_text(cr_, utf8.c_str());
    cairo_new_path(cr_);
    cairo_restore(cr_);
}

void CairoSurface::IntersectClip(const PlotRect& r) {
    cairo_rectangle(cr_, r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top));
    cairo_clip(cr_);
}

void CairoSurface::RemoveClip() { cairo_reset_clip(cr_); }

std::unique_ptr<DrawSurface> CairoSurface::CreateCompatible() {
    std::unique_ptr<CairoSurface> memory(new CairoSurface(family_, true));
    memory->ownImage_ = WhiteImage(1, 1);
    memory->Target(memory->ownImage_);
    return memory;
}

void CairoSurface::CopyFrom(int32_t x, int32_t y, int32_t width, int32_t height, DrawSurface& source,
                            int32_t sourceX, int32_t sourceY) {
    auto* from = dynamic_cast<CairoSurface*>(&source);
    if (from == nullptr || width <= 0 || height <= 0) return;
    cairo_surface_flush(from->image_);
    cairo_save(cr_);
    cairo_set_source_surface(cr_, from->image_, x - sourceX, y - sourceY);
    cairo_rectangle(cr_, x, y, width, height);
    cairo_fill(cr_);
    cairo_restore(cr_);
}
