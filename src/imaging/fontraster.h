// Fonts copied into the printer: a TrueType file sent whole, or a bitmap font
// rasterised by GDI at the printer's resolution, upright, turned a quarter
// turn, or both. The records go to a FontSink (the printer stream's escapes).
#pragma once

#include <windows.h>

#include "../store/dttf.h"

#include <cstddef>
#include <cstdint>

class FontSink {
public:
    virtual ~FontSink() = default;
    // The font record (command, sizes, names).
    virtual bool DownloadFont(const VXFontInfo &info) = 0;
    // One block of a TrueType file.
    virtual bool DownloadFontData(const unsigned char *data, unsigned long n) = 0;
    // One character's glyph record (glyphpack.h).
    virtual bool DownloadBitmapData(const unsigned char *record, size_t n) = 0;
};

// Model font_modes bits: the orientations a bitmap font is sent in.
enum : uint16_t { kFontModeUpright = 4, kFontModeRotated = 8 };
// TrueType files go in blocks of this size.
constexpr unsigned long kFontBlock = 31744;

// Sends the font selected into dc (its GetFontData file of `size` bytes)
// between a begin and an end record. False when nothing could be read or sent.
bool DownloadTTFFont(HDC dc, DTTFInfo &info, unsigned long size, FontSink &sink);

// Rasterises the characters of info.charset in info.logfont at info.point_size
// and dpi, as the font modes ask, filling info.font's metrics. The result of
// the last character sent; false when none was sent.
bool DownloadBitmapFont(DTTFInfo &info, LONG dpi, uint16_t font_modes, FontSink &sink);
