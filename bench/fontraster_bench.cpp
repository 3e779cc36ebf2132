// Bitmap font download: rasterising and encoding 224 characters (32 to 255)
// of a TrueType font at 300 dpi and 24 pt, upright and turned, as glyphs per
// second and as a ratio to GetGlyphOutlineW (GGO_BITMAP) alone for the same
// glyphs in the same run.
#include "imaging/fontraster.h"
#include "timing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

template <typename F> double median_us(int rounds, F f) {
    std::vector<double> r;
    for (int i = 0; i < rounds; ++i) {
        double t0 = now_us();
        f();
        r.push_back(now_us() - t0);
    }
    std::sort(r.begin(), r.end());
    return r[r.size() / 2];
}

struct CountingSink : FontSink {
    long glyphs = 0;
    size_t bytes = 0;
    bool DownloadFont(const VXFontInfo &) override { return true; }
    bool DownloadFontData(const unsigned char *, unsigned long n) override { return bytes += n, true; }
    bool DownloadBitmapData(const unsigned char *, size_t n) override { return ++glyphs, bytes += n, true; }
};

} // namespace

int wmain(int argc, wchar_t **argv) {
    const wchar_t *face = argc > 1 ? argv[1] : L"DejaVu Sans";
    const LONG dpi = 300, tenths = 240;
    DTTFInfo info = {};
    info.type = 2;
    info.point_size = tenths;
    for (int c = 32; c < 256; ++c)
        info.charset[c / 32] |= 1u << (c % 32);
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    std::memcpy(info.logfont, &lf, sizeof lf);

    CountingSink sink;
    if (!DownloadBitmapFont(info, dpi, kFontModeUpright | kFontModeRotated, sink)) {
        fwprintf(stderr, L"%ls: nothing rasterised\n", face);
        return 1;
    }
    long glyphs = sink.glyphs;
    double ours = median_us(7, [&] {
        CountingSink s;
        DownloadBitmapFont(info, dpi, kFontModeUpright | kFontModeRotated, s);
    });

    HDC dc = CreateCompatibleDC(nullptr);
    lf.lfHeight = -MulDiv(tenths, dpi, 720);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t used[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, used);
    if (wcscmp(used, face) != 0)
        fwprintf(stderr, L"%ls is not installed: GDI drew %ls instead\n", face, used);
    std::vector<BYTE> buf(1 << 16);
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    double gdi = median_us(7, [&] {
        for (int pass = 0; pass < 2; ++pass)
            for (UINT c = 32; c < 256; ++c) {
                GLYPHMETRICS gm;
                GetGlyphOutlineW(dc, c, GGO_BITMAP, &gm, static_cast<DWORD>(buf.size()), buf.data(), &identity);
            }
    });
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);

    wprintf(L"%ls, %ld dpi, %ld.%ld pt: %ld glyph records (224 characters, upright and turned), %zu bytes\n", face,
            static_cast<long>(dpi), static_cast<long>(tenths / 10), static_cast<long>(tenths % 10), glyphs,
            sink.bytes);
    wprintf(L"  rasterise + encode  %8.0f us  %8.0f glyphs/s\n", ours, glyphs * 1e6 / ours);
    wprintf(L"  GetGlyphOutlineW    %8.0f us  %8.0f glyphs/s (448 GGO_BITMAP calls)\n", gdi, 448 * 1e6 / gdi);
    wprintf(L"  ratio %.2f (target at most 2)\n", ours / gdi);
    return 0;
}
