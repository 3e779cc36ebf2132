// Screenshots of windows: what is on the screen inside a window's rectangle,
// as a 24-bit BMP (scripts/screenshots-png.sh makes PNG files); tests and mrlprint.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

// Lets a window paint: dispatches what is queued, a few times over 100 ms.
inline void pump() {
    for (int i = 0; i < 20; ++i) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
        Sleep(5);
    }
}

// What is on the screen inside r: 24-bit rows, bottom row first, each padded
// to four bytes (a BMP file's pixels).
inline std::vector<BYTE> capture(const RECT &r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return {};
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<BYTE> out(static_cast<BYTE *>(bits), static_cast<BYTE *>(bits) + ((w * 3 + 3) & ~3) * h);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

inline bool save_screenshot(HWND dlg, const std::wstring &path) {
    RECT r;
    GetWindowRect(dlg, &r);
    const std::vector<BYTE> px = capture(r);
    BITMAPINFOHEADER info = {sizeof info, r.right - r.left, r.bottom - r.top, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD size = DWORD(px.size());
    BITMAPFILEHEADER fh{0x4D42, DWORD(sizeof fh + sizeof info + size), 0, 0, sizeof fh + sizeof info};
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    bool ok = f != INVALID_HANDLE_VALUE && WriteFile(f, &fh, sizeof fh, &done, nullptr) &&
              WriteFile(f, &info, sizeof info, &done, nullptr) && WriteFile(f, px.data(), size, &done, nullptr);
    if (f != INVALID_HANDLE_VALUE)
        CloseHandle(f);
    return ok;
}

struct WindowProbe {
    DWORD pid;
    const wchar_t *caption;
    HWND found;
};

inline BOOL CALLBACK probe_window(HWND wnd, LPARAM lParam) {
    auto *probe = reinterpret_cast<WindowProbe *>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner != probe->pid || !IsWindowVisible(wnd))
        return TRUE;
    wchar_t text[256] = {};
    GetWindowTextW(wnd, text, 256);
    bool match = probe->caption ? lstrcmpW(text, probe->caption) == 0
                                : FindWindowExW(wnd, nullptr, WC_TABCONTROLW, nullptr) != nullptr;
    if (match)
        probe->found = wnd;
    return match ? FALSE : TRUE;
}

// A visible top-level window of the process with that caption (null: one with
// tabs, a property sheet), waited for up to 10 s; null when none came.
inline HWND wait_window(const wchar_t *caption, DWORD pid = GetCurrentProcessId()) {
    for (int i = 0; i < 200; ++i, Sleep(50)) {
        WindowProbe probe = {pid, caption, nullptr};
        EnumWindows(probe_window, reinterpret_cast<LPARAM>(&probe));
        if (probe.found)
            return probe.found;
    }
    return nullptr;
}
