// Packed bitmaps of any bytes: whatever the check lets through is read whole
// (colour table and every row), so a layout reaching past the input trips
// AddressSanitizer; the layout must also account for exactly what it claims.
#include "imaging/dibcheck.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // An exact copy: any read past `size` lands outside the allocation.
    std::vector<uint8_t> copy(data, data + size);
    dib::Layout l{};
    if (!dib::drawable(copy.data(), copy.size(), &l))
        return 0;
    uint64_t end = uint64_t(l.bits_offset) + uint64_t(l.stride) * uint64_t(l.height);
    if (l.width <= 0 || l.height <= 0 || end > size || l.stride < (uint64_t(l.width) * l.bit_count + 7) / 8 ||
        l.bits_offset < 40 + 4ull * l.colors)
        std::abort();
    volatile uint8_t sink = 0;
    for (uint64_t i = 40; i < end; ++i)
        sink = sink ^ copy[i];
    (void)sink;
    return 0;
}
