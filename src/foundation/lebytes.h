// The one little-endian reader and writer of stored bytes: driver data file
// records, form records and lists, device-settings files. The caller has
// checked that the bytes lie inside what it was given.
#pragma once

#include <cstdint>

namespace le {

inline uint16_t u16(const unsigned char *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t u32(const unsigned char *p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline int32_t i32(const unsigned char *p) { return static_cast<int32_t>(u32(p)); }

inline void put16(unsigned char *p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void put32(unsigned char *p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

} // namespace le
