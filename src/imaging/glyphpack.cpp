#include "glyphpack.h"

#include "../foundation/lebytes.h"

#include <cstring>

namespace glyph {

size_t line_bytes(long width, long height, Orientation o) {
    return static_cast<size_t>(((o == kUpright ? width : height) + 7) / 8);
}

size_t glyph_bytes(long width, long height, Orientation o) {
    return line_bytes(width, height, o) * static_cast<size_t>(o == kUpright ? height : width);
}

namespace {

void upright(long width, long height, const uint8_t *bits, size_t stride, uint8_t *out) {
    size_t n = line_bytes(width, height, kUpright);
    uint8_t last = static_cast<uint8_t>(width % 8 ? 0xFF00 >> (width % 8) : 0xFF);
    for (long y = 0; y < height; ++y, out += n) {
        const uint8_t *line = bits + static_cast<size_t>(y) * stride;
        for (size_t i = 0; i < n; ++i)
            out[i] = static_cast<uint8_t>(~line[i]);
        out[n - 1] &= last;
    }
}

// Columns from the bottom line up: a 8x8 block of the picture at a time
// becomes eight output bytes, one per column, instead of 64 single bits.
void rotated(long width, long height, const uint8_t *bits, size_t stride, uint8_t *out) {
    size_t n = line_bytes(width, height, kRotated);
    std::memset(out, 0, n * static_cast<size_t>(width));
    for (long y0 = 0; y0 < height; y0 += 8) {
        // Output byte y0 / 8 of each column holds lines height-1-y0 down to height-8-y0.
        long rows = height - y0 < 8 ? height - y0 : 8;
        for (long xb = 0; xb * 8 < width; ++xb) {
            uint8_t block[8] = {0, 0, 0, 0, 0, 0, 0, 0};
            for (long r = 0; r < rows; ++r)
                block[r] = static_cast<uint8_t>(~bits[static_cast<size_t>(height - 1 - y0 - r) * stride + xb]);
            long cols = width - xb * 8 < 8 ? width - xb * 8 : 8;
            for (long c = 0; c < cols; ++c) {
                uint8_t v = 0;
                for (long r = 0; r < rows; ++r)
                    v |= static_cast<uint8_t>(((block[r] >> (7 - c)) & 1) << (7 - r));
                out[static_cast<size_t>(xb * 8 + c) * n + static_cast<size_t>(y0 / 8)] = v;
            }
        }
    }
}

} // namespace

size_t encode(uint16_t code, long width, long height, Orientation o, const uint8_t *bits, size_t stride,
              uint8_t *out) {
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF || !bits ||
        stride < static_cast<size_t>((width + 7) / 8))
        return 0;
    size_t n = glyph_bytes(width, height, o);
    le::put16(out, code);
    le::put16(out + 2, static_cast<uint16_t>(width));
    le::put16(out + 4, static_cast<uint16_t>(line_bytes(width, height, o)));
    le::put16(out + 6, static_cast<uint16_t>(height));
    le::put16(out + 8, o);
    le::put16(out + 10, 0);
    le::put32(out + 12, static_cast<uint32_t>(n));
    if (o == kUpright)
        upright(width, height, bits, stride, out + kHeaderSize);
    else
        rotated(width, height, bits, stride, out + kHeaderSize);
    return kHeaderSize + n;
}

} // namespace glyph
