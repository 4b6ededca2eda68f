#include "win/gdi_count.h"

namespace Gdi {

namespace {
int g_live = 0;

template <class Handle>
Handle Counted(Handle handle) {
    if (handle) ++g_live;
    return handle;
}
}  // namespace

HPEN CreatePen(int style, int width, COLORREF colour) { return Counted(::CreatePen(style, width, colour)); }
HBRUSH CreateSolidBrush(COLORREF colour) { return Counted(::CreateSolidBrush(colour)); }
HFONT CreateFont(const LOGFONTW& font) { return Counted(::CreateFontIndirectW(&font)); }
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    return Counted(::CreateCompatibleBitmap(dc, width, height));
}
HDC CreateCompatibleDC(HDC dc) { return Counted(::CreateCompatibleDC(dc)); }
HICON LoadIcon(HINSTANCE module, int id, int width, int height) {
    return Counted(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, 0)));
}

void Delete(HGDIOBJ object) {
    if (object && ::DeleteObject(object)) --g_live;
}
void DeleteDC(HDC dc) {
    if (dc && ::DeleteDC(dc)) --g_live;
}
void DestroyIcon(HICON icon) {
    if (icon && ::DestroyIcon(icon)) --g_live;
}

int LiveObjects() { return g_live; }

}  // namespace Gdi

namespace {
BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}
BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountChild, count);  // walks every descendant
    return TRUE;
}
}  // namespace

int CountThreadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}
