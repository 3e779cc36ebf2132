// Driving the driver's sheets and dialogs as a user does, from a helper
// thread while the test's own thread runs the sheet: windows are found by
// caption or by their tabs, controls by ID. Whatever opens a modal loop
// (a button that opens a dialog, OK of a dialog) is posted, never sent.
#pragma once

#include "module_path.h"
#include "screenshot.h"

#include <commctrl.h>

#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace sheet {

using ::wait_window;

// Waits until the window is gone (a dialog closed), up to 10 s, and a little
// longer for its owner to act on the answer.
inline bool wait_closed(HWND wnd) {
    for (int i = 0; i < 200 && IsWindow(wnd); ++i)
        Sleep(50);
    Sleep(150);
    return !IsWindow(wnd);
}

// Makes the sheet's page that holds control `id` current; its window or null.
inline HWND show_page(HWND sheet, int id) {
    for (int i = 0; i < 8; ++i) {
        SendMessageW(sheet, PSM_SETCURSEL, i, 0);
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        if (page && GetDlgItem(page, id))
            return page;
    }
    return nullptr;
}

inline std::wstring text_of(HWND wnd) {
    wchar_t text[512] = {};
    GetWindowTextW(wnd, text, 512);
    return text;
}
inline std::wstring text_of(HWND dlg, int id) { return text_of(GetDlgItem(dlg, id)); }

// Types into an edit box (the box tells its dialog as it would for a user),
// then lets it lose the focus.
inline void type(HWND dlg, int id, const wchar_t *text, bool leave = true) {
    HWND box = GetDlgItem(dlg, id);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    if (leave)
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS), reinterpret_cast<LPARAM>(box));
}

inline void click(HWND dlg, int id) { SendMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }
// A button that opens a modal dialog or ends one.
inline void press(HWND dlg, int id) {
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
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

// The text of a message box that is up, after pressing `button` in it; empty
// when none came.
inline std::wstring answer_message(const wchar_t *caption, int button) {
    HWND box = wait_window(caption);
    if (!box)
        return L"";
    std::wstring text;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        if (std::wstring(cls) == L"Static")
            text += text_of(c);
    }
    PostMessageW(box, WM_COMMAND, button, 0);
    wait_closed(box);
    return text;
}

// Saves a window as it is on the screen into BUILD/screenshots/NAME.bmp (a
// null name saves nothing); true when it was saved and shows more than a blank
// area (a window without a display paints nothing).
inline bool shoot(HWND wnd, const wchar_t *name) {
    std::wstring dir = built_module_path(L"..\\screenshots\\");
    CreateDirectoryW(dir.c_str(), nullptr);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    RECT r;
    GetWindowRect(wnd, &r);
    HDC screen = GetDC(nullptr);
    std::set<COLORREF> colours;
    for (LONG y = r.top; y < r.bottom; y += 7)
        for (LONG x = r.left; x < r.right; x += 7)
            colours.insert(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return (!name || save_screenshot(wnd, dir + name + L".bmp")) && colours.size() >= 4;
}

// Runs act(sheet) on a helper thread once the sheet is up, then presses the
// sheet's button; done() tells whether the sheet was found.
class Script {
public:
    Script(std::function<void(HWND sheet)> act, int button, DWORD process = GetCurrentProcessId()) {
        thread_ = std::thread([this, act, button, process] {
            HWND sheet = wait_window(nullptr, process);
            if (!sheet)
                return;
            found_ = true;
            act(sheet);
            // Posted: Wine's sheet ends inside the press, and a sent press never returns.
            PostMessageW(sheet, PSM_PRESSBUTTON, button, 0);
        });
    }
    ~Script() { done(); }
    bool done() {
        if (thread_.joinable())
            thread_.join();
        return found_;
    }

private:
    bool found_ = false;
    std::thread thread_;
};

// An application's settings for a printer and the prompt that edits them.
struct Document {
    Document(HANDLE p, LPWSTR n) : printer(p), name(n) {}
    HANDLE printer;
    LPWSTR name;
    std::vector<BYTE> in;

    // in := the printer's current settings (its driver's size); false when none come.
    bool fetch() {
        LONG size = DocumentPropertiesW(nullptr, printer, name, nullptr, nullptr, 0);
        if (size <= 0)
            return false;
        in.assign(size, 0);
        return DocumentPropertiesW(nullptr, printer, name, dm(in), nullptr, DM_OUT_BUFFER) == IDOK;
    }
    // The prompt with in; the output buffer starts as 0xEE bytes. DM_UPDATE in
    // extra makes it the printer's default settings.
    std::vector<BYTE> prompt(DWORD extra = 0) {
        std::vector<BYTE> out(in.size(), 0xEE);
        DocumentPropertiesW(nullptr, printer, name, dm(out), dm(in), DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER | extra);
        return out;
    }
    static DEVMODEW *dm(std::vector<BYTE> &b) { return reinterpret_cast<DEVMODEW *>(b.data()); }
};

} // namespace sheet
