// GDI's part of a font download: the TrueType file in blocks, and each glyph
// drawn alone into a monochrome cell and packed.
#include "fontraster.h"

#include "../foundation/memory.h"
#include "glyphpack.h"

#include <cstring>

bool DownloadTTFFont(HDC dc, DTTFInfo &info, unsigned long size, FontSink &sink) {
    MemBlock<unsigned char> block = MemBlock<unsigned char>::alloc(kFontBlock);
    if (!dc || !block || size == 0 || size == GDI_ERROR)
        return false;
    info.font.command = 1;
    info.font.data_size = static_cast<int32_t>(size);
    bool ok = sink.DownloadFont(info.font);
    for (unsigned long at = 0; ok && at < size;) {
        unsigned long n = size - at < kFontBlock ? size - at : kFontBlock;
        ok = GetFontData(dc, 0, at, block.get(), n) == n && sink.DownloadFontData(block.get(), n);
        at += n;
    }
    info.font.command = 4;
    return sink.DownloadFont(info.font) && ok;
}

namespace {

// One drawing cell with its font, released together.
struct Cell {
    HDC dc = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_font = nullptr, old_bitmap = nullptr;
    ~Cell() {
        if (old_bitmap)
            SelectObject(dc, old_bitmap);
        if (old_font)
            SelectObject(dc, old_font);
        if (bitmap)
            DeleteObject(bitmap);
        if (font)
            DeleteObject(font);
        if (dc)
            DeleteDC(dc);
    }
};

bool send_all(Cell &cell, DTTFInfo &info, const INT *widths, glyph::Orientation o, FontSink &sink, bool *last) {
    LONG height = info.font.cell_height, max_width = info.font.max_width;
    size_t stride = static_cast<size_t>((max_width + 15) / 16 * 2);
    MemBlock<uint8_t> bits = MemBlock<uint8_t>::alloc(static_cast<LONG>(stride * height));
    MemBlock<uint8_t> record =
        MemBlock<uint8_t>::alloc(static_cast<LONG>(glyph::kHeaderSize + glyph::glyph_bytes(max_width, height, o)));
    if (!bits || !record)
        return false;
    info.font.command = 2;
    info.font.orientation = o;
    sink.DownloadFont(info.font);
    for (int c = 0; c < 256; ++c) {
        if (!(info.charset[c / 32] >> (c % 32) & 1) || widths[c] <= 0)
            continue;
        LONG width = widths[c] < max_width ? widths[c] : max_width;
        WCHAR ch = static_cast<WCHAR>(c);
        PatBlt(cell.dc, 0, 0, max_width, height, WHITENESS);
        TextOutW(cell.dc, 0, 0, &ch, 1);
        if (GetBitmapBits(cell.bitmap, static_cast<LONG>(stride * height), bits.get()) == 0)
            continue; // this glyph is lost; the next may fare better
        size_t n = glyph::encode(static_cast<uint16_t>(c), width, height, o, bits.get(), stride, record.get());
        if (n)
            *last = sink.DownloadBitmapData(record.get(), n);
    }
    info.font.command = 4;
    sink.DownloadFont(info.font);
    return true;
}

} // namespace

bool DownloadBitmapFont(DTTFInfo &info, LONG dpi, uint16_t font_modes, FontSink &sink) {
    if (!(font_modes & (kFontModeUpright | kFontModeRotated)) || dpi <= 0)
        return false;
    Cell cell;
    cell.dc = CreateCompatibleDC(nullptr);
    if (!cell.dc)
        return false;
    SetMapMode(cell.dc, MM_TEXT);
    LOGFONTW lf;
    static_assert(sizeof lf == sizeof info.logfont, "stored logical font");
    std::memcpy(&lf, info.logfont, sizeof lf);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    lf.lfHeight = -MulDiv(info.point_size, dpi, 720);
    cell.font = CreateFontIndirectW(&lf);
    if (!cell.font)
        return false;
    cell.old_font = SelectObject(cell.dc, cell.font);
    TEXTMETRICW tm;
    INT widths[256];
    if (!GetTextMetricsW(cell.dc, &tm) || !GetCharWidthW(cell.dc, 0, 255, widths) || tm.tmHeight <= 0 ||
        tm.tmMaxCharWidth <= 0)
        return false;
    cell.bitmap = CreateBitmap(tm.tmMaxCharWidth, tm.tmHeight, 1, 1, nullptr);
    if (!cell.bitmap)
        return false;
    cell.old_bitmap = SelectObject(cell.dc, cell.bitmap);
    SetTextColor(cell.dc, RGB(0, 0, 0));
    SetBkMode(cell.dc, TRANSPARENT);
    SetTextAlign(cell.dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);

    LONG count = 0;
    for (int c = 0; c < 256; ++c)
        count += (info.charset[c / 32] >> (c % 32) & 1) && widths[c] > 0;
    info.font.cell_height = tm.tmHeight;
    info.font.char_count = count;
    info.font.ascent = tm.tmAscent;
    info.font.max_width = tm.tmMaxCharWidth;
    info.font.avg_width = tm.tmAveCharWidth;
    info.font.data_size = -1;
    bool last = false;
    if (font_modes & kFontModeUpright)
        send_all(cell, info, widths, glyph::kUpright, sink, &last);
    if (font_modes & kFontModeRotated)
        send_all(cell, info, widths, glyph::kRotated, sink, &last);
    return last;
}
