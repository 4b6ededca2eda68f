#include "plot/packed_dib.h"

namespace PackedDib {

namespace {

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

std::vector<uint8_t> FromTopDownPixels(const uint32_t* pixels, size_t count, int32_t width, int32_t height) {
    if (!pixels || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return {};
    const auto w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    if (count < w * h) return {};
    const size_t stride = (w * 3 + 3) / 4 * 4;
    std::vector<uint8_t> out(kHeaderSize + stride * h, 0);
    Put32(out, 0, static_cast<uint32_t>(kHeaderSize));  // biSize
    Put32(out, 4, static_cast<uint32_t>(width));
    Put32(out, 8, static_cast<uint32_t>(height));  // positive: bottom row first
    Put16(out, 12, 1);                             // planes
    Put16(out, 14, 24);                            // bits per pixel
    Put32(out, 16, 0);                             // BI_RGB
    Put32(out, 20, static_cast<uint32_t>(stride * h));
    Put32(out, 24, 3780);  // 96 dots per inch, as pixels per metre
    Put32(out, 28, 3780);
    for (size_t y = 0; y < h; ++y) {
        const uint32_t* source = pixels + (h - 1 - y) * w;
        uint8_t* row = out.data() + kHeaderSize + y * stride;
        for (size_t x = 0; x < w; ++x) {
            row[3 * x] = static_cast<uint8_t>(source[x]);            // blue
            row[3 * x + 1] = static_cast<uint8_t>(source[x] >> 8);   // green
            row[3 * x + 2] = static_cast<uint8_t>(source[x] >> 16);  // red
        }
    }
    return out;
}

}  // namespace PackedDib
