// Base of every property page and dialog: turns a template of the language
// module into a sheet page, owns the window procedure all pages share and
// turns messages and sheet notifications into a few virtual operations.
#pragma once

#include "../devmode/layout.h"
#include "../store/prtreg.h"

#include <commctrl.h>

#include <new>

class prtui;
class _MODEL;
class OString;

class prtpage {
public:
    // Query-siblings codes: every page of the sheet refreshes (7000: fully when
    // lParam is non-zero; 7001: fully).
    enum : WPARAM { kRefreshSiblings = 7000, kRefreshSiblingsFull = 7001 };

    prtpage() = default;
    prtpage(const prtpage &) = delete;
    prtpage &operator=(const prtpage &) = delete;

    // Inserts the template as a sheet page of ui; the page handle, or 0.
    static LONG_PTR InsertPage(prtui *ui, void *hInsert, BYTE mode, const wchar_t *templateName, DLGPROC proc);
    // Stores the page in the window and hands the window to WinProc.
    static void Create(HWND hwnd, prtpage *page);
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Runs the template as a modal dialog; IDCANCEL puts the device mode back
    // as it was. 2 without showing anything when no backup can be made.
    static INT_PTR DialogModal(prtui *ui, HWND parent, const wchar_t *templateName, DLGPROC proc);
    INT_PTR DialogModal(const wchar_t *templateName, DLGPROC proc) { return DialogModal(ui, hwnd, templateName, proc); }
    static HWND DialogModeless(prtui *ui, HWND parent, const wchar_t *templateName, DLGPROC proc);
    HWND DialogModeless(const wchar_t *templateName, DLGPROC proc) { return DialogModeless(ui, hwnd, templateName, proc); }
    void CloseDialog(long result);
    // The logging dialog, modal (defined with it, among the pages).
    INT_PTR ShowLogOptions();

    virtual void Refresh(bool full) {}
    // True when the command was not consumed.
    virtual bool Command(WORD id, WORD notifyCode, LONG lParam);
    virtual void Init();
    virtual void Help();
    virtual void Apply();
    virtual void Cancel() {}
    virtual void Destroy() {}
    virtual bool CheckChanged() { return false; }
    virtual ~prtpage() = default;
    virtual bool VerifyOkay() { return true; }
    virtual bool VerifyCancel() { return true; }
    virtual bool SetActive() { return true; }
    virtual bool KillActive() { return true; }
    virtual bool PaletteChange(UINT msg, WPARAM wParam, LPARAM lParam) { return false; }

    HWND GetItem(long id) const { return GetDlgItem(hwnd, id); }
    const WCHAR *GetString(long id);
    prtconfig *get_config() const { return config; }
    _MODEL *get_model() const;
    bool is_default_dm() const;
    void SetHelp(long context, bool) { helpContext = context; }
    bool ShowHelp(UINT command, DWORD data);
    void SetChanged(DWORD mask, bool on);
    bool Forward(long id, UINT msg, WPARAM wParam, LPARAM lParam);
    bool WM_QuerySiblings(WPARAM wParam, LPARAM lParam);
    int Message(const wchar_t *text, const wchar_t *caption, long flags);
    // Picture-area controls of the page.
    bool BMM_SetBitmap(long id, long bitmapId, bool transparent);
    bool BMM_SetBitmapHandle(long id, HBITMAP bitmap);
    bool BMM_SetColor(long id, COLORREF color);
    // The wait window over the page while the driver talks to the printer:
    // painted before the call returns, since the caller then blocks.
    void ShowWaitDialog(bool show);
    static INT_PTR CALLBACK WaitInfoDlg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // Lengths in the model's resolution and the locale's measurement system.
    WCHAR *microns_to_string(LONG microns);
    LONG string_to_microns(const WCHAR *text);
    void xdimension_to_string(LONG dots, LONG dpi, OString &out);
    void dpi_to_string(OString &out, LONG dpi);
    void dpi_to_string(OString &out, LONG dpi_x, LONG dpi_y);
    LONG get_dpi() const;
    LONG microns_to_dots(LONG microns) const;
    LONG dots_to_microns(LONG dots) const;

