#include "dibcheck.h"

#include "../foundation/lebytes.h"

namespace dib {

namespace {
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;
} // namespace

bool drawable(const void *data, size_t size, Layout *out) {
    const auto *p = static_cast<const unsigned char *>(data);
    if (!p || size < 40)
        return false;
    const uint32_t header = le::u32(p);
    if (header != 40 && header != 52 && header != 56 && header != 108 && header != 124)
        return false;
    if (header > size)
        return false;
    const int32_t width = le::i32(p + 4);
    const int32_t raw_height = le::i32(p + 8);
    const uint16_t planes = le::u16(p + 12);
    const uint16_t bits = le::u16(p + 14);
    const uint32_t compression = le::u32(p + 16);
    const uint32_t used = le::u32(p + 32);
    if (planes != 1 || width <= 0 || width > kMaxSide || raw_height == 0 || raw_height < -kMaxSide ||
        raw_height > kMaxSide)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    uint64_t masks = 0;
    if (compression == kBitFields) {
        if (bits != 16 && bits != 32)
            return false;
        // The three masks follow a plain header; larger headers hold them.
        masks = header == 40 ? 12 : 0;
    } else if (compression != kRgb) {
        return false;
    }
    uint32_t colors = used;
    if (bits <= 8) {
        const uint32_t most = 1u << bits;
        if (colors == 0)
            colors = most;
        if (colors > most)
            return false;
    } else if (colors > 256) {
        return false;
    }
    const uint64_t height = raw_height < 0 ? -int64_t(raw_height) : int64_t(raw_height);
    const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
    const uint64_t offset = uint64_t(header) + masks + uint64_t(colors) * 4;
    if (offset > size || stride * height > size - offset)
        return false;
    if (out)
        *out = Layout{width, int32_t(height), bits, colors, uint32_t(offset), uint32_t(stride)};
    return true;
}

} // namespace dib
