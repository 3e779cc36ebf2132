// Bitmap font glyphs as the printer takes them: a 16-byte header and the
// glyph's bits, one bit per pixel, ink = 1, each line from a byte boundary.
// Upright glyphs go line by line from the top of the cell; rotated ones column
// by column from the character's left edge, each from the bottom of the cell
// up (the character turned a quarter turn clockwise).
#pragma once

#include <cstddef>
#include <cstdint>

namespace glyph {

constexpr size_t kHeaderSize = 16;
enum Orientation : uint16_t { kUpright = 0, kRotated = 1 };

// Bytes per line and glyph bytes of a character of that width and cell height.
size_t line_bytes(long width, long height, Orientation o);
size_t glyph_bytes(long width, long height, Orientation o);

// Writes the record of one character into out (kHeaderSize + glyph_bytes):
// bits is a one-bit-per-pixel picture of at least width x height pixels,
// `stride` bytes per line, top line first, ink = 0 (as GDI draws black text
// on a white monochrome bitmap). Returns the record's size, 0 when the sizes
// are not positive or do not fit the 16-bit fields.
size_t encode(uint16_t code, long width, long height, Orientation o, const uint8_t *bits, size_t stride,
              uint8_t *out);

} // namespace glyph
