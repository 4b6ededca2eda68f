#include "base/layout.h"

namespace Layout {

namespace {
// Percentages of a change, rounded towards zero the same way for growth and shrinkage.
int Part(int change, int percent) { return change * percent / 100; }
}  // namespace

Rect Apply(const Rect& original, const Rule& rule, int dx, int dy) {
    Rect r = original;
    int moveX = Part(dx, rule.moveX), moveY = Part(dy, rule.moveY);
    r.left += moveX;
    r.top += moveY;
    r.right += moveX + Part(dx, rule.sizeX);
    r.bottom += moveY + Part(dy, rule.sizeY);
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

TrackLimits TrackLimitsFor(int initialWidth, int initialHeight) {
    return {initialWidth, initialHeight, initialWidth + 800, initialHeight + 1000};
}

Rect PageRect(const Rect& tabClient) {
    return {tabClient.left + 2, tabClient.top + 22, tabClient.right - 4, tabClient.bottom - 4};
}

}  // namespace Layout
