// Packed bitmaps as language modules carry them: where the parts of each
// drawable kind lie, and that every refusal comes from a part that would not
// fit or could not be read. fuzz_dib reads whatever passes, byte by byte.
#include "imaging/dibcheck.h"

#include "foundation/lebytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Header of `header` bytes, the colour table (or bit-field masks), whole rows.
std::vector<unsigned char> packed(uint32_t header, int32_t w, int32_t h, uint16_t bits, uint32_t used,
                                  uint32_t compression = 0) {
    uint32_t table = (bits <= 8 ? (used ? used : 1u << bits) : used) * 4 + (compression == 3 && header == 40 ? 12 : 0);
    uint32_t stride = (uint32_t(w) * bits + 31) / 32 * 4;
    std::vector<unsigned char> b(header + table + stride * uint32_t(h < 0 ? -h : h));
    le::put32(&b[0], header), le::put32(&b[4], uint32_t(w)), le::put32(&b[8], uint32_t(h));
    le::put16(&b[12], 1), le::put16(&b[14], bits);
    le::put32(&b[16], compression), le::put32(&b[32], used);
    return b;
}

TEST(PackedBitmap, DrawableKindsAndRefusals) {
    struct {
        uint32_t header;
        int32_t w, h;
        uint16_t bits;
        uint32_t used, compression, colors, offset, stride;
    } const cases[] = {
        {40, 100, 50, 1, 0, 0, 2, 48, 16}, {40, 3, 2, 4, 5, 0, 5, 60, 4},       {40, 7, -3, 8, 0, 0, 256, 1064, 8},
        {40, 5, 5, 24, 0, 0, 0, 40, 16},   {40, 5, 5, 16, 0, 3, 0, 52, 12},     {124, 2, 2, 32, 0, 3, 0, 124, 8},
        {108, 9, 1, 24, 16, 0, 16, 172, 28}, {40, dib::kMaxSide, 1, 32, 0, 0, 0, 40, 4 * dib::kMaxSide},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.header << "/" << c.bits << "/" << c.w << "x" << c.h);
        auto b = packed(c.header, c.w, c.h, c.bits, c.used, c.compression);
        dib::Layout l{};
        ASSERT_TRUE(dib::drawable(b.data(), b.size(), &l));
        EXPECT_EQ(l.height, c.h < 0 ? -c.h : c.h);
        EXPECT_EQ(l.colors, c.colors);
        EXPECT_EQ(l.bits_offset, c.offset);
        EXPECT_EQ(l.stride, c.stride);
        EXPECT_EQ(l.bits_offset + l.stride * uint32_t(l.height), b.size());
        EXPECT_FALSE(dib::drawable(b.data(), b.size() - 1, nullptr)) << "one byte short of the last row";
    }

    const auto base = packed(40, 4, 4, 8, 0);
    ASSERT_TRUE(dib::drawable(base.data(), base.size(), nullptr));
    struct {
        size_t at;
        uint32_t value;
        bool drawable;
    } const edits[] = {
        {0, 12, false}, {0, 64, false}, {0, 0x7FFFFFFF, false},  // core header, unknown sizes
        {4, 0, false},  {4, 0x80000000u, false},                 // no width, negative width
        {8, 0, false},  {8, 0x80000000u, false}, {8, 9000, false},  // no rows; beyond the largest side
        {12, 2, false}, {14, 2, false},                          // two planes; no such bit count
        {16, 1, false}, {16, 3, false},                          // run-length coded; bit fields at 8 bits
        {32, 257, false},                                        // more colours than 8 bits index
        {32, 16, true},                                          // a smaller table leaves room for the rows
    };
    for (const auto &e : edits) {
        auto b = base;
        if (e.at == 12 || e.at == 14)
            le::put16(&b[e.at], uint16_t(e.value));
        else
            le::put32(&b[e.at], e.value);
        EXPECT_EQ(dib::drawable(b.data(), b.size(), nullptr), e.drawable) << "at " << e.at << " value " << e.value;
    }
    EXPECT_FALSE(dib::drawable(base.data(), 39, nullptr));
    EXPECT_FALSE(dib::drawable(nullptr, 100, nullptr));
}

} // namespace
