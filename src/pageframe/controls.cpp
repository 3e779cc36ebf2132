// The control wrappers of prtpage: one message each to a control found by ID.
#include "prtpage.h"
#include "prtui.h"

bool prtpage::WM_Command(WORD id, WORD notifyCode, LONG lParam) {
    bool open = prtpage::Command(id, notifyCode, lParam);
    if (open)
        open = Command(id, notifyCode, lParam);
    if (!open)
        WM_Refresh(false);
    CheckChanged();
    return open;
}

void prtpage::WM_Refresh(bool full) {
    Refresh(full);
    if (ui && ui->no_permission())
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            EnableWindow(child, FALSE);
}

bool prtpage::WM_Enable(long id, bool enable) {
    HWND item = GetItem(id);
    return item && (EnableWindow(item, enable), true);
}

void prtpage::WM_EnableAll(bool enable, long firstId, long lastId) {
    HWND child = firstId ? GetItem(firstId) : GetWindow(hwnd, GW_CHILD);
    for (; child; child = GetWindow(child, GW_HWNDNEXT)) {
        EnableWindow(child, enable);
        if (lastId && GetDlgCtrlID(child) == lastId)
            break;
    }
}

bool prtpage::WM_SetText(long id, const wchar_t *text) {
    HWND item = GetItem(id);
    return item && (SetWindowTextW(item, text), true);
}

LONG prtpage::CB_GetCount(long id) {
    HWND item = GetItem(id);
    return item ? static_cast<LONG>(SendMessageW(item, CB_GETCOUNT, 0, 0)) : 0;
}

bool prtpage::CB_ResetContent(long id) {
    HWND item = GetItem(id);
    return item && (SendMessageW(item, CB_RESETCONTENT, 0, 0), true);
}

bool prtpage::CB_SetCurSel(long id, LONG index) {
    HWND item = GetItem(id);
    return item && (SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(index), 0), true);
}

LONG prtpage::CB_GetCurSel(long id) {
    HWND item = GetItem(id);
    return item ? static_cast<LONG>(SendMessageW(item, CB_GETCURSEL, 0, 0)) : CB_ERR;
}

LONG_PTR prtpage::CB_GetSelData(long id, LONG index) {
    HWND item = GetItem(id);
    return item ? SendMessageW(item, CB_GETITEMDATA, static_cast<WPARAM>(index), 0) : 0;
}

LONG_PTR prtpage::CB_GetCurSelData(long id) {
    LONG sel = CB_GetCurSel(id);
    return sel == CB_ERR ? 0 : CB_GetSelData(id, sel);
}

bool prtpage::CB_AddString(long id, const wchar_t *text, LONG_PTR data) {
    HWND item = GetItem(id);
    if (!item || !text)
        return false;
    LRESULT index = SendMessageW(item, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(item, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return true;
}

bool prtpage::CB_SetCurSelData(long id, LONG_PTR data) {
    LONG n = CB_GetCount(id);
    for (LONG i = 0; i < n; ++i)
        if (CB_GetSelData(id, i) == data)
            return CB_SetCurSel(id, i);
    return false;
}
