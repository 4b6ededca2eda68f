// The clipboard's picture format: header fields, rows bottom first, 24-bit
// pixels in blue, green, red order, rows padded to four bytes; refused sizes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "plot/packed_dib.h"

namespace {

uint32_t Read32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

TEST(PackedDibTest, HeaderAndRowsBottomFirst) {
    // 3 × 2: rows of 9 bytes padded to 12.
    const uint32_t pixels[] = {0x112233, 0x445566, 0x778899,   // top
                               0xAABBCC, 0xDDEEFF, 0x010203};  // bottom
    const std::vector<uint8_t> dib = PackedDib::FromTopDownPixels(pixels, 6, 3, 2);
    ASSERT_EQ(dib.size(), 40u + 2 * 12);
    EXPECT_EQ(Read32(dib, 0), 40u);
    EXPECT_EQ(Read32(dib, 4), 3u);
    EXPECT_EQ(Read32(dib, 8), 2u);  // positive height: bottom-up
    EXPECT_EQ(dib[12] | dib[13] << 8, 1);
    EXPECT_EQ(dib[14] | dib[15] << 8, 24);
    EXPECT_EQ(Read32(dib, 16), 0u);  // uncompressed
    EXPECT_EQ(Read32(dib, 20), 24u);
    const std::vector<uint8_t> bottom(dib.begin() + 40, dib.begin() + 52);
    const std::vector<uint8_t> top(dib.begin() + 52, dib.end());
    EXPECT_EQ(bottom, (std::vector<uint8_t>{0xCC, 0xBB, 0xAA, 0xFF, 0xEE, 0xDD, 0x03, 0x02, 0x01, 0, 0, 0}));
    EXPECT_EQ(top, (std::vector<uint8_t>{0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0, 0, 0}));
}

TEST(PackedDibTest, RefusesWhatItCannotPack) {
    const std::vector<uint32_t> pixels(4, 0xFFFFFF);
    EXPECT_TRUE(PackedDib::FromTopDownPixels(pixels.data(), 4, 0, 4).empty());
    EXPECT_TRUE(PackedDib::FromTopDownPixels(pixels.data(), 4, 2, -2).empty());
    EXPECT_TRUE(PackedDib::FromTopDownPixels(pixels.data(), 3, 2, 2).empty());  // fewer pixels than the sides say
    EXPECT_TRUE(PackedDib::FromTopDownPixels(nullptr, 4, 2, 2).empty());
    EXPECT_TRUE(PackedDib::FromTopDownPixels(pixels.data(), 4, PackedDib::kMaxSide + 1, 1).empty());
    EXPECT_EQ(PackedDib::FromTopDownPixels(pixels.data(), 4, 2, 2).size(), 40u + 2 * 8);
}

}  // namespace
