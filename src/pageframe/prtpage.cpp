#include "prtpage.h"

#include "../devmode/layout.h"
#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "../imaging/prtbitmap.h"
#include "../platform/globals.h"
#include "../platform/seam.h"
#include "prtui.h"

namespace {

// The records that carry the UI object to a plain dialog's WM_INITDIALOG
// (dwSize 0 tells it from a sheet page).
PROPSHEETPAGEW modalRecord = {};
PROPSHEETPAGEW modelessRecord = {};

const DLGTEMPLATE *template_of(prtui *ui, const wchar_t *name) {
    return reinterpret_cast<const DLGTEMPLATE *>(ui->locale().GetDialog(name, false, nullptr));
}

} // namespace

LONG_PTR prtpage::InsertPage(prtui *ui, void *hInsert, BYTE mode, const wchar_t *templateName, DLGPROC proc) {
    const DLGTEMPLATE *dialog = template_of(ui, templateName);
    if (!dialog)
        return 0;
    // compstui copies the record; the template stays in the locale's cache.
    PROPSHEETPAGEW page = {};
    page.dwSize = PROPSHEETPAGEW_V2_SIZE;
    page.dwFlags = PSP_DLGINDIRECT | PSP_HASHELP;
    // The driver's own instance: its window classes ("prtbitmap") are registered there.
    page.hInstance = ghInstance;
    page.pResource = dialog;
    page.pfnDlgProc = proc;
    page.lParam = reinterpret_cast<LPARAM>(ui);
    INSERTPSUIPAGE_INFO insert = {};
    insert.cbSize = sizeof insert;
    insert.Type = PSUIPAGEINSERT_PROPSHEETPAGE;
    insert.Mode = mode;
    insert.dwData1 = reinterpret_cast<ULONG_PTR>(&page);
    return ui->sheet().insert(static_cast<HANDLE>(hInsert), &insert);
}

void prtpage::Create(HWND hwnd, prtpage *page) {
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
    SetWindowLongPtrW(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&prtpage::WinProc));
}

INT_PTR CALLBACK prtpage::WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto *page = reinterpret_cast<prtpage *>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!page)
        return 0;
    INT_PTR result = page->DlgProc(hwnd, msg, wParam, lParam);
    if (msg == WM_DESTROY) {
        delete page;
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    }
    return result;
}

INT_PTR prtpage::DialogModal(prtui *ui, HWND parent, const wchar_t *templateName, DLGPROC proc) {
    modalRecord.dwSize = 0;
    modalRecord.lParam = reinterpret_cast<LPARAM>(ui);
    DEVMODEW *dm = ui->devmode();
    LONG size = dm ? static_cast<LONG>(dm->dmSize) + dm->dmDriverExtra : 0;
    MemBlock<unsigned char> backup = MemBlock<unsigned char>::alloc(size > 0 ? size : 1);
    if (!backup)
        return IDCANCEL;
    if (dm)
        mrl::__memcpy(backup.get(), dm, size);
    const DLGTEMPLATE *dialog = template_of(ui, templateName);
    INT_PTR result = dialog ? DialogBoxIndirectParamW(ghInstance, dialog, parent, proc,
                                                      reinterpret_cast<LPARAM>(&modalRecord))
                            : -1;
    if (result == IDCANCEL && dm)
        mrl::__memcpy(dm, backup.get(), size);
    return result;
}

HWND prtpage::DialogModeless(prtui *ui, HWND parent, const wchar_t *templateName, DLGPROC proc) {
    const DLGTEMPLATE *dialog = template_of(ui, templateName);
    if (!dialog)
        return nullptr;
    modelessRecord.dwSize = 0;
    modelessRecord.lParam = reinterpret_cast<LPARAM>(ui);
    return CreateDialogIndirectParamW(ghInstance, dialog, parent, proc, reinterpret_cast<LPARAM>(&modelessRecord));
}

