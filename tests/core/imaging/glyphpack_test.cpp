// Glyph records against a pixel-by-pixel reading of the picture.
#include "imaging/glyphpack.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Ink (0 in the picture) at x, y.
bool ink(const std::vector<uint8_t> &pic, size_t stride, long x, long y) {
    return !(pic[static_cast<size_t>(y) * stride + static_cast<size_t>(x / 8)] >> (7 - x % 8) & 1);
}

bool bit(const uint8_t *bits, size_t index) { return bits[index / 8] >> (7 - index % 8) & 1; }

} // namespace

TEST(GlyphPack, RecordsMatchThePictureInBothOrientations) {
    std::mt19937 rng(7);
    for (long width : {1L, 7L, 8L, 10L, 16L, 23L}) {
        for (long height : {1L, 9L, 20L, 33L}) {
            size_t stride = static_cast<size_t>((width + 15) / 16 * 2); // GDI rows are word-aligned
            std::vector<uint8_t> pic(stride * static_cast<size_t>(height));
            for (auto &b : pic)
                b = static_cast<uint8_t>(rng());
            for (glyph::Orientation o : {glyph::kUpright, glyph::kRotated}) {
                std::vector<uint8_t> rec(glyph::kHeaderSize + glyph::glyph_bytes(width, height, o), 0xAA);
                ASSERT_EQ(glyph::encode(65, width, height, o, pic.data(), stride, rec.data()), rec.size());
                size_t per_line = rec[4] | rec[5] << 8;
                size_t n = rec[12] | rec[13] << 8;
                EXPECT_TRUE(rec[0] == 65 && rec[2] == width && rec[6] == height && rec[8] == o);
                EXPECT_EQ(n, rec.size() - glyph::kHeaderSize);
                const uint8_t *bits = rec.data() + glyph::kHeaderSize;
                long lines = o == glyph::kUpright ? height : width, along = o == glyph::kUpright ? width : height;
                EXPECT_EQ(per_line, static_cast<size_t>((along + 7) / 8));
                for (long l = 0; l < lines; ++l)
                    for (long i = 0; i < static_cast<long>(per_line * 8); ++i) {
                        bool want = i < along && (o == glyph::kUpright ? ink(pic, stride, i, l)
                                                                       : ink(pic, stride, l, height - 1 - i));
                        ASSERT_EQ(bit(bits, l * per_line * 8 + i), want)
                            << width << "x" << height << " o" << o << " line " << l << " bit " << i;
                    }
            }
        }
    }
    uint8_t out[64];
    uint8_t pic[4] = {};
    EXPECT_EQ(glyph::encode(1, 0, 5, glyph::kUpright, pic, 2, out), 0u);
    EXPECT_EQ(glyph::encode(1, 17, 1, glyph::kUpright, pic, 2, out), 0u); // stride too short for the width
    EXPECT_EQ(glyph::glyph_bytes(10, 20, glyph::kUpright), 40u);
    EXPECT_EQ(glyph::glyph_bytes(10, 20, glyph::kRotated), 30u);
}