    // Control wrappers: a missing control makes each a no-op with the result
    // given (false, 0 or -1).
    bool WM_Command(WORD id, WORD notifyCode, LONG lParam);
    void WM_Refresh(bool full);
    bool WM_Show(long id, bool show);
    bool WM_Enable(long id, bool enable);
    void WM_EnableAll(bool enable, long firstId, long lastId);
    bool WM_SetFocus(long id);
    bool WM_SetText(long id, const wchar_t *text);
    // Characters copied; size 0 means the whole text.
    LONG WM_GetText(long id, wchar_t *buffer, LONG size);
    // Length + 1, or 0 without the control.
    LONG WM_GetText(long id, OString &text);
    // True when it made the spin control, false when it updated one.
    bool WM_AddUpDownControl(long buddyId, long upDownId, LONG lower, LONG upper, LONG pos, DWORD style);

    bool EM_SetText(long id, const wchar_t *text);
    bool EM_LimitText(long id, LONG limit);
    LONG EM_GetInt(long id);
    // Writes the number; the spin control id | 0x4000 follows when there is one.
    bool EM_SetInt(long id, LONG value);
    bool EM_AddUpDownInt(long id, LONG lower, LONG upper);
    LONG EM_GetMicrons(long id);
    bool EM_SetMicrons(long id, LONG microns);
    LONG EM_GetDots(long id);
    bool EM_SetDots(long id, LONG dots);

    bool BM_SetCheck(long id, LONG state);
    bool BM_GetCheck(long id);

    LONG CB_GetCount(long id);
    bool CB_ResetContent(long id);
    bool CB_SetCurSel(long id, LONG index);
    LONG CB_GetCurSel(long id);
    LONG_PTR CB_GetSelData(long id, LONG index);
    LONG_PTR CB_GetCurSelData(long id);
    bool CB_AddString(long id, const wchar_t *text, LONG_PTR data);
    bool CB_SetCurSelData(long id, LONG_PTR data);
    LONG CB_FindString(long id, const wchar_t *text);

    bool LB_ResetContent(long id);
    LONG_PTR LB_GetSelData(long id, LONG index);
    LONG_PTR LB_GetCurSelData(long id);
    bool LB_AddString(long id, const wchar_t *text, LONG_PTR data);
    bool LB_InsertString(long id, const wchar_t *text, LONG index, LONG_PTR data);
    // Inserts before the first item that sorts after text (ordinal compare).
    bool LB_SortString(long id, const wchar_t *text, LONG_PTR data);
    bool LB_SetCurSel(long id, LONG index);
    LONG LB_GetCurSel(long id);
    LONG LB_GetCount(long id);
    bool LB_SetCurSelData(long id, LONG_PTR data);
    bool LB_SetTabStops(long id, LONG count, int *stops);
    LONG LB_GetText(long id, LONG index, OString &text);
    LONG LB_GetTopIndex(long id);
    LONG LB_SetTopIndex(long id, LONG index);

    // Scroll bars hold page values divided by a divisor and may show the
    // undivided value in a linked text box.
    bool SBM_LinkText(long scrollId, long textId);
    bool SBM_SetRange(long scrollId, LONG min, LONG max, LONG divisor);
    bool SBM_SetPos(long scrollId, LONG value);
    // A scroll reaches the page as a command: the scroll code as notification,
    // the new value (times the divisor) as lParam.
    void ScrollBarMessage(HWND scrollBar, WORD code, WORD thumbPos);


protected:
    INT_PTR DlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // What a message not handled here answers.
    INT_PTR Default(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR commandResult);

    prtui *ui = nullptr;
    HWND hwnd = nullptr;
    HWND hwndWait = nullptr;
    HWND hwndSheet = nullptr;
    prtreg reg;
    PROPSHEETPAGEW *psp = nullptr;
    prtconfig *config = nullptr;
    long helpContext = 0;
};

// Each page class's DLGPROC: makes the page object on WM_INITDIALOG, then
// hands every message to the shared procedure.
template <class Page> INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG)
        prtpage::Create(hwnd, new (std::nothrow) Page);
    return prtpage::WinProc(hwnd, msg, wParam, lParam);
}
