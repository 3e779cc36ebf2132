// The logging dialog (opened from the debug page): whether print jobs are kept
// as files and a text log is written, where; and what the logging produced:
// the print files listed, deleted, sent or opened in Notepad, the log cleared.
#pragma once

#include "../pageframe/prtpage.h"
#include "../store/logsettings.h"

class ppLogging : public prtpage {
public:
    static INT_PTR CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return PageProc<ppLogging>(hwnd, msg, wParam, lParam);
    }
    void Init() override;
    void Apply() override;
    void Refresh(bool full) override;
    bool Command(WORD id, WORD notifyCode, LONG lParam) override;

private:
    void FillLogList(const WCHAR *directory);
    // directory + the name of list item index; false when there is no such item.
    bool ListedFile(LONG index, OString &name, OString &path);
    // Opens a file in Notepad for the user (nothing shows when that fails).
    void Notepad(const OString &path);

    LogSettings s;
    bool directoryDirty = false;
    bool enableDirty = false;
    bool listDirty = false;
    bool logFileDirty = false;
};
