// A column of a grid as its page inserts it: header text and default width.
#pragma once

#include <cstdint>

struct GridColumn {
    const wchar_t* heading;
    int32_t width;  // pixels
};
