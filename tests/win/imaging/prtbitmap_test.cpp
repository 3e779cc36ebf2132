// Picture areas in a real dialog under the display: each kind of content is
// painted, captured from the screen and checked pixel by pixel where it must
// lie; a click comes back to the dialog as a command.
#include "imaging/prtbitmap.h"
#include "platform/globals.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

enum { kPicture = 101, kOpaque = 102, kSwatch = 103, kWide = 104, kNarrow = 105 };

void pump() {
    for (int i = 0; i < 20; ++i) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
        Sleep(5);
    }
}

// A dialog template with one picture area per id, all of class "prtbitmap".
std::vector<WORD> dialog_template(const std::vector<WORD> &ids) {
    std::vector<WORD> t;
    auto dword = [&](DWORD v) { t.push_back(LOWORD(v)), t.push_back(HIWORD(v)); };
    auto text = [&](const wchar_t *s) {
        for (; *s; ++s)
            t.push_back(*s);
        t.push_back(0);
    };
    dword(WS_POPUP | WS_VISIBLE | DS_SETFONT);
    dword(0);
    t.push_back(WORD(ids.size()));
    t.insert(t.end(), {0, 0, 300, 300, 0, 0, 0});  // position and size, no menu, class or title
    t.push_back(8);
    text(L"MS Shell Dlg");
    for (WORD id : ids) {
        if (t.size() % 2)
            t.push_back(0);  // items start on a DWORD
        dword(WS_CHILD | WS_VISIBLE);
        dword(0);
        t.insert(t.end(), {0, 0, 10, 10, id});
        text(prtbitmap::ClassName());
        t.push_back(0);  // no text
        t.push_back(0);  // no creation data
    }
    return t;
}

struct Dialog {
    std::vector<WPARAM> commands;
};

INT_PTR CALLBACK dialog_proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG)
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
    if (msg == WM_COMMAND)
        reinterpret_cast<Dialog *>(GetWindowLongPtrW(dlg, DWLP_USER))->commands.push_back(wParam);
    return msg == WM_INITDIALOG;
}

// A bottom-up 24-bit packed picture, 100 x 50: white, with a red band across
// the upper half (x 20..79, y 5..24) that holds a white island (x 45..54,
// y 10..19) not connected to the white corner.
std::vector<BYTE> test_picture() {
    const int w = 100, h = 50, stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> b(sizeof(BITMAPINFOHEADER) + stride * h, 0xFF);
    BITMAPINFOHEADER hdr{sizeof hdr, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(b.data(), &hdr, sizeof hdr);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool band = x >= 20 && x < 80 && y >= 5 && y < 25;
            bool island = x >= 45 && x < 55 && y >= 10 && y < 20;
            if (band && !island) {
                BYTE *px = &b[sizeof hdr + (h - 1 - y) * stride + x * 3];
                px[0] = 0, px[1] = 0, px[2] = 0xFF;  // blue, green, red
            }
        }
    return b;
}

// A run-time bitmap: its leftmost 10 columns blue, the rest green.
HBITMAP test_bitmap(int w, int h) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, w, h}, left{0, 0, 10, h};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(mem, &all, green);
    FillRect(mem, &left, blue);
    SelectObject(mem, old);
    DeleteObject(green), DeleteObject(blue);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bmp;
}

// What the dialog's client area shows, read back through a 32-bit DIB.
class Capture {
public:
    explicit Capture(HWND dlg) : dlg_(dlg) {
        RECT r;
        GetClientRect(dlg, &r);
        w_ = r.right, h_ = r.bottom;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w_, -h_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC dc = GetDC(dlg), mem = CreateCompatibleDC(dc);
        void *bits = nullptr;
        HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w_, h_, dc, 0, 0, SRCCOPY);
        GdiFlush();
        pixels_.assign(static_cast<DWORD *>(bits), static_cast<DWORD *>(bits) + w_ * h_);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(dlg, dc);
    }
    // The colour at (x, y) of a control's client area, as COLORREF.
    COLORREF at(int id, int x, int y) const {
        POINT p{x, y};
        MapWindowPoints(GetDlgItem(dlg_, id), dlg_, &p, 1);
        if (p.x < 0 || p.y < 0 || p.x >= w_ || p.y >= h_)
            return CLR_INVALID;
        DWORD v = pixels_[p.y * w_ + p.x];
        return RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
    }

private:
    HWND dlg_;
    int w_ = 0, h_ = 0;
    std::vector<DWORD> pixels_;
};

constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255),
                   kGreen = RGB(0, 255, 0), kSky = RGB(0, 128, 255);

class PictureArea : public ::testing::Test {
protected:
    void SetUp() override { ghInstance = GetModuleHandleW(nullptr); }
};

TEST_F(PictureArea, RegistrationNests) {
    WNDCLASSW wc;
    ASSERT_TRUE(prtbitmap::Register());
    EXPECT_FALSE(prtbitmap::Register());
    EXPECT_FALSE(prtbitmap::Unregister());
    EXPECT_TRUE(GetClassInfoW(ghInstance, prtbitmap::ClassName(), &wc)) << "a first Unregister of two removed the class";
    EXPECT_TRUE(prtbitmap::Unregister());
    EXPECT_FALSE(GetClassInfoW(ghInstance, prtbitmap::ClassName(), &wc));
}