void prtpage::CloseDialog(long result) {
    if (result == IDCANCEL)
        Cancel();
    EndDialog(hwnd, result);
}

bool prtpage::Command(WORD id, WORD notifyCode, LONG) {
    if (notifyCode != 0)
        return true;
    switch (id) {
    case IDOK:
        if (VerifyOkay()) {
            Apply();
            CloseDialog(IDOK);
        }
        return false;
    case IDCANCEL:
        if (VerifyCancel())
            CloseDialog(IDCANCEL);
        return false;
    case IDABORT:
    case IDHELP:
        Help();
        return false;
    default:
        return true;
    }
}

void prtpage::Init() {
    reg.init(ui->printer(), ui->printer_name().wstring());
    hwndWait = nullptr;
    config = nullptr;
    DEVMODEW *dm = ui->devmode();
    _MODEL *model = ui->model();
    if (dm && model) {
        const endconfig *tail = prtconfig::get_tail(dm);
        if (tail && mrl::__memcmp(tail->prefix, model->GetPrefix(), 3) == 0)
            config = prtconfig::get_cfg(dm);
    }
    if (!config)
        WM_EnableAll(false, 0, 0);
}

void prtpage::Help() { ShowHelp(HELP_CONTEXT, static_cast<DWORD>(helpContext)); }

void prtpage::Apply() {
    if (psp)
        ui->Apply();
}

const WCHAR *prtpage::GetString(long id) { return ui->locale().GetString(id); }

WCHAR *prtpage::microns_to_string(LONG microns) { return ui->locale().microns_to_string(microns); }

LONG prtpage::string_to_microns(const WCHAR *text) { return ui->locale().string_to_microns(text); }

void prtpage::xdimension_to_string(LONG dots, LONG dpi, OString &out) { ui->locale().xdimension_to_string(dots, dpi, out); }

void prtpage::dpi_to_string(OString &out, LONG dpi) { ui->locale().dpi_to_string(out, dpi); }

void prtpage::dpi_to_string(OString &out, LONG dpi_x, LONG dpi_y) { ui->locale().dpi_to_string(out, dpi_x, dpi_y); }

LONG prtpage::get_dpi() const {
    _MODEL *model = ui->model();
    return model && model->GetPDT() ? model->GetPDT()->dpi : 0;
}

LONG prtpage::microns_to_dots(LONG microns) const { return prtlocale::microns_to_dots(microns, get_dpi()); }

LONG prtpage::dots_to_microns(LONG dots) const { return prtlocale::dots_to_microns(dots, get_dpi()); }

_MODEL *prtpage::get_model() const { return ui->model(); }

bool prtpage::is_default_dm() const { return (ui->mode_flags() & (0x01 | 0x40)) != 0; }

bool prtpage::ShowHelp(UINT command, DWORD data) {
    return platform::windows().WinHelpW(hwnd, ui->locale().GetHelpFile().wstring(), command, data) != FALSE;
}

void prtpage::SetChanged(DWORD mask, bool on) { ui->set_changed(mask, on); }

bool prtpage::Forward(long id, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(GetItem(id), msg, wParam, lParam) != 0;
}

bool prtpage::WM_QuerySiblings(WPARAM wParam, LPARAM lParam) {
    SendMessageW(psp ? GetParent(hwnd) : hwnd, PSM_QUERYSIBLINGS, wParam, lParam);
    return true;
}

int prtpage::Message(const wchar_t *text, const wchar_t *caption, long flags) {
    return platform::windows().MessageBoxW(hwnd, text, caption, static_cast<UINT>(flags));
}

void prtpage::ShowWaitDialog(bool show) {
    if (show) {
        hwndWait = DialogModeless(L"DLG_WAITINFO", WaitInfoDlg);
    } else if (hwndWait) {
        DestroyWindow(hwndWait);
        hwndWait = nullptr;
    }
}

