// Font downloads through GDI with a real TrueType font (DejaVu Sans, which
// scripts/setup.sh installs and Wine finds through fontconfig): the file in
// blocks between a begin and an end record, and bitmap glyphs whose turned
// form is exactly the upright one turned a quarter turn clockwise.
#include "imaging/fontraster.h"
#include "imaging/glyphpack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

struct Recorder : FontSink {
    std::vector<int32_t> commands;
    std::vector<unsigned long> blocks;
    std::vector<std::vector<unsigned char>> glyphs;
    bool DownloadFont(const VXFontInfo &info) override { return commands.push_back(info.command), true; }
    bool DownloadFontData(const unsigned char *, unsigned long n) override { return blocks.push_back(n), true; }
    bool DownloadBitmapData(const unsigned char *r, size_t n) override {
        glyphs.emplace_back(r, r + n);
        return true;
    }
};

DTTFInfo dejavu(int point_tenths) {
    DTTFInfo info = {};
    info.type = 2;
    info.point_size = point_tenths;
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcscpy(lf.lfFaceName, L"DejaVu Sans");
    std::memcpy(info.logfont, &lf, sizeof lf);
    return info;
}

bool bit(const std::vector<unsigned char> &rec, size_t line, size_t per_line, size_t i) {
    return rec[glyph::kHeaderSize + line * per_line + i / 8] >> (7 - i % 8) & 1;
}

} // namespace

TEST(FontRaster, TrueTypeInBlocksAndBitmapGlyphsInBothOrientations) {
    HDC dc = CreateCompatibleDC(nullptr);
    DTTFInfo info = dejavu(100);
    LOGFONTW lf;
    std::memcpy(&lf, info.logfont, sizeof lf);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    ASSERT_STREQ(face, L"DejaVu Sans") << "Wine does not see the system's TrueType fonts";
    DWORD size = GetFontData(dc, 0, 0, nullptr, 0);
    ASSERT_GT(size, 2 * kFontBlock);
    Recorder ttf;
    EXPECT_TRUE(DownloadTTFFont(dc, info, size, ttf));
    EXPECT_EQ(ttf.commands, (std::vector<int32_t>{1, 4}));
    EXPECT_EQ(info.font.data_size, static_cast<int32_t>(size));
    unsigned long sent = 0;
    for (size_t i = 0; i < ttf.blocks.size(); ++i) {
        sent += ttf.blocks[i];
        if (i + 1 < ttf.blocks.size()) {
            EXPECT_EQ(ttf.blocks[i], kFontBlock);
        }
    }
    EXPECT_EQ(sent, size);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);

    // Bitmap glyphs of "A", "g" and a blank at 203 dpi; a model without either
    // orientation sends nothing.
    for (int c : {'A', 'g', ' '})
        info.charset[c / 32] |= 1u << (c % 32);
    Recorder none;
    EXPECT_FALSE(DownloadBitmapFont(info, 203, 0, none));
    EXPECT_TRUE(none.commands.empty() && none.glyphs.empty());
    Recorder both;
    ASSERT_TRUE(DownloadBitmapFont(info, 203, kFontModeUpright | kFontModeRotated, both));
    EXPECT_EQ(both.commands, (std::vector<int32_t>{2, 4, 2, 4}));
    EXPECT_EQ(info.font.char_count, 3);
    EXPECT_EQ(info.font.data_size, -1);
    EXPECT_GE(info.font.cell_height, 28); // 10 pt at 203 dpi is an em of 28 pixels
    ASSERT_EQ(both.glyphs.size(), 6u);
    for (size_t g = 0; g < 3; ++g) {
        const auto &up = both.glyphs[g], &turned = both.glyphs[g + 3];
        size_t width = up[2] | up[3] << 8, height = up[6] | up[7] << 8;
        size_t up_line = up[4], turned_line = turned[4];
        ASSERT_TRUE(up[0] == turned[0] && up[8] == 0 && turned[8] == 1 && static_cast<LONG>(height) == info.font.cell_height);
        size_t ink = 0;
        for (size_t y = 0; y < height; ++y)
            for (size_t x = 0; x < width; ++x) {
                ink += bit(up, y, up_line, x);
                ASSERT_EQ(bit(up, y, up_line, x), bit(turned, x, turned_line, height - 1 - y))
                    << "character " << up[0] << " at " << x << "," << y;
            }
        EXPECT_EQ(ink == 0, up[0] == ' ') << "character " << up[0] << " has " << ink << " ink pixels";
    }
}
