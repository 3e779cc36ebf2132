// The places where tests replace the outside world, one part per subsystem:
// the spooler calls whose failure paths tests drive and the port software
// behind printer queries; message boxes, the common dialogs and started
// programs, which would block an unattended run. Allocation is the foundation's part
// (foundation/memory.h). Production values call the real functions; tests swap
// single members and call platform::reset() after. compstui is not here: tests
// pass their own sheet function.
#pragma once

#include "../foundation/compat.h"

#ifdef _WIN32
#include <commdlg.h>
#include <shlobj.h>
#include <winspool.h>
#endif

namespace platform {

#ifdef _WIN32
struct Spooler {
    BOOL(WINAPI *OpenPrinterW)(LPWSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSW defaults);
    BOOL(WINAPI *ClosePrinter)(HANDLE handle);
    BOOL(WINAPI *GetPrinterW)(HANDLE handle, DWORD level, LPBYTE buf, DWORD size, LPDWORD needed);
    BOOL(WINAPI *SetPrinterW)(HANDLE handle, DWORD level, LPBYTE buf, DWORD command);
    BOOL(WINAPI *GetPrinterDriverW)(HANDLE handle, LPWSTR env, DWORD level, LPBYTE buf, DWORD size,
                                    LPDWORD needed);
    // Printer queries, answered by the port software behind the spooler.
    DWORD(WINAPI *GetPrinterDataW)(HANDLE handle, LPWSTR name, LPDWORD type, LPBYTE buf, DWORD size,
                                   LPDWORD needed);
};

struct Windows {
    int(WINAPI *MessageBoxW)(HWND wnd, LPCWSTR text, LPCWSTR caption, UINT type);
    BOOL(WINAPI *WinHelpW)(HWND wnd, LPCWSTR file, UINT command, ULONG_PTR data);
    // Text of a language string id for a UI object (may be null); never null.
    const WCHAR *(*lang_string)(void *ui, LONG id);
};

// The common dialogs, which wait for a user.
struct Dialogs {
    BOOL(WINAPI *GetOpenFileNameW)(LPOPENFILENAMEW ofn);
    BOOL(WINAPI *GetSaveFileNameW)(LPOPENFILENAMEW ofn);
    BOOL(WINAPI *ChooseColorW)(LPCHOOSECOLORW cc);
    BOOL(WINAPI *ChooseFontW)(LPCHOOSEFONTW cf);
    // The result is freed with CoTaskMemFree.
    LPITEMIDLIST(WINAPI *SHBrowseForFolderW)(LPBROWSEINFOW bi);
};

// The package's stand-in renderer (PREFIX32k.dll), which takes a job's escapes
// when the device context's own renderer refuses them (under Wine every
// printer context is the PostScript driver's). begin answers null when the
// module cannot be loaded or has no stand-in exports; end delivers the job.
struct Renderer {
    void *(*begin)(const WCHAR *module, const WCHAR *printer, const WCHAR *document);
    BOOL (*escape)(void *job, int code, int size, const void *data);
    BOOL (*end)(void *job);
};

// Programs started for the user (Notepad on a print or log file).
struct Shell {
    UINT(WINAPI *WinExec)(LPCSTR command, UINT show);
};

Spooler &spooler();
Windows &windows();
Dialogs &dialogs();
Renderer &renderer();
Shell &shell();
#endif

// Restores every part, the foundation's allocation part included.
void reset();

} // namespace platform
