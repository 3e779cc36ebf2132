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
    // A picture of the language modules in picture area id.
    bool BMM_SetBitmap(long id, long bitmapId, bool transparent);

    // Control wrappers: a missing control makes each a no-op with the result
    // given (false, 0 or -1).
    bool WM_Command(WORD id, WORD notifyCode, LONG lParam);
    void WM_Refresh(bool full);
    bool WM_Enable(long id, bool enable);
    void WM_EnableAll(bool enable, long firstId, long lastId);
    bool WM_SetText(long id, const wchar_t *text);
    LONG CB_GetCount(long id);
    bool CB_ResetContent(long id);
    bool CB_SetCurSel(long id, LONG index);
    LONG CB_GetCurSel(long id);
    LONG_PTR CB_GetSelData(long id, LONG index);
    LONG_PTR CB_GetCurSelData(long id);
    bool CB_AddString(long id, const wchar_t *text, LONG_PTR data);
    bool CB_SetCurSelData(long id, LONG_PTR data);

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
