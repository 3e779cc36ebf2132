// What the sheet tests do as a user would: find a sheet or dialog on the
// screen, shoot it, choose in its lists.
#pragma once

#include "sheet_driver.h"

#include <commctrl.h>

#include <string>

namespace {

using sheet::choose;
using sheet::shoot;

struct FindWith {
    int id;
    HWND found;
};

inline BOOL CALLBACK find_with(HWND wnd, LPARAM lParam) {
    auto *f = reinterpret_cast<FindWith *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(wnd) && GetDlgItem(wnd, f->id)) {
        f->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// The first visible top-level window of this process that holds control id.
inline HWND find_dialog_with(int id) {
    FindWith find = {id, nullptr};
    EnumWindows(find_with, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// Waits up to 10 s for a dialog holding control id.
inline HWND wait_for_dialog(int id) {
    HWND found = nullptr;
    for (int i = 0; i < 200 && !(found = find_dialog_with(id)); ++i)
        Sleep(50);
    return found;
}

} // namespace
