// Picture areas in a real dialog under the display: each kind of content is
// painted, read back from the screen and checked where it must lie; a click
// comes back to the dialog as a command.
#include "english_locale.h"
#include "imaging/prtbitmap.h"
#include "platform/globals.h"
#include "screenshot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

enum { kPicture = 101, kOpaque, kSwatch, kWide, kNarrow };
constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255),
                   kGreen = RGB(0, 255, 0), kSky = RGB(0, 128, 255), kUnder = 1;  // kUnder: the dialog's own colour

// A dialog template with picture areas kPicture..kNarrow, all of class "prtbitmap".
std::vector<WORD> dialog_template() {
    std::vector<WORD> t = {LOWORD(WS_POPUP | WS_VISIBLE), HIWORD(WS_POPUP | WS_VISIBLE), 0, 0, 5, 0, 0, 300, 300, 0, 0, 0};
    for (WORD id = kPicture; id <= kNarrow; ++id) {
        if (t.size() % 2)
            t.push_back(0);  // items start on a DWORD
        t.insert(t.end(), {LOWORD(WS_CHILD | WS_VISIBLE), HIWORD(WS_CHILD | WS_VISIBLE), 0, 0, 0, 0, 10, 10, id});
        for (const wchar_t *c = prtbitmap::ClassName(); *c; ++c)
            t.push_back(*c);
        t.insert(t.end(), {0, 0, 0});  // class end, no text, no creation data
    }
    return t;
}

std::vector<WPARAM> commands;
INT_PTR CALLBACK dialog_proc(HWND, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND)
        commands.push_back(wParam);
    return msg == WM_INITDIALOG;
}

// A bottom-up 24-bit packed picture, 100 x 50: white, with a red band across
// the upper half (x 20..79, y 5..24) holding a white island (x 45..54,
// y 10..19) that does not touch the white corner.
std::vector<BYTE> test_picture() {
    const int w = 100, h = 50, stride = (w * 3 + 3) & ~3;
    BITMAPINFOHEADER hdr{sizeof hdr, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> b(sizeof hdr + stride * h, 0xFF);
    std::memcpy(b.data(), &hdr, sizeof hdr);
    for (int y = 5; y < 25; ++y)
        for (int x = 20; x < 80; ++x)
            if (!(x >= 45 && x < 55 && y >= 10 && y < 20))
                b[sizeof hdr + (h - 1 - y) * stride + x * 3] = 0, b[sizeof hdr + (h - 1 - y) * stride + x * 3 + 1] = 0;
    return b;
}

// A run-time bitmap: its leftmost 10 columns blue, the rest green.
HBITMAP test_bitmap(int w, int h) {
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, w, h}, left{0, 0, 10, h};
    HBRUSH green = CreateSolidBrush(kGreen), blue = CreateSolidBrush(kBlue);
    FillRect(mem, &all, green);
    FillRect(mem, &left, blue);
    SelectObject(mem, old);
    DeleteObject(green), DeleteObject(blue), DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bmp;
}

// The colour at (x, y) of a control, as the screen shows it.
COLORREF shown(HWND dlg, int id, int x, int y) {
    POINT p{x, y};
    ClientToScreen(GetDlgItem(dlg, id), &p);
    const std::vector<BYTE> px = capture({p.x, p.y, p.x + 1, p.y + 1});
    return px.size() < 3 ? CLR_INVALID : RGB(px[2], px[1], px[0]);
}

