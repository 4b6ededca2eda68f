// GDI objects and icons that the plug-in's windows create go through these
// functions, which keep a count of the live ones, so that leak tests can see
// what the windows leave behind (the system's own count is not available
// everywhere). Windows are counted by walking the thread's windows.
#pragma once

#include <windows.h>

namespace Gdi {

HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
HFONT CreateFont(const LOGFONTW& font);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HDC CreateCompatibleDC(HDC dc);
HICON LoadIcon(HINSTANCE module, int id, int width, int height);

// Delete what the functions above made (null is ignored).
void Delete(HGDIOBJ object);
void DeleteDC(HDC dc);
void DestroyIcon(HICON icon);

// Objects made above and not yet deleted.
int LiveObjects();

// Deletes a GDI object when it goes out of scope.
class Owned {
public:
    explicit Owned(HGDIOBJ object = nullptr) : object_(object) {}
    ~Owned() { Delete(object_); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    HGDIOBJ get() const { return object_; }

private:
    HGDIOBJ object_;
};

}  // namespace Gdi

// Windows of the calling thread: top-level ones and all their descendants.
int CountThreadWindows();
