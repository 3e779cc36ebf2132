// What the sheet tests do as a user would: find a sheet or dialog on the
// screen, shoot it, choose in its lists.
#pragma once

#include "screenshot.h"

#include <commctrl.h>

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
