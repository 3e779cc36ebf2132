#include "prtbitmap.h"

#include "../foundation/memory.h"
#include "../locale/prtlocale.h"
#include "../platform/globals.h"

#include <new>

LONG prtbitmap::reg_count = 0;

namespace {
// Run-time bitmaps are copied out as 32-bit rows for drawing; a picture area
// never needs more than this.
constexpr uint64_t kMaxHandleBytes = 64u << 20;
// A header handed over by message was checked by its sender against its size;
// here only its own fields are checked, against the largest sizes it may claim.
constexpr size_t kTrustedSize = size_t(1) << 30;
} // namespace

bool prtbitmap::Register() {
    if (InterlockedIncrement(&reg_count) != 1)
        return false;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WinProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = ghInstance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = ClassName();
    return RegisterClassW(&wc) != 0;
}

bool prtbitmap::Unregister() {
    if (InterlockedDecrement(&reg_count) != 0)
        return false;
    return UnregisterClassW(ClassName(), ghInstance) != 0;
}

bool prtbitmap::SetBitmap(HWND control, prtlocale &locale, long id, bool transparent) {
    DWORD size = 0;
    BITMAPINFO *picture = locale.LockBitmap(id, &size);
    if (!picture)
        return false;
    if (!SetPicture(control, picture, size, transparent)) {
        prtlocale::FreeBitmap(picture);
        return false;
    }
    return true;
}

bool prtbitmap::SetPicture(HWND control, BITMAPINFO *picture, DWORD size, bool transparent) {
    if (!dib::drawable(picture, size, nullptr))
        return false;
    return SendMessageW(control, kSetPicture, transparent, reinterpret_cast<LPARAM>(picture)) != 0;
}

bool prtbitmap::SetBitmapHandle(HWND control, HBITMAP bitmap) {
    return SendMessageW(control, kSetHandle, 0, reinterpret_cast<LPARAM>(bitmap)) != 0;
}

bool prtbitmap::SetColor(HWND control, COLORREF color) {
    return SendMessageW(control, kSetColor, 0, static_cast<LPARAM>(color)) != 0;
}

prtbitmap *prtbitmap::GetObjectW(HWND window) {
    auto *object = reinterpret_cast<prtbitmap *>(GetWindowLongPtrW(window, 0));
    if (object)
        object->window_ = window;
    return object;
}

prtbitmap::~prtbitmap() {
    // The control owns a run-time bitmap until it is replaced or the control goes.
    if (bitmap_)
        DeleteObject(bitmap_);
    if (picture_)
        prtlocale::FreeBitmap(picture_);
}

bool prtbitmap::SetBitmap(BITMAPINFO *picture, bool transparent) {
    dib::Layout layout;
    if (!dib::drawable(picture, kTrustedSize, &layout))
        return false;
    Invalidate();
    picture_ = picture;
    layout_ = layout;
    transparent_ = transparent;
    solid_color_ = false;
    return true;
}

bool prtbitmap::SetBitmapHandle(HBITMAP bitmap, bool transparent) {
    Invalidate();
    bitmap_ = bitmap;
    transparent_ = transparent;
    solid_color_ = false;
    return true;
}

bool prtbitmap::SetColor(COLORREF color) {
    Invalidate();
    solid_color_ = true;
    color_ = color;
    return true;
}

