// Any sizes, strides (negative too, with padding), settings words, colour
// modes and palettes through Dither and DitherSmooth: the engine must stay
// inside the rows it is given, and its results must be what it can produce
// (on/off channels, indices within the palette).
#include "imaging/bmdither.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 6 + 24 + 1)
        return 0;
    const LONG w = 1 + data[0] % 48, h = 1 + data[1] % 48;
    const LONG pad = data[2] % 8;
    const bool up = data[3] & 1, smooth = data[3] & 2, index = data[3] & 4;
    const SHORT mode = SHORT(data[3] >> 3) % 5; // 4: a mode the engine does not name
    const LONG count = data[4] % 18;          // 0 and 17 must be refused
    dithercfg cfg;
    std::memcpy(&cfg, data + 6, sizeof cfg);
    size_t at = 6 + sizeof cfg;
    DWORD palette[17] = {};
    for (LONG i = 0; i < count && at + 4 <= size; ++i, at += 4)
        std::memcpy(&palette[i], data + at, 4);

    const LONG span = w * 3 + pad;
    std::vector<BYTE> px(size_t(span * h));
    for (size_t i = 0; i < px.size() && at < size; ++i)
        px[i] = data[at++];
    // Monochrome: the mirror flag takes the whole-picture stages; the same
    // settings on the mirror image without it take the row path.
    std::vector<BYTE> mirrored = px;
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            std::memcpy(&mirrored[size_t(y * span + 3 * (w - 1 - x))], &px[size_t(y * span + 3 * x)], 3);
    bmDither d;
    // Upwards: row 0 is the last in memory, as in a bottom-up bitmap.
    d.SetBitmap(up ? px.data() + size_t(span * (h - 1)) : px.data(), w, h, up ? -span : span);
    d.SetDither(cfg);
    d.SetPalette(palette, count);
    d.SetColorMode(mode, index);
    smooth ? d.DitherSmooth() : d.Dither();

    if (mode == bmDither::kMono && !(cfg.flags & (dithercfg::kMirror | dithercfg::kFlip))) {
        dithercfg flipped = cfg;
        flipped.flags = SHORT(flipped.flags | dithercfg::kMirror);
        bmDither m;
        m.SetBitmap(up ? mirrored.data() + size_t(span * (h - 1)) : mirrored.data(), w, h, up ? -span : span);
        m.SetDither(flipped);
        m.SetColorMode(mode, index);
        smooth ? m.DitherSmooth() : m.Dither();
        for (LONG y = 0; y < h; ++y)
            if (std::memcmp(&px[size_t(y * span)], &mirrored[size_t(y * span)], size_t(w) * 3))
                std::abort();
    }
    if (cfg.method < 0 || cfg.method > 4 || smooth)
        return 0;
    const LONG used = count >= 1 && count <= 16 ? count : 1;
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const BYTE *p = &px[size_t(y * span + 3 * x)];
            if (index && mode == bmDither::kPalette && p[0] >= used)
                std::abort();
            if (index && mode != bmDither::kPalette && p[0] > 14)
                std::abort();
            if (!index && mode != bmDither::kPalette)
                for (int k = 0; k < 3; ++k)
                    if (p[k] != 0 && p[k] != 255)
                        std::abort();
        }
    return 0;
}
