// Picture files for the command line: 24-bit BMP files read (every field
// checked, a refusal explained in words) and written, and PNG files written
// (uncompressed deflate: no library needed, any viewer reads them).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace picfile {

// Pixels top row first, width x 3 bytes per row, bytes blue, green, red.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgr;
};

// Largest picture read: 32767 pixels a side (the dithering engine's counters)
// and 256 megapixels in all.
constexpr int32_t kMaxSide = 32767;
constexpr uint64_t kMaxPixels = 256ull << 20;

// False with *why set when the bytes are not an uncompressed 24-bit BMP
// file whose rows all lie inside it.
bool ReadBmp(const uint8_t *data, size_t size, Picture *out, std::string *why);
std::vector<uint8_t> WriteBmp(const Picture &p);
std::vector<uint8_t> WritePng(const Picture &p);

} // namespace picfile