void prtbitmap::Invalidate() {
    if (picture_) {
        prtlocale::FreeBitmap(picture_);
        picture_ = nullptr;
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    InvalidateRect(window_, nullptr, FALSE);
}

UINT prtbitmap::GetNumColors() const { return picture_ ? layout_.colors : 0; }

HPALETTE prtbitmap::NewPalette() const {
    const UINT n = GetNumColors();
    if (n == 0)
        return nullptr;
    auto *pal = static_cast<LOGPALETTE *>(MEMALLOC(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY)));
    if (!pal)
        return nullptr;
    pal->palVersion = 0x300;
    pal->palNumEntries = static_cast<WORD>(n);
    // The table ends where the rows begin.
    const auto *table = reinterpret_cast<const BYTE *>(picture_) + layout_.bits_offset - n * 4;
    for (UINT i = 0; i < n; ++i) {
        pal->palPalEntry[i].peRed = table[i * 4 + 2];
        pal->palPalEntry[i].peGreen = table[i * 4 + 1];
        pal->palPalEntry[i].peBlue = table[i * 4];
        pal->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(pal);
    MEMFREE(pal);
    return palette;
}

void prtbitmap::ChangePalette() {
    if (!picture_)
        return;
    HDC dc = GetDC(window_);
    if (!dc)
        return;
    HPALETTE palette = NewPalette();
    if (palette) {
        HPALETTE old = SelectPalette(dc, palette, TRUE);
        const UINT changed = RealizePalette(dc);
        if (changed != 0 && changed != GDI_ERROR)
            InvalidateRect(window_, nullptr, FALSE);
        SelectPalette(dc, old, TRUE);
        DeleteObject(palette);
    }
    ReleaseDC(window_, dc);
}

void prtbitmap::Paint() {
    RECT client, update;
    GetClientRect(window_, &client);
    if (!GetUpdateRect(window_, &update, FALSE) || !IntersectRect(&update, &update, &client))
        return;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (!dc)
        return;
    if (bitmap_) {
        paint_handle(dc, client);
    } else if (picture_) {
        paint_picture(dc, client);
    } else if (solid_color_) {
        HBRUSH brush = CreateSolidBrush(color_);
        FillRect(dc, &update, brush);
        DeleteObject(brush);
    }
    EndPaint(window_, &ps);
}

void prtbitmap::paint_handle(HDC dc, const RECT &client) {
    BITMAP bm;
    if (!::GetObjectW(bitmap_, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return;
    const uint64_t bytes = uint64_t(bm.bmWidth) * uint64_t(bm.bmHeight) * 4;
    if (bytes > kMaxHandleBytes)
        return;
    // Centred where the client area is larger; from its left (top) edge and
    // clipped by the paint context where the bitmap is larger.
    LONG x = client.left, y = client.top;
    const LONG cw = client.right - client.left, ch = client.bottom - client.top;
    if (cw > bm.bmWidth)
        x += (cw - bm.bmWidth) / 2;
    if (ch > bm.bmHeight)
        y += (ch - bm.bmHeight) / 2;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = MEMALLOC(static_cast<size_t>(bytes));
    if (!bits)
        return;
    if (GetDIBits(dc, bitmap_, 0, bm.bmHeight, bits, &info, DIB_RGB_COLORS) == bm.bmHeight)
        SetDIBitsToDevice(dc, x, y, bm.bmWidth, bm.bmHeight, 0, 0, 0, bm.bmHeight, bits, &info, DIB_RGB_COLORS);
    MEMFREE(bits);
}

void prtbitmap::paint_picture(HDC dc, const RECT &client) {
    HPALETTE palette = NewPalette();
    HPALETTE old_palette = nullptr;
    if (palette) {
        old_palette = SelectPalette(dc, palette, TRUE);
        RealizePalette(dc);
    }
    // Centred, and clipped on every side when larger than the control.
    const int x = (client.right - client.left - layout_.width) / 2;
    const int y = (client.bottom - client.top - layout_.height) / 2;
    const COLORREF background = GetPixel(dc, x, y);
    const auto *bits = reinterpret_cast<const BYTE *>(picture_) + layout_.bits_offset;
    SetDIBitsToDevice(dc, x, y, layout_.width, layout_.height, 0, 0, 0, layout_.height, bits, picture_,
                      DIB_RGB_COLORS);
    if (transparent_) {
        // The area of the corner's colour that touches the corner takes the
        // colour that was under it.
        const COLORREF corner = GetPixel(dc, x, y);
        if (corner != background && corner != CLR_INVALID && background != CLR_INVALID) {
            HBRUSH brush = CreateSolidBrush(background);
            HGDIOBJ old_brush = SelectObject(dc, brush);
            ExtFloodFill(dc, x, y, corner, FLOODFILLSURFACE);
            SelectObject(dc, old_brush);
            DeleteObject(brush);
        }
    }
    if (palette) {
        SelectPalette(dc, old_palette, TRUE);
        DeleteObject(palette);
    }
}

LRESULT CALLBACK prtbitmap::WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: {
        auto *object = new (std::nothrow) prtbitmap;
        if (object)
            object->window_ = hwnd;
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(object));
        break;
    }
    case WM_DESTROY:
        delete GetObjectW(hwnd);
        SetWindowLongPtrW(hwnd, 0, 0);
        break;
    case WM_PAINT:
        if (prtbitmap *object = GetObjectW(hwnd))
            object->Paint();
        break;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_LBUTTONDOWN:
        PostMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), 0), 0);
        break;
    case WM_QUERYNEWPALETTE:
        if (prtbitmap *object = GetObjectW(hwnd))
            object->ChangePalette();
        break;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != hwnd)
            if (prtbitmap *object = GetObjectW(hwnd))
                object->ChangePalette();
        break;
    case kSetPicture:
    case kSetColor:
    case kSetHandle: {
        prtbitmap *object = GetObjectW(hwnd);
        if (!object)
            return 0;
        if (msg == kSetPicture)
            return object->SetBitmap(reinterpret_cast<BITMAPINFO *>(lParam), wParam != 0);
        if (msg == kSetColor)
            return object->SetColor(static_cast<COLORREF>(lParam));
        return object->SetBitmapHandle(reinterpret_cast<HBITMAP>(lParam), wParam != 0);
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
