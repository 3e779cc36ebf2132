// Opening property sheets and watching them from a second thread, for the
// sheet benchmark and the demo's screenshots: the sheet runs on the calling
// thread (it is modal), a helper thread waits until it has painted, does its
// work and presses a button.
#pragma once

#include "platform/ddiui.h"
#include "screenshot.h"

#include <commctrl.h>

#include <functional>
#include <thread>

namespace sheets {

// The visible property sheet of this process, or null.
inline HWND find_sheet() {
    WindowProbe probe = {GetCurrentProcessId(), nullptr, nullptr};
    EnumWindows(probe_window, reinterpret_cast<LPARAM>(&probe));
    return probe.found;
}

inline BOOL CALLBACK any_unpainted(HWND child, LPARAM lParam) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool *>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

// The sheet answers (so its thread waits for messages, and paints come last)
// and neither it nor any visible window in it has anything left to paint.
inline HWND painted_page(HWND sheet) {
    DWORD_PTR page = 0;
    if (!SendMessageTimeoutW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_NORMAL, 1000, &page) || !page ||
        !IsWindowVisible(reinterpret_cast<HWND>(page)) || GetUpdateRect(sheet, nullptr, FALSE))
        return nullptr;
    bool unpainted = false;
    EnumChildWindows(sheet, any_unpainted, reinterpret_cast<LPARAM>(&unpainted));
    return unpainted ? nullptr : reinterpret_cast<HWND>(page);
}

// Runs open() on this thread; once its sheet has painted, act(sheet, page)
// runs on a helper thread, then the button is pressed. False when no sheet
// painted within about 20 s.
inline bool drive(const std::function<void()> &open, const std::function<void(HWND, HWND)> &act,
                  int button = PSBTN_CANCEL) {
    bool seen = false;
    std::thread helper([&] {
        for (int i = 0; i < 20000 && !seen; ++i) {
            HWND sheet = find_sheet();
            HWND page = sheet ? painted_page(sheet) : nullptr;
            if (page) {
                seen = true;
                act(sheet, page);
                // Posted: Wine's sheet ends inside the press, and a sent press never returns.
                PostMessageW(sheet, PSM_PRESSBUTTON, button, 0);
            } else {
                Sleep(1);
            }
        }
    });
    open();
    helper.join();
    return seen;
}

// The driver's document sheet through compstui, as DocumentPropertiesW opens it.
inline void open_document_sheet(LONG(CALLBACK *document)(PPROPSHEETUI_INFO, LPARAM), HANDLE printer, wchar_t *name, DEVMODEW *in,
                                DEVMODEW *out) {
    DOCUMENTPROPERTYHEADER header = {sizeof header, 0, printer, name, in, out, 0,
                                     DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER};
    DWORD result = 0;
    CommonPropertySheetUIW(nullptr, as_propsheetui(document), reinterpret_cast<LPARAM>(&header), &result);
}

} // namespace sheets
