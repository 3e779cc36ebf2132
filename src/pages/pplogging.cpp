#include "pplogging.h"

#include "../model/prtfile.h"
#include "../pageframe/filedlg.h"
#include "../pageframe/prtui.h"
#include "../platform/seam.h"
#include "resource_ids.h"

namespace {
constexpr long kHelp = 1520;
}

INT_PTR prtpage::ShowLogOptions() { return DialogModal(L"DLG_LOGGING", ppLogging::WinProc); }

void ppLogging::Init() {
    prtpage::Init();
    SetHelp(kHelp, false);
    s.Load(reg, ui->printer_name().wstring());
}

void ppLogging::Apply() { s.Save(reg); }

void ppLogging::FillLogList(const WCHAR *directory) {
    LONG sel = LB_GetCurSel(IDC_LOG_FILES);
    LB_ResetContent(IDC_LOG_FILES);
    std::vector<std::wstring> names = prtfile::Find(directory, L"*.prn");
    for (const std::wstring &name : names)
        LB_AddString(IDC_LOG_FILES, name.c_str(), 0);
    if (sel >= 0 && sel < LONG(names.size()))
        LB_SetCurSel(IDC_LOG_FILES, sel);
}

bool ppLogging::ListedFile(LONG index, OString &name, OString &path) {
    if (index < 0 || LB_GetText(IDC_LOG_FILES, index, name) <= 0)
        return false;
    path = s.directory;
    path += name;
    return true;
}

void ppLogging::Notepad(const OString &path) {
    OString command("notepad ");
    command += path;
    platform::shell().WinExec(command.nstring(), SW_SHOW);
}

void ppLogging::Refresh(bool full) {
    if (full) {
        BM_SetCheck(IDC_LOG_TEXT_ON, s.generateFile ? BST_CHECKED : BST_UNCHECKED);
        BM_SetCheck(IDC_LOG_ON, s.logging ? BST_CHECKED : BST_UNCHECKED);
        BM_SetCheck(IDC_LOG_OVERWRITE, s.overwrite ? BST_CHECKED : BST_UNCHECKED);
        // Longer texts could not be read back whole.
        EM_LimitText(IDC_LOG_DIR, LogSettings::kChars);
        EM_LimitText(IDC_LOG_FILE, LogSettings::kChars);
    }
    if (full || logFileDirty)
        EM_SetText(IDC_LOG_FILE, s.logFile.wstring());
    if (full || directoryDirty)
        EM_SetText(IDC_LOG_DIR, s.directory.wstring());
    if (full || listDirty) {
        FillLogList(s.directory.wstring());
        enableDirty = true;
        if (!s.logging)
            LB_SetCurSel(IDC_LOG_FILES, -1);
    }
    if (full || enableDirty) {
        for (long id : {IDC_LOG_OVERWRITE, IDC_LOG_DIR_LABEL, IDC_LOG_DIR, IDC_LOG_DIR_BROWSE})
            WM_Enable(id, s.logging);
        bool selected = LB_GetCurSel(IDC_LOG_FILES) >= 0;
        for (long id : {IDC_LOG_DELETE, IDC_LOG_OPEN, IDC_LOG_SEND})
            WM_Enable(id, selected);
        WM_Enable(IDC_LOG_DELETE_ALL, LB_GetCount(IDC_LOG_FILES) > 0);
        for (long id : {IDC_LOG_FILE_LABEL, IDC_LOG_FILE, IDC_LOG_FILE_BROWSE, IDC_LOG_FILE_OPEN, IDC_LOG_CLEAR})
            WM_Enable(id, s.generateFile);
    }
    directoryDirty = enableDirty = listDirty = logFileDirty = false;
}

bool ppLogging::Command(WORD id, WORD code, LONG lParam) {
    WORD acts = id == IDC_LOG_FILES ? LBN_SELCHANGE : (id == IDC_LOG_DIR || id == IDC_LOG_FILE) ? EN_KILLFOCUS : 0;
    if (code != acts)
        return prtpage::Command(id, code, lParam);
    OString name, path;
    switch (id) {
    case IDC_LOG_ON:
        s.logging = BM_GetCheck(id);
        enableDirty = directoryDirty = listDirty = true;
        return false;
    case IDC_LOG_OVERWRITE:
        s.overwrite = BM_GetCheck(id);
        return false;
    case IDC_LOG_TEXT_ON:
        s.generateFile = BM_GetCheck(id);
        enableDirty = true;
        return false;
    case IDC_LOG_DIR:
        WM_GetText(id, s.directory);
        MakeValidPath(s.directory);
        directoryDirty = listDirty = true;
        return false;
    case IDC_LOG_DIR_BROWSE: {
        filedlg dlg(filedlg::kDirectory, &reg, &ui->locale());
        if (dlg.GetSaveDirectory(hwnd)) {
            dlg.GetDirectoryName(s.directory);
            MakeValidPath(s.directory);
            directoryDirty = listDirty = true;
        }
        return false;
    }
    case IDC_LOG_FILE:
        WM_GetText(id, s.logFile);
        return false;
    case IDC_LOG_FILE_BROWSE: {
        filedlg dlg(filedlg::kText, &reg, &ui->locale());
        if (dlg.GetSaveFileNameW(hwnd)) {
            dlg.GetFullFileName(s.logFile);
            logFileDirty = true;
        }
        return false;
    }
    case IDC_LOG_FILES:
        enableDirty = true;
        return false;
    case IDC_LOG_DELETE:
        if (ListedFile(LB_GetCurSel(IDC_LOG_FILES), name, path))
            prtfile::Delete(path.wstring());
        listDirty = true;
        return false;
    case IDC_LOG_DELETE_ALL:
        for (LONG i = 0, n = LB_GetCount(IDC_LOG_FILES); i < n; ++i)
            if (ListedFile(i, name, path))
                prtfile::Delete(path.wstring());
        listDirty = true;
        return false;
    case IDC_LOG_OPEN:
        if (ListedFile(LB_GetCurSel(IDC_LOG_FILES), name, path))
            Notepad(path);
        return false;
    case IDC_LOG_SEND:
        if (extstream *st = ui->stream(); st && ListedFile(LB_GetCurSel(IDC_LOG_FILES), name, path)) {
            st->StartJob(name.wstring());
            st->write_file(path.wstring());
            st->EndJob();
        }
        listDirty = true;
        return false;
    case IDC_LOG_FILE_OPEN:
        Notepad(s.logFile);
        return false;
    case IDC_LOG_CLEAR:
        if (prtfile::Exists(s.logFile.wstring()) && prtfile::Delete(s.logFile.wstring())) {
            prtfile log(s.logFile.wstring(), prtfile::kCreate);
        }
        return true;
    default:
        return prtpage::Command(id, code, lParam);
    }
}
