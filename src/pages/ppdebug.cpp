#include "ppdebug.h"

#include "../pageframe/filedlg.h"
#include "../pageframe/prtui.h"
#include "ppcfg.h"
#include "resource_ids.h"

void pp_debug::Init() {
    prtpage::Init();
    SetHelp(1430, false);
}

void pp_debug::Refresh(bool full) {
    if (full)
        WM_Enable(IDC_DBG_LOGGING, true);
}

bool pp_debug::Command(WORD id, WORD notifyCode, LONG lParam) {
    extstream *st = ui ? ui->stream() : nullptr;
    if (notifyCode != BN_CLICKED || !st)
        return prtpage::Command(id, notifyCode, lParam);
    switch (id) {
    case IDC_DBG_LINE_FEED:
        LineFeed(*st);
        return true;
    case IDC_DBG_FORM_FEED:
        FormFeed(*st);
        return true;
    case IDC_DBG_TEST_PAGE:
        PrtTest(ui, 1);
        return false;
    case IDC_DBG_SEND_FILE: {
        filedlg dlg(filedlg::kPrintFile, &reg, &ui->locale());
        if (dlg.GetOpenFileNameW(hwnd)) {
            OString path, name;
            dlg.GetFullFileName(path);
            dlg.GetFileName(name);
            st->StartJob(name.wstring());
            st->write_file(path.wstring());
            st->EndJob();
        }
        return false;
    }
    case IDC_DBG_LOGGING:
        ShowLogOptions();
        return false;
    case IDC_DBG_CONFIGURE:
        // The stream tells the user itself when the port is not serial.
        if (st->is_serial(true))
            DialogModal(L"DLG_CONFIGURE", pp_cfg::WinProc);
        return false;
    default:
        return prtpage::Command(id, notifyCode, lParam);
    }
}
