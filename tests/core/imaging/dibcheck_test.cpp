// Packed bitmaps as language modules carry them: which are drawn, and that
// every refusal comes from a part that would not fit or could not be read.
#include "imaging/dibcheck.h"

#include "foundation/lebytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A packed bitmap: header of `header` bytes, `colors` table entries (used
// count as given), `masks` bit-field bytes, then whole rows.
std::vector<unsigned char> packed(uint32_t header, int32_t w, int32_t h, uint16_t bits, uint32_t used,
                                  uint32_t compression = 0) {
    uint32_t table = bits <= 8 ? (used ? used : 1u << bits) : used;
    uint32_t masks = compression == 3 && header == 40 ? 12 : 0;
    uint32_t stride = (uint32_t(w) * bits + 31) / 32 * 4;
    std::vector<unsigned char> b(header + masks + table * 4 + stride * uint32_t(h < 0 ? -h : h));
    le::put32(&b[0], header);
    le::put32(&b[4], uint32_t(w));
    le::put32(&b[8], uint32_t(h));
    le::put16(&b[12], 1);
    le::put16(&b[14], bits);
    le::put32(&b[16], compression);
    le::put32(&b[32], used);
    return b;
}

TEST(PackedBitmap, DrawableLayouts) {
    struct Case {
        uint32_t header;
        int32_t w, h;
        uint16_t bits;
        uint32_t used, compression, colors, offset, stride;
    } cases[] = {
        {40, 100, 50, 1, 0, 0, 2, 48, 16},      {40, 3, 2, 4, 5, 0, 5, 60, 4},
        {40, 7, -3, 8, 0, 0, 256, 1064, 8},     {40, 5, 5, 24, 0, 0, 0, 40, 16},
        {40, 5, 5, 16, 0, 3, 0, 52, 12},        {124, 2, 2, 32, 0, 3, 0, 124, 8},
        {108, 9, 1, 24, 16, 0, 16, 172, 28},    {52, 1, 1, 32, 0, 0, 0, 52, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.header << "/" << c.bits << "/" << c.w << "x" << c.h);
        auto b = packed(c.header, c.w, c.h, c.bits, c.used, c.compression);
        dib::Layout l{};
        ASSERT_TRUE(dib::drawable(b.data(), b.size(), &l));
        EXPECT_EQ(l.width, c.w);
        EXPECT_EQ(l.height, c.h < 0 ? -c.h : c.h);
        EXPECT_EQ(l.colors, c.colors);
        EXPECT_EQ(l.bits_offset, c.offset);
        EXPECT_EQ(l.stride, c.stride);
        EXPECT_EQ(l.bits_offset + l.stride * uint32_t(l.height), b.size());
        // One byte short of the last row is refused.
        EXPECT_FALSE(dib::drawable(b.data(), b.size() - 1, nullptr));
    }
}

TEST(PackedBitmap, Refusals) {
    auto base = packed(40, 4, 4, 8, 0);
    ASSERT_TRUE(dib::drawable(base.data(), base.size(), nullptr));
    auto refused = [&](size_t at, uint32_t v, bool wide) {
        auto b = base;
        if (wide)
            le::put32(&b[at], v);
        else
            le::put16(&b[at], uint16_t(v));
        return !dib::drawable(b.data(), b.size(), nullptr);
    };
    EXPECT_TRUE(refused(0, 12, true));       // core header: other field layout
    EXPECT_TRUE(refused(0, 64, true));       // unknown header size
    EXPECT_TRUE(refused(0, 0x7FFFFFFF, true));
    EXPECT_TRUE(refused(4, 0, true));        // no width
    EXPECT_TRUE(refused(4, 0x80000000u, true));
    EXPECT_TRUE(refused(8, 0, true));        // no rows
    EXPECT_TRUE(refused(8, 0x80000000u, true)); // -2^31 rows: no absolute value in 32 bits
    EXPECT_TRUE(refused(8, 9000, true));     // beyond the largest side
    EXPECT_TRUE(refused(12, 2, false));      // two planes
    EXPECT_TRUE(refused(14, 2, false));      // no such bit count
    EXPECT_TRUE(refused(16, 1, true));       // run-length coded
    EXPECT_TRUE(refused(16, 3, true));       // bit fields at 8 bits
    EXPECT_TRUE(refused(32, 257, true));     // more colours than 8 bits index
    // A used count that shrinks the table makes room: the rows then fit in less.
    EXPECT_FALSE(refused(32, 16, true));
    // The widest and tallest sides with their rows all present.
    auto big = packed(40, dib::kMaxSide, 1, 32, 0);
    EXPECT_TRUE(dib::drawable(big.data(), big.size(), nullptr));
    EXPECT_FALSE(dib::drawable(big.data(), 39, nullptr));
    EXPECT_FALSE(dib::drawable(nullptr, 100, nullptr));
}

} // namespace
