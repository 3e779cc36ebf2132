// The picture-area window class "prtbitmap" of the page templates: a picture
// from the language modules (its background optionally blended with what lies
// under it), a bitmap made at run time, or a colour swatch; drawn at its own
// size, centred, never scaled. A click reaches the dialog as WM_COMMAND with
// the control's ID.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include "dibcheck.h"

class prtlocale;

class prtbitmap {
public:
    // Control messages; each answers 1.
    enum : UINT {
        kSetPicture = WM_USER + 1, // wParam transparent, lParam a checked BITMAPINFO*
        kSetColor = WM_USER + 2,   // lParam COLORREF
        kSetHandle = WM_USER + 3,  // wParam transparent, lParam HBITMAP (the control takes it)
    };

    static const wchar_t *ClassName() { return L"prtbitmap"; }

    // Registration nests by a process-wide count: only the first Register
    // registers (and answers whether that worked), only the Unregister that
    // brings the count to 0 unregisters; the others answer false.
    static bool Register();
    static bool Unregister();

    // A bitmap of the language modules; false (content unchanged) when no
    // module has it or it cannot be drawn safely.
    static bool SetBitmap(HWND control, prtlocale &locale, long id, bool transparent);
    // A packed bitmap of `size` bytes, checked before the control gets it; it
    // must stay valid while shown (language module resources do).
    static bool SetPicture(HWND control, BITMAPINFO *picture, DWORD size, bool transparent);
    static bool SetBitmapHandle(HWND control, HBITMAP bitmap);
    static bool SetColor(HWND control, COLORREF color);
    // The control's object (null before WM_CREATE and after WM_DESTROY).
    static prtbitmap *GetObjectW(HWND window);

    // Each change forgets the previous content and repaints.
    bool SetBitmap(BITMAPINFO *picture, bool transparent);
    bool SetBitmapHandle(HBITMAP bitmap, bool transparent);
    bool SetColor(COLORREF color);
    void Invalidate();

    static LRESULT CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    prtbitmap() = default;
    ~prtbitmap();

    void ChangePalette();
    HPALETTE NewPalette() const;
    UINT GetNumColors() const;
    void Paint();
    void paint_handle(HDC dc, const RECT &client);
    void paint_picture(HDC dc, const RECT &client);

    HWND window_ = nullptr;
    BITMAPINFO *picture_ = nullptr;
    dib::Layout layout_ = {};
    bool transparent_ = false;
    bool solid_color_ = false;
    COLORREF color_ = 0;
    HBITMAP bitmap_ = nullptr;

    static LONG reg_count;
};
#endif
