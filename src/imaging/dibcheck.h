// Whether a packed device-independent bitmap (header, colour table or masks,
// bits) from outside can be drawn without reading past its end: language
// modules are files anyone can replace.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dib {

// Where the parts of a drawable packed bitmap lie.
struct Layout {
    int32_t width;          // pixels, > 0
    int32_t height;         // rows, > 0 (a top-down bitmap stores it negative)
    uint16_t bit_count;     // 1, 4, 8, 16, 24 or 32
    uint32_t colors;        // colour-table entries (0 for 16 bits and up without a used count)
    uint32_t bits_offset;   // from the start of the header to the first row
    uint32_t stride;        // bytes per row, DWORD-aligned
};

// Largest side accepted: no label picture comes near it, and width x height
// x 4 stays far below 32 bits.
constexpr int32_t kMaxSide = 8192;

// True when `data` (size bytes) holds a header of a known size (40, 52, 56,
// 108 or 124 bytes), one plane, a bit count of 1, 4, 8, 16, 24 or 32,
// uncompressed (or bit fields at 16 and 32 bits), a used-colour count within
// what the bit count can index, and colour table and rows inside `size`.
// Fills *out when it is not null.
bool drawable(const void *data, size_t size, Layout *out);

} // namespace dib