TEST_F(PictureArea, EachContentPaintedWhereItBelongs) {
    ASSERT_TRUE(prtbitmap::Register());
    Dialog state;
    auto tmpl = dialog_template({kPicture, kOpaque, kSwatch, kWide, kNarrow});
    HWND dlg = CreateDialogIndirectParamW(ghInstance, reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()), nullptr,
                                          dialog_proc, reinterpret_cast<LPARAM>(&state));
    ASSERT_NE(dlg, nullptr) << "dialog with picture areas not created: " << GetLastError();
    SetWindowPos(dlg, HWND_TOP, 0, 0, 700, 500, SWP_SHOWWINDOW);
    // Pixel rectangles (the template's dialog units are not exact pixels).
    MoveWindow(GetDlgItem(dlg, kPicture), 10, 10, 200, 200, TRUE);
    MoveWindow(GetDlgItem(dlg, kOpaque), 220, 10, 200, 200, TRUE);
    MoveWindow(GetDlgItem(dlg, kSwatch), 430, 10, 50, 30, TRUE);
    MoveWindow(GetDlgItem(dlg, kWide), 10, 220, 200, 100, TRUE);
    MoveWindow(GetDlgItem(dlg, kNarrow), 220, 220, 200, 100, TRUE);

    std::vector<BYTE> picture = test_picture();
    auto *info = reinterpret_cast<BITMAPINFO *>(picture.data());
    const DWORD size = DWORD(picture.size());
    EXPECT_FALSE(prtbitmap::SetPicture(GetDlgItem(dlg, kPicture), info, size - 1, true)) << "short rows accepted";
    EXPECT_TRUE(prtbitmap::SetPicture(GetDlgItem(dlg, kPicture), info, size, true));
    EXPECT_TRUE(prtbitmap::SetPicture(GetDlgItem(dlg, kOpaque), info, size, false));
    EXPECT_TRUE(prtbitmap::SetColor(GetDlgItem(dlg, kSwatch), kSky));
    EXPECT_TRUE(prtbitmap::SetBitmapHandle(GetDlgItem(dlg, kWide), test_bitmap(300, 40)));
    EXPECT_TRUE(prtbitmap::SetBitmapHandle(GetDlgItem(dlg, kNarrow), test_bitmap(100, 40)));
    UpdateWindow(dlg);
    pump();

    Capture shot(dlg);
    // The dialog's own background, between the controls.
    POINT gap{215, 100};
    MapWindowPoints(dlg, GetDlgItem(dlg, kPicture), &gap, 1);
    const COLORREF background = shot.at(kPicture, gap.x, gap.y);
    ASSERT_NE(background, kWhite) << "the dialog background must differ from the picture's corner";

    // 100 x 50 in 200 x 200: drawn at (50, 75), upright; the white connected to
    // the corner takes the background, the enclosed island keeps its white.
    EXPECT_EQ(shot.at(kPicture, 50, 75), background);
    EXPECT_EQ(shot.at(kPicture, 149, 124), background);
    EXPECT_EQ(shot.at(kPicture, 50 + 20, 75 + 5), kRed);
    EXPECT_EQ(shot.at(kPicture, 50 + 79, 75 + 24), kRed);
    EXPECT_EQ(shot.at(kPicture, 50 + 50, 75 + 15), kWhite);
    EXPECT_EQ(shot.at(kPicture, 50 + 50, 75 + 30), background);
    // Outside the picture nothing is drawn: what lies under the control shows.
    EXPECT_EQ(shot.at(kPicture, 5, 5), background);
    // Without blending the picture's white stays.
    EXPECT_EQ(shot.at(kOpaque, 50, 75), kWhite);
    EXPECT_EQ(shot.at(kOpaque, 50 + 50, 75 + 30), kWhite);
    EXPECT_EQ(shot.at(kOpaque, 50 + 20, 75 + 5), kRed);
    EXPECT_EQ(shot.at(kOpaque, 49, 74), background);

    EXPECT_EQ(shot.at(kSwatch, 0, 0), kSky);
    EXPECT_EQ(shot.at(kSwatch, 49, 29), kSky);

    // 300 wide in 200: from the left edge, clipped; centred vertically (y 30).
    EXPECT_EQ(shot.at(kWide, 0, 30), kBlue);
    EXPECT_EQ(shot.at(kWide, 9, 69), kBlue);
    EXPECT_EQ(shot.at(kWide, 10, 50), kGreen);
    EXPECT_EQ(shot.at(kWide, 199, 50), kGreen);
    EXPECT_EQ(shot.at(kWide, 5, 29), background);
    // 100 wide in 200: at x = 50.
    EXPECT_EQ(shot.at(kNarrow, 49, 50), background);
    EXPECT_EQ(shot.at(kNarrow, 50, 50), kBlue);
    EXPECT_EQ(shot.at(kNarrow, 60, 50), kGreen);
    EXPECT_EQ(shot.at(kNarrow, 150, 50), background);

    // A swatch replaces a picture; the control still answers after a refusal.
    EXPECT_TRUE(prtbitmap::SetColor(GetDlgItem(dlg, kOpaque), kSky));
    UpdateWindow(dlg);
    pump();
    EXPECT_EQ(Capture(dlg).at(kOpaque, 50 + 20, 75 + 5), kSky);

    PostMessageW(GetDlgItem(dlg, kSwatch), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    pump();
    ASSERT_EQ(state.commands.size(), 1u);
    EXPECT_EQ(state.commands[0], WPARAM(kSwatch));
    EXPECT_EQ(SendMessageW(GetDlgItem(dlg, kSwatch), WM_GETDLGCODE, 0, 0), DLGC_STATIC);

    DestroyWindow(dlg);
    EXPECT_TRUE(prtbitmap::Unregister());
}

} // namespace
