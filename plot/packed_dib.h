// The picture format of the clipboard (a packed device-independent bitmap):
// the 40-byte bitmap header, then the pixel rows bottom row first, 24 bits per
// pixel in blue, green, red order, each row padded to a multiple of four bytes.
// Every program that pastes pictures reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace PackedDib {

// The largest side a packed picture may have; a larger one is refused.
inline constexpr int32_t kMaxSide = 8192;
inline constexpr size_t kHeaderSize = 40;

// The packed picture of `width` × `height` pixels given top row first, each
// pixel 32 bits as 0x00RRGGBB (the layout of a 32-bit top-down DIB section);
// `pixels` holds width × height values. Empty when a side is not positive or
// over kMaxSide, or the pixels are fewer than the sides say.
std::vector<uint8_t> FromTopDownPixels(const uint32_t* pixels, size_t count, int32_t width, int32_t height);

}  // namespace PackedDib
