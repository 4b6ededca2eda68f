#include "plot/draw_surface.h"

#include <algorithm>
#include <cstdlib>

PlotRect IntersectRects(const PlotRect& a, const PlotRect& b) {
    PlotRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) return PlotRect{};
    return r;
}

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t divisor = c;
    int64_t quotient = product / divisor;
    const int64_t remainder = product % divisor;
    if (std::llabs(remainder) * 2 >= std::llabs(divisor)) quotient += ((product < 0) != (divisor < 0)) ? -1 : 1;
    if (quotient > INT32_MAX || quotient < INT32_MIN) return -1;
    return static_cast<int32_t>(quotient);
}

void SetFontFace(PlotFont& font, const wchar_t* face) {
    size_t i = 0;
    for (; face != nullptr && face[i] != 0 && i + 1 < sizeof font.faceName / sizeof font.faceName[0]; ++i)
        font.faceName[i] = face[i];
    for (; i < sizeof font.faceName / sizeof font.faceName[0]; ++i) font.faceName[i] = 0;
}
