// The control wrappers of prtpage: one message each to a control found by ID.
#include "prtpage.h"

#include "../foundation/ostring.h"
#include "../foundation/util.h"
#include "../platform/globals.h"
#include "prtui.h"

#include <cwchar>

namespace {

// Window properties of a scroll bar: its divisor and the linked text box.
const wchar_t scroll_div_prop_str[] = L"HWNDSBDIV";
const wchar_t scroll_num_prop_str[] = L"HWNDSBNUM";

LONG divisor_of(HWND scroll) {
    auto divisor = static_cast<LONG>(reinterpret_cast<LONG_PTR>(GetPropW(scroll, scroll_div_prop_str)));
    return divisor > 0 ? divisor : 1;
}

// One message to the control, or `none` when the page has no such control.
LRESULT send(HWND item, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT none) {
    return item ? SendMessageW(item, msg, wParam, lParam) : none;
}

} // namespace

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

bool prtpage::WM_Show(long id, bool show) {
    HWND item = GetItem(id);
    return item && (ShowWindow(item, show ? SW_SHOWNORMAL : SW_HIDE), true);
}

bool prtpage::WM_SetFocus(long id) {
    HWND item = GetItem(id);
    return item && (SetFocus(item), true);
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

LONG prtpage::CB_FindString(long id, const wchar_t *text) {
    return static_cast<LONG>(send(GetItem(id), CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text), CB_ERR));
}

LONG prtpage::WM_GetText(long id, wchar_t *buffer, LONG size) {
    HWND item = GetItem(id);
    if (!item)
        return 0;
    if (size == 0)
        size = GetWindowTextLengthW(item) + 1;
    return GetWindowTextW(item, buffer, size);
}

LONG prtpage::WM_GetText(long id, OString &text) {
    HWND item = GetItem(id);
    if (!item)
        return 0;
    LONG size = GetWindowTextLengthW(item) + 1;
    WCHAR *buffer = text.wbuffer(size);
    if (!buffer)
        return 0;
    GetWindowTextW(item, buffer, size);
    text.commit_w();
    return size;
}

bool prtpage::WM_AddUpDownControl(long buddyId, long upDownId, LONG lower, LONG upper, LONG pos, DWORD style) {
    if (HWND spin = GetItem(upDownId)) {
        SendMessageW(spin, UDM_SETPOS, 0, MAKELPARAM(LOWORD(pos), 0));
        SendMessageW(spin, UDM_SETRANGE, 0, MAKELPARAM(upper, lower));
        return false;
    }
    CreateUpDownControl(style | WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 10, 10, hwnd, upDownId, ghInstance,
                        GetItem(buddyId), upper, lower, pos);
    return true;
}

bool prtpage::EM_SetText(long id, const wchar_t *text) { return text && WM_SetText(id, text); }

bool prtpage::EM_LimitText(long id, LONG limit) {
    HWND item = GetItem(id);
    return item && (SendMessageW(item, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0), true);
}

LONG prtpage::EM_GetInt(long id) {
    return GetItem(id) ? static_cast<LONG>(GetDlgItemInt(hwnd, id, nullptr, TRUE)) : 0;
}

bool prtpage::EM_SetInt(long id, LONG value) {
    if (HWND spin = GetItem(id | 0x4000))
        SendMessageW(spin, UDM_SETPOS, 0, MAKELPARAM(LOWORD(value), 0));
    return GetItem(id) && SetDlgItemInt(hwnd, id, static_cast<UINT>(value), TRUE);
}

bool prtpage::EM_AddUpDownInt(long id, LONG lower, LONG upper) {
    return WM_AddUpDownControl(id, id | 0x4000, lower, upper, EM_GetInt(id),
                               UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS);
}

LONG prtpage::EM_GetMicrons(long id) {
    WCHAR text[20] = {};
    if (HWND item = GetItem(id))
        GetWindowTextW(item, text, 20);
    return string_to_microns(text);
}

bool prtpage::EM_SetMicrons(long id, LONG microns) { return EM_SetText(id, microns_to_string(microns)); }

LONG prtpage::EM_GetDots(long id) { return microns_to_dots(EM_GetMicrons(id)); }

bool prtpage::EM_SetDots(long id, LONG dots) { return EM_SetMicrons(id, dots_to_microns(dots)); }

bool prtpage::BM_SetCheck(long id, LONG state) {
    HWND item = GetItem(id);
    return item && (SendMessageW(item, BM_SETCHECK, static_cast<WPARAM>(state), 0), true);
}

bool prtpage::BM_GetCheck(long id) { return send(GetItem(id), BM_GETCHECK, 0, 0, 0) != 0; }

bool prtpage::LB_ResetContent(long id) {
    HWND item = GetItem(id);
    return item && (SendMessageW(item, LB_RESETCONTENT, 0, 0), true);
}

LONG_PTR prtpage::LB_GetSelData(long id, LONG index) {
    return send(GetItem(id), LB_GETITEMDATA, static_cast<WPARAM>(index), 0, 0);
}

LONG_PTR prtpage::LB_GetCurSelData(long id) {
    LONG sel = LB_GetCurSel(id);
    return sel == LB_ERR ? 0 : LB_GetSelData(id, sel);
}

