// Window geometry without windows: the dialogs' dynamic layout (controls move
// and grow by percentages of the change of the dialog's client size), the
// main window's track limits and the rectangle a tab page takes in its strip.
#pragma once

namespace Layout {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Rect& a, const Rect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

// How one control follows the dialog: percentages (0..100) of the width and
// height change by which it moves and by which it grows.
struct Rule {
    int moveX = 0, moveY = 0, sizeX = 0, sizeY = 0;
};
inline constexpr Rule kFill{0, 0, 100, 100};

// The control's rectangle when the client area is dx wider and dy taller
// than when the dialog was created from its template.
Rect Apply(const Rect& original, const Rule& rule, int dx, int dy);

// The main window can't be made smaller than after its initialisation, nor
// more than 800 wider or 1000 taller.
struct TrackLimits {
    int minWidth = 0, minHeight = 0, maxWidth = 2000, maxHeight = 2000;
};
TrackLimits TrackLimitsFor(int initialWidth, int initialHeight);

// A page inside its tab strip's client rectangle.
Rect PageRect(const Rect& tabClient);

}  // namespace Layout
