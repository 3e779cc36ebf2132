// What the sheet tests do as a user would: find a sheet or dialog on the
// screen, shoot it, choose in its lists.
#pragma once

#include "module_path.h"
#include "screenshot.h"

#include <commctrl.h>

#include <set>
#include <string>

namespace {

struct Probe {
    DWORD pid;
    HWND found;
};

// A visible window with tabs of the probe's process.
inline BOOL CALLBACK find_tabbed(HWND wnd, LPARAM lParam) {
    auto *probe = reinterpret_cast<Probe *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == probe->pid && IsWindowVisible(wnd) && FindWindowExW(wnd, nullptr, WC_TABCONTROLW, nullptr)) {
        probe->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// Saves the sheet as it is on the screen; true when it was saved and shows
// more than a blank area (a sheet without a display paints nothing).
inline bool shoot(HWND sheet, const wchar_t *name) {
    std::wstring dir = built_module_path(L"..\\screenshots\\");
    CreateDirectoryW(dir.c_str(), nullptr);
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    RECT r;
    GetWindowRect(sheet, &r);
    HDC screen = GetDC(nullptr);
    std::set<COLORREF> colours;
    for (LONG y = r.top; y < r.bottom; y += 7)
        for (LONG x = r.left; x < r.right; x += 7)
            colours.insert(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return save_screenshot(sheet, dir + name + L".bmp") && colours.size() >= 4;
}

// The first visible top-level window of this process that holds control id.
inline HWND find_dialog_with(int id) {
    struct Find {
        int id;
        HWND found;
    } find = {id, nullptr};
    EnumWindows(
        [](HWND wnd, LPARAM lParam) -> BOOL {
            auto *f = reinterpret_cast<Find *>(lParam);
            DWORD pid = 0;
            GetWindowThreadProcessId(wnd, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(wnd) && GetDlgItem(wnd, f->id)) {
                f->found = wnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// Waits up to 10 s for a dialog holding control id.
inline HWND wait_for_dialog(int id) {
    HWND found = nullptr;
    for (int i = 0; i < 200 && !(found = find_dialog_with(id)); ++i)
        Sleep(50);
    return found;
}

// Selects the item with data (or at index, for data -1) as a user would.
inline void choose(HWND page, int id, LONG_PTR data, LONG index = -1) {
    HWND box = GetDlgItem(page, id);
    LONG n = static_cast<LONG>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (LONG i = 0; index < 0 && i < n; ++i)
        if (SendMessageW(box, CB_GETITEMDATA, i, 0) == data)
            index = i;
    SendMessageW(box, CB_SETCURSEL, index, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

} // namespace
