// Screenshots of test windows: what is on the screen inside a window's
// rectangle, as a 24-bit BMP (scripts/screenshots-png.sh makes PNG files).
#pragma once

#include <windows.h>

#include "module_path.h"

#include <set>
#include <string>

// Lets a window paint: dispatches what is queued, a few times over 100 ms.
inline void pump() {
    for (int i = 0; i < 20; ++i) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
        Sleep(5);
    }
}

inline bool save_screenshot(HWND dlg, const std::wstring &path) {
    RECT r;
    GetWindowRect(dlg, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    const DWORD size = ((w * 3 + 3) & ~3) * h;
    BITMAPFILEHEADER fh{0x4D42, DWORD(sizeof fh + sizeof bi.bmiHeader + size), 0, 0, sizeof fh + sizeof bi.bmiHeader};
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    bool ok = f != INVALID_HANDLE_VALUE && WriteFile(f, &fh, sizeof fh, &done, nullptr) &&
              WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &done, nullptr) && WriteFile(f, bits, size, &done, nullptr);
    if (f != INVALID_HANDLE_VALUE)
        CloseHandle(f);
    DeleteObject(bmp);
    return ok;
}

// Saves the window as it is on the screen into BUILD/screenshots/NAME.bmp;
// true when it was saved and shows more than a blank area (a window without
// a display paints nothing).
inline bool shoot(HWND window, const wchar_t *name) {
    std::wstring dir = built_module_path(L"..\\screenshots\\");
    CreateDirectoryW(dir.c_str(), nullptr);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    std::set<COLORREF> colours;
    for (LONG y = r.top; y < r.bottom; y += 7)
        for (LONG x = r.left; x < r.right; x += 7)
            colours.insert(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return save_screenshot(window, dir + name + L".bmp") && colours.size() >= 4;
}
