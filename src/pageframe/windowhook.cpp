#include "windowhook.h"

#include "../foundation/memory.h"
#include "../platform/globals.h"
#include "prtui.h"

#include <commctrl.h>
#include <prsht.h>

namespace {

struct HookInfo {
    HHOOK hook;
    prtui *ui;
} g_hookInfo = {nullptr, nullptr};

// Attached to the subclassed page in its DWLP_USER slot.
struct Subclass {
    prtui *ui;
    DLGPROC previous;
    LONG_PTR previous_user;
};

bool has_controls(HWND dlg, int a, int b) { return dlg && GetDlgItem(dlg, a) && GetDlgItem(dlg, b); }

void take_over(HWND page) {
    auto *rec = static_cast<Subclass *>(MEMALLOC(sizeof(Subclass)));
    if (!rec)
        return;
    rec->ui = g_hookInfo.ui;
    rec->previous = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(page, DWLP_DLGPROC));
    rec->previous_user = GetWindowLongPtrW(page, DWLP_USER);
    SetWindowLongPtrW(page, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(GeneralDlgProc));
    SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(rec));
    if (rec->ui && rec->ui->start_on_last_page()) {
        HWND sheet = GetParent(page);
        HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
        LRESULT count = tabs ? SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0) : 0;
        if (count > 0)
            PostMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
    }
}

} // namespace

bool WindowHook_Install(prtui *ui) {
    if (!g_hookInfo.hook) {
        g_hookInfo.hook = SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, ghInstance, 0);
        if (g_hookInfo.hook)
            g_hookInfo.ui = ui;
    }
    return g_hookInfo.hook != nullptr;
}

bool WindowHook_Remove() {
    if (!g_hookInfo.hook)
        return false;
    UnhookWindowsHookEx(g_hookInfo.hook);
    g_hookInfo.hook = nullptr;
    return true;
}

void WindowHook_Release(prtui *ui) {
    if (g_hookInfo.ui == ui)
        WindowHook_Remove();
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = g_hookInfo.hook;
    if (code >= 0 && lParam) {
        const auto *m = reinterpret_cast<const CWPSTRUCT *>(lParam);
        HWND parent = GetParent(m->hwnd);
        int id = GetDlgCtrlID(m->hwnd);
        if (m->message == WM_SETTEXT && id == kGeneralName && has_controls(parent, kGeneralName, kGeneralTestPage)) {
            WindowHook_Remove();
            take_over(parent);
        } else if (m->message == BM_SETCHECK && (id == kSecondPageA || id == kSecondPageB) &&
                   has_controls(parent, kSecondPageA, kSecondPageB)) {
            WindowHook_Remove(); // the General page was not met first
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

INT_PTR CALLBACK GeneralDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto *rec = reinterpret_cast<Subclass *>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!rec)
        return FALSE;
    if (msg == WM_COMMAND && LOWORD(wParam) == kGeneralTestPage && HIWORD(wParam) == BN_CLICKED) {
        PrtTest(rec->ui, 1);
        return 0;
    }
    // The page's own procedure runs with its own slots, as if never subclassed.
    SetWindowLongPtrW(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(rec->previous));
    SetWindowLongPtrW(hwnd, DWLP_USER, rec->previous_user);
    INT_PTR result = CallWindowProcW(reinterpret_cast<WNDPROC>(rec->previous), hwnd, msg, wParam, lParam);
    if (msg == WM_CLOSE) {
        MEMFREE(rec);
    } else {
        SetWindowLongPtrW(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(GeneralDlgProc));
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(rec));
    }
    return result;
}
