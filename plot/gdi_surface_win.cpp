#include "plot/gdi_surface_win.h"

#include <atomic>

namespace {

std::atomic<long> liveObjects{0};

bool IsStock(HGDIOBJ object) {
    for (int stock : {NULL_PEN, NULL_BRUSH, BLACK_PEN, WHITE_BRUSH})
        if (object == GetStockObject(stock)) return true;
    return false;
}

// GDI answers some requests with a stock object (a PS_NULL pen is the stock
// null pen); those are neither counted nor ever deleted.
DrawObject Counted(HGDIOBJ object) {
    if (object != nullptr && !IsStock(object)) ++liveObjects;
    return reinterpret_cast<DrawObject>(object);
}

HGDIOBJ Handle(DrawObject object) { return reinterpret_cast<HGDIOBJ>(object); }

}  // namespace

GdiSurface::~GdiSurface() {
    if (owned_ && DeleteDC(dc_)) --liveObjects;
}

long GdiSurface::LiveObjects() { return liveObjects.load(); }

DrawObject GdiSurface::CreatePen(int32_t style, int32_t width, PlotColor color) {
    return Counted(::CreatePen(style, width, color));
}

DrawObject GdiSurface::CreateBrush(PlotColor color) { return Counted(::CreateSolidBrush(color)); }

DrawObject GdiSurface::CreateFontObject(const PlotFont& font) {
    LOGFONTW logical{};
    logical.lfHeight = font.height;
    logical.lfWidth = font.width;
    logical.lfEscapement = font.escapement;
    logical.lfOrientation = font.orientation;
    logical.lfWeight = font.weight;
    logical.lfItalic = font.italic;
    logical.lfUnderline = font.underline;
    logical.lfStrikeOut = font.strikeOut;
    logical.lfCharSet = font.charSet;
    logical.lfOutPrecision = font.outPrecision;
    logical.lfClipPrecision = font.clipPrecision;
    logical.lfQuality = font.quality;
    logical.lfPitchAndFamily = font.pitchAndFamily;
    for (int i = 0; i < LF_FACESIZE - 1 && font.faceName[i] != 0; ++i) logical.lfFaceName[i] = font.faceName[i];
    return Counted(CreateFontIndirectW(&logical));
}

DrawObject GdiSurface::CreateBitmap(int32_t width, int32_t height) {
    if (width < 1 || height < 1) return 0;
    return Counted(CreateCompatibleBitmap(dc_, width, height));
}

DrawObject GdiSurface::Stock(StockObject which) {
    switch (which) {
        case StockObject::NullPen: return reinterpret_cast<DrawObject>(GetStockObject(NULL_PEN));
        case StockObject::NullBrush: return reinterpret_cast<DrawObject>(GetStockObject(NULL_BRUSH));
        case StockObject::BlackPen: return reinterpret_cast<DrawObject>(GetStockObject(BLACK_PEN));
        case StockObject::WhiteBrush: return reinterpret_cast<DrawObject>(GetStockObject(WHITE_BRUSH));
    }
    return 0;
}

DrawObject GdiSurface::Select(DrawObject object) {
    HGDIOBJ previous = SelectObject(dc_, Handle(object));
    return previous == HGDI_ERROR ? 0 : reinterpret_cast<DrawObject>(previous);
}

bool GdiSurface::Delete(DrawObject object) {
    HGDIOBJ handle = Handle(object);
    if (handle == nullptr) return false;
    if (IsStock(handle)) return true;
    if (!DeleteObject(handle)) return false;
    --liveObjects;
    return true;
}

void GdiSurface::MoveTo(int32_t x, int32_t y) { MoveToEx(dc_, x, y, nullptr); }
void GdiSurface::LineTo(int32_t x, int32_t y) { ::LineTo(dc_, x, y); }
void GdiSurface::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    ::Ellipse(dc_, left, top, right, bottom);
}
void GdiSurface::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    ::Rectangle(dc_, left, top, right, bottom);
}
void GdiSurface::FillRect(const PlotRect& rect, DrawObject brush) {
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(dc_, &r, static_cast<HBRUSH>(Handle(brush)));
}

PlotColor GdiSurface::SetTextColor(PlotColor color) { return ::SetTextColor(dc_, color); }
PlotColor GdiSurface::SetBackgroundColor(PlotColor color) { return SetBkColor(dc_, color); }
int32_t GdiSurface::SetBackgroundMode(int32_t mode) { return SetBkMode(dc_, mode); }
uint32_t GdiSurface::SetTextAlign(uint32_t align) { return ::SetTextAlign(dc_, align); }

void GdiSurface::DrawString(int32_t x, int32_t y, const std::wstring& text) {
    TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

PlotTextMetrics GdiSurface::FontMetrics() {
    TEXTMETRICW tm{};
    PlotTextMetrics result;
    if (!GetTextMetricsW(dc_, &tm)) return result;
    result.height = tm.tmHeight;
    result.ascent = tm.tmAscent;
    result.descent = tm.tmDescent;
    result.internalLeading = tm.tmInternalLeading;
    result.aveCharWidth = tm.tmAveCharWidth;
    result.maxCharWidth = tm.tmMaxCharWidth;
    return result;
}

PlotSize GdiSurface::TextExtent(const std::wstring& text) {
    SIZE size{};
    if (!GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size)) return {};
    return {size.cx, size.cy};
}

void GdiSurface::IntersectClip(const PlotRect& rect) {
    IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiSurface::RemoveClip() { SelectClipRgn(dc_, nullptr); }

std::unique_ptr<DrawSurface> GdiSurface::CreateCompatible() {
    HDC memory = CreateCompatibleDC(dc_);
    if (memory == nullptr) return nullptr;
    ++liveObjects;
    return std::unique_ptr<DrawSurface>(new GdiSurface(memory, true));
}

void GdiSurface::CopyFrom(int32_t x, int32_t y, int32_t width, int32_t height, DrawSurface& source, int32_t sourceX,
                          int32_t sourceY) {
    auto* from = dynamic_cast<GdiSurface*>(&source);
    if (from == nullptr) return;
    BitBlt(dc_, x, y, width, height, from->dc_, sourceX, sourceY, SRCCOPY);
}