bool prtpage::LB_AddString(long id, const wchar_t *text, LONG_PTR data) {
    HWND item = GetItem(id);
    if (!item || !text)
        return false;
    LRESULT index = SendMessageW(item, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(item, LB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return true;
}

bool prtpage::LB_InsertString(long id, const wchar_t *text, LONG index, LONG_PTR data) {
    HWND item = GetItem(id);
    if (!item || !text)
        return false;
    LRESULT at = SendMessageW(item, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    SendMessageW(item, LB_SETITEMDATA, static_cast<WPARAM>(at), data);
    return true;
}

bool prtpage::LB_SortString(long id, const wchar_t *text, LONG_PTR data) {
    if (!GetItem(id) || !text)
        return false;
    LONG count = LB_GetCount(id);
    OString item;
    for (LONG i = 0; i < count; ++i) {
        LB_GetText(id, i, item);
        if (std::wcscmp(item.wstring(), text) > 0)
            return LB_InsertString(id, text, i, data);
    }
    return LB_AddString(id, text, data);
}

bool prtpage::LB_SetCurSel(long id, LONG index) {
    HWND item = GetItem(id);
    return item && (SendMessageW(item, LB_SETCURSEL, static_cast<WPARAM>(index), 0), true);
}

LONG prtpage::LB_GetCurSel(long id) { return static_cast<LONG>(send(GetItem(id), LB_GETCURSEL, 0, 0, LB_ERR)); }

LONG prtpage::LB_GetCount(long id) { return static_cast<LONG>(send(GetItem(id), LB_GETCOUNT, 0, 0, 0)); }

bool prtpage::LB_SetCurSelData(long id, LONG_PTR data) {
    LONG n = LB_GetCount(id);
    for (LONG i = 0; i < n; ++i)
        if (LB_GetSelData(id, i) == data)
            return LB_SetCurSel(id, i);
    return false;
}

bool prtpage::LB_SetTabStops(long id, LONG count, int *stops) {
    return send(GetItem(id), LB_SETTABSTOPS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(stops), 0) != 0;
}

LONG prtpage::LB_GetText(long id, LONG index, OString &text) {
    HWND item = GetItem(id);
    if (!item)
        return 0;
    LRESULT length = SendMessageW(item, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return 0;
    WCHAR *buffer = text.wbuffer(static_cast<LONG>(length) + 1);
    if (!buffer)
        return 0;
    SendMessageW(item, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    text.commit_w();
    return static_cast<LONG>(length) + 1;
}

LONG prtpage::LB_GetTopIndex(long id) { return static_cast<LONG>(send(GetItem(id), LB_GETTOPINDEX, 0, 0, 0)); }

LONG prtpage::LB_SetTopIndex(long id, LONG index) {
    return static_cast<LONG>(send(GetItem(id), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0, 0));
}

bool prtpage::SBM_LinkText(long scrollId, long textId) {
    HWND scroll = GetItem(scrollId);
    HWND text = GetItem(textId);
    return scroll && text && SetPropW(scroll, scroll_num_prop_str, text);
}

bool prtpage::SBM_SetRange(long scrollId, LONG min, LONG max, LONG divisor) {
    HWND scroll = GetItem(scrollId);
    if (!scroll)
        return false;
    SetPropW(scroll, scroll_div_prop_str, reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(divisor)));
    if (divisor < 1)
        divisor = 1;
    return SetScrollRange(scroll, SB_CTL, min / divisor, max / divisor, TRUE) != FALSE;
}

bool prtpage::SBM_SetPos(long scrollId, LONG value) {
    HWND scroll = GetItem(scrollId);
    if (!scroll)
        return false;
    SetScrollPos(scroll, SB_CTL, value / divisor_of(scroll), TRUE);
    if (auto text = static_cast<HWND>(GetPropW(scroll, scroll_num_prop_str))) {
        wchar_t number[16];
        wsprintfW(number, L"%ld", value);
        SetWindowTextW(text, number);
    }
    return true;
}

void prtpage::ScrollBarMessage(HWND scrollBar, WORD code, WORD thumbPos) {
    if (!scrollBar)
        return;
    int min = 0, max = 0;
    GetScrollRange(scrollBar, SB_CTL, &min, &max);
    int pos = GetScrollPos(scrollBar, SB_CTL);
    int step = (max - min) / 10;
    if (step < 1)
        step = 1;
    int next = pos;
    switch (code) {
    case SB_LINEUP: next = pos - 1; break;
    case SB_LINEDOWN: next = pos + 1; break;
    case SB_PAGEUP: next = pos - step; break;
    case SB_PAGEDOWN: next = pos + step; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: next = static_cast<SHORT>(thumbPos); break;
    default: break;
    }
    if (next < min)
        next = min;
    if (next > max)
        next = max;
    if (next == pos)
        return;
    auto id = static_cast<WORD>(GetDlgCtrlID(scrollBar));
    LONG value = next * divisor_of(scrollBar);
    SBM_SetPos(id, value);
    WM_Command(id, code, value);
}