TEST(PictureArea, EachContentPaintedWhereItBelongs) {
    // Registration nests: only the last Unregister removes the class.
    ghInstance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(prtbitmap::Register());
    EXPECT_FALSE(prtbitmap::Register());
    EXPECT_FALSE(prtbitmap::Unregister());
    auto tmpl = dialog_template();
    HWND dlg = CreateDialogIndirectParamW(ghInstance, reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), nullptr,
                                          dialog_proc, 0);
    ASSERT_NE(dlg, nullptr) << "no dialog with picture areas (class gone?): " << GetLastError();
    SetWindowPos(dlg, HWND_TOP, 0, 0, 700, 500, SWP_SHOWWINDOW);
    // Pixel rectangles: the template's dialog units are not exact pixels.
    const RECT places[] = {{10, 10, 200, 200}, {220, 10, 200, 200}, {430, 10, 50, 30}, {10, 220, 200, 100},
                           {220, 220, 200, 100}};
    for (int id = kPicture; id <= kNarrow; ++id) {
        const RECT &r = places[id - kPicture];
        MoveWindow(GetDlgItem(dlg, id), r.left, r.top, r.right, r.bottom, TRUE);
    }
    std::vector<BYTE> picture = test_picture();
    auto *info = reinterpret_cast<BITMAPINFO *>(picture.data());
    const DWORD size = DWORD(picture.size());
    EXPECT_FALSE(prtbitmap::SetPicture(GetDlgItem(dlg, kPicture), info, size - 1, true)) << "short rows accepted";
    EXPECT_TRUE(prtbitmap::SetPicture(GetDlgItem(dlg, kPicture), info, size, true));
    EXPECT_TRUE(prtbitmap::SetPicture(GetDlgItem(dlg, kOpaque), info, size, false));
    EXPECT_TRUE(prtbitmap::SetColor(GetDlgItem(dlg, kSwatch), kSky));
    EXPECT_TRUE(prtbitmap::SetBitmapHandle(GetDlgItem(dlg, kWide), test_bitmap(300, 40)));
    EXPECT_TRUE(prtbitmap::SetBitmapHandle(GetDlgItem(dlg, kNarrow), test_bitmap(100, 40)));
    // A picture no language module has leaves the content as it was.
    EnglishLocale locale;
    ASSERT_TRUE(locale.loaded());
    EXPECT_FALSE(prtbitmap::SetBitmap(GetDlgItem(dlg, kNarrow), locale, 9999, false));
    UpdateWindow(dlg);
    pump();

    const COLORREF under = shown(dlg, kPicture, -5, 100);  // between two controls
    ASSERT_NE(under, kWhite) << "the dialog's colour must differ from the picture's corner";
    struct Expect {
        int id, x, y;
        COLORREF color;
    } const expected[] = {
        // 100 x 50 in 200 x 200 lies at (50, 75), upright. Blended, the white
        // touching the corner shows the dialog's colour, the island stays white.
        {kPicture, 50, 75, kUnder}, {kPicture, 149, 124, kUnder}, {kPicture, 70, 80, kRed}, {kPicture, 129, 99, kRed},
        {kPicture, 100, 90, kWhite}, {kPicture, 100, 105, kUnder},
        {kPicture, 5, 5, kUnder},  // around the picture nothing is drawn
        {kOpaque, 50, 75, kWhite}, {kOpaque, 100, 105, kWhite}, {kOpaque, 70, 80, kRed}, {kOpaque, 49, 74, kUnder},
        {kSwatch, 0, 0, kSky}, {kSwatch, 49, 29, kSky},
        // 300 wide in 200: from the left edge, clipped; centred in height (y 30).
        {kWide, 0, 30, kBlue}, {kWide, 9, 69, kBlue}, {kWide, 10, 50, kGreen}, {kWide, 199, 50, kGreen},
        {kWide, 5, 29, kUnder},
        // 100 wide in 200: at x 50.
        {kNarrow, 49, 50, kUnder}, {kNarrow, 50, 50, kBlue}, {kNarrow, 60, 50, kGreen}, {kNarrow, 150, 50, kUnder},
    };
    for (const Expect &e : expected)
        EXPECT_EQ(shown(dlg, e.id, e.x, e.y), e.color == kUnder ? under : e.color)
            << "control " << e.id << " at " << e.x << "," << e.y;

    // A swatch replaces a picture; a module's picture replaces a bitmap.
    EXPECT_TRUE(prtbitmap::SetColor(GetDlgItem(dlg, kOpaque), kSky));
    EXPECT_TRUE(prtbitmap::SetBitmap(GetDlgItem(dlg, kNarrow), locale, 224, false));
    UpdateWindow(dlg);
    pump();
    EXPECT_EQ(shown(dlg, kOpaque, 70, 80), kSky);
    EXPECT_NE(shown(dlg, kNarrow, 100, 50), kGreen);

    commands.clear();
    PostMessageW(GetDlgItem(dlg, kSwatch), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    pump();
    EXPECT_EQ(commands, std::vector<WPARAM>{kSwatch});
    EXPECT_EQ(SendMessageW(GetDlgItem(dlg, kSwatch), WM_GETDLGCODE, 0, 0), DLGC_STATIC);

    DestroyWindow(dlg);
    EXPECT_TRUE(prtbitmap::Unregister());
    WNDCLASSW wc;
    EXPECT_FALSE(GetClassInfoW(ghInstance, prtbitmap::ClassName(), &wc));
}

} // namespace
