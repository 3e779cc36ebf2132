#include "ppabout.h"

#include "resource_ids.h"
#include "../foundation/memory.h"
#include "../pageframe/filedlg.h"
#include "../pageframe/prtui.h"

#include <cstring>

namespace {

constexpr long kHelpContext = 101;

} // namespace

LONG_PTR ppAbout::InsertPage(prtui *ui, void *parent, BYTE flags) {
    return prtpage::InsertPage(ui, parent, flags, L"PAGE_ABOUT", WinProc);
}

void ppAbout::Init() {
    prtpage::Init();
    SetHelp(kHelpContext, false);
    ui->GetCopyRight(copyright);
    if (get_model() && std::strcmp(get_model()->GetOEM(), "omr") == 0)
        WM_SetText(IDC_ABOUT_COPYRIGHT, copyright.wstring());
}

void ppAbout::Refresh(bool full) {
    if (pictures && !full)
        return;
    pictures = true;
    BMM_SetBitmap(IDC_ABOUT_LOGO, IDB_LOGO, true);
    BMM_SetBitmap(IDC_ABOUT_BANNER, IDB_BANNER, true);
}

bool ppAbout::Command(WORD id, WORD notifyCode, LONG) {
    if (notifyCode != BN_CLICKED)
        return true;
    if (id == IDC_ABOUT_LICENSE)
        DialogModal(L"DLG_LICENSE", ppLicense::WinProc);
    else if (id == IDC_ABOUT_VERSION)
        DialogModal(L"DLG_VERSION", ppVersion::WinProc);
    else
        return true;
    return false;
}

bool ppAbout::PaletteChange(UINT msg, WPARAM wParam, LPARAM lParam) {
    Forward(IDC_ABOUT_LOGO, msg, wParam, lParam);
    return false;
}

void ppLicense::Refresh(bool first) {
    if (loaded)
        return;
    loaded = true;
    HANDLE file = CreateFileW(ui->locale().GetLicenseFile().wstring(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    OString text;
    char piece[512];
    DWORD got = 0;
    while (ReadFile(file, piece, 511, &got, nullptr) && got > 0) {
        piece[got] = 0;
        text += piece;
    }
    CloseHandle(file);
    guarding = false;
    WM_SetText(IDC_LICENSE_TEXT, text.wstring());
    guarding = true;
}

bool ppLicense::Command(WORD id, WORD notifyCode, LONG) {
    if (id != IDC_LICENSE_TEXT)
        return true;
    HWND edit = GetItem(id);
    switch (notifyCode) {
    case EN_SETFOCUS:
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        // The dialog's first focus leaves the caret at the end of the text:
        // the reader starts at the top.
        if (!shownTop) {
            shownTop = true;
            PostMessageW(edit, EM_SETSEL, 0, 0);
            PostMessageW(edit, EM_SCROLLCARET, 0, 0);
        }
        break;
    case EN_UPDATE:
        // Typing is taken back before it shows.
        if (guarding) {
            guarding = false;
            frozen = true;
            SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
            SendMessageW(edit, EM_UNDO, 0, 0);
            SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
            guarding = true;
        }
        break;
    case EN_CHANGE:
        if (frozen && guarding) {
            frozen = false;
            SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(hwnd, nullptr, TRUE);
            SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        }
        break;
    default: break;
    }
    // Nothing on the dialog depends on the text: no refresh.
    return true;
}

void ppVersion::Init() {
    prtpage::Init();
    cache = report::Cache();
    filled = false;
}

void ppVersion::Refresh(bool first) {
    if (!filled) {
        filled = true;
        LB_ResetContent(IDC_VERSION_SECTIONS);
        for (int i = 0; i < report::kSections; ++i)
            LB_AddString(IDC_VERSION_SECTIONS, GetString(IDS_REPORT_SECTION + i), i);
        LB_SetCurSel(IDC_VERSION_SECTIONS, 0);
        first = true;
    }
    if (first || flagged) {
        flagged = false;
        LONG section = LB_GetCurSel(IDC_VERSION_SECTIONS);
        GenerateInfo(section < 0 ? 0 : section, true);
    }
}

bool ppVersion::Command(WORD id, WORD notifyCode, LONG) {
    if (id == IDC_VERSION_SECTIONS && notifyCode == LBN_SELCHANGE) {
        flagged = true;
        return false;
    }
    if (id == IDC_VERSION_SAVE && notifyCode == BN_CLICKED) {
        Save();
        return false;
    }
    return true;
}

void ppVersion::GenerateInfo(int section, bool redraw) {
    HWND list = GetItem(IDC_VERSION_LINES);
    if (redraw)
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    LB_ResetContent(IDC_VERSION_LINES);
    int stops[2] = {0, 80};
    LB_SetTabStops(IDC_VERSION_LINES, 2, stops);
    for (const std::wstring &line : cache.get(*ui, section))
        LB_AddString(IDC_VERSION_LINES, line.c_str(), 0);
    if (redraw) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

void ppVersion::Save() {
    filedlg dialog(filedlg::kText, &reg, &ui->locale());
    if (!dialog.GetSaveFileNameW(hwnd))
        return;
    OString path;
    dialog.GetFullFileName(path);
    HANDLE file = CreateFileW(path.wstring(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    std::string text = report::Saved(*ui, cache);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    flagged = true;
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