INT_PTR CALLBACK prtpage::WaitInfoDlg(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG)
        return FALSE;
    auto *record = reinterpret_cast<PROPSHEETPAGEW *>(lParam);
    if (auto *ui = record ? reinterpret_cast<prtui *>(record->lParam) : nullptr)
        prtbitmap::SetBitmap(GetDlgItem(hwnd, 363), ui->locale(), 224, true);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    return TRUE;
}

INT_PTR prtpage::Default(UINT msg, WPARAM, LPARAM, INT_PTR commandResult) {
    // A page leaves the rest to the dialog manager too: answering with
    // DefWindowProcW would take colour messages away from the sheet's themed
    // page background.
    if (psp)
        return FALSE;
    return msg == WM_COMMAND ? commandResult : FALSE;
}

INT_PTR prtpage::DlgProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    hwnd = window;
    switch (msg) {
    case WM_INITDIALOG:
        psp = reinterpret_cast<PROPSHEETPAGEW *>(lParam);
        if (psp) {
            ui = reinterpret_cast<prtui *>(psp->lParam);
            if (psp->dwSize == 0)
                psp = nullptr;
        }
        if (!ui)
            return TRUE;
        Init();
        if (config)
            WM_Refresh(true);
        return TRUE;
    case WM_DESTROY:
        if (ui) {
            ShowHelp(HELP_QUIT, 0);
            Destroy();
        }
        return Default(msg, wParam, lParam, FALSE);
    case WM_NOTIFY: {
        auto *hdr = reinterpret_cast<NMHDR *>(lParam);
        if (!ui || ui->no_permission() || !hdr)
            return Default(msg, wParam, lParam, FALSE);
        switch (hdr->code) {
        case PSN_SETACTIVE:
            hwndSheet = hdr->hwndFrom;
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
            SetActive();
            return TRUE;
        case PSN_KILLACTIVE:
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, VerifyOkay() && KillActive() ? FALSE : TRUE);
            return TRUE;
        case PSN_APPLY:
            if (config && VerifyOkay()) {
                Apply();
                SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, PSNRET_NOERROR);
            } else {
                SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, PSNRET_INVALID_NOCHANGEPAGE);
            }
            return TRUE;
        case PSN_RESET:
            if (config)
                Cancel();
            return FALSE;
        case PSN_HELP:
            Help();
            return FALSE;
        case TCN_SELCHANGE: {
            LONG sel = static_cast<LONG>(SendMessageW(hdr->hwndFrom, TCM_GETCURSEL, 0, 0));
            return Command(static_cast<WORD>(hdr->idFrom), LOWORD(hdr->code), sel) ? TRUE : FALSE;
        }
        default:
            return Default(msg, wParam, lParam, FALSE);
        }
    }
    case WM_HELP: {
        auto *info = reinterpret_cast<HELPINFO *>(lParam);
        if (ui && info)
            ShowHelp(HELP_CONTEXTPOPUP, static_cast<DWORD>(info->iCtrlId) + 0x10000);
        return TRUE;
    }
    case WM_NCHITTEST:
        return FALSE;
    case WM_COMMAND: {
        if (!ui)
            return FALSE;
        bool open = WM_Command(LOWORD(wParam), HIWORD(wParam), static_cast<LONG>(lParam));
        return open ? Default(msg, wParam, lParam, TRUE) : FALSE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (ui)
            ScrollBarMessage(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTEISCHANGING:
    case WM_PALETTECHANGED:
        PaletteChange(msg, wParam, lParam);
        return Default(msg, wParam, lParam, FALSE);
    case PSM_QUERYSIBLINGS:
        if (ui && wParam == kRefreshSiblings) {
            WM_Refresh(lParam != 0);
            return FALSE;
        }
        if (ui && wParam == kRefreshSiblingsFull) {
            WM_Refresh(true);
            return FALSE;
        }
        return Default(msg, wParam, lParam, FALSE);
    default:
        return Default(msg, wParam, lParam, FALSE);
    }
}
