// The one place where tests replace the outside world: calls that would block
// an unattended run (message boxes, dialogs, help), components outside this
// module (renderer, port software, printer), and the spooler and allocation
// calls whose failure paths tests must drive. Production values call the real
// functions; tests swap single members and call platform::reset() after.
#pragma once

#include "../foundation/compat.h"

#ifdef _WIN32
#include <winspool.h>
#endif

namespace platform {

struct Seam {
#ifdef _WIN32
    BOOL(WINAPI *OpenPrinterW)(LPWSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSW defaults);
    BOOL(WINAPI *ClosePrinter)(HANDLE handle);
    BOOL(WINAPI *GetPrinterW)(HANDLE handle, DWORD level, LPBYTE buf, DWORD size, LPDWORD needed);
    BOOL(WINAPI *SetPrinterW)(HANDLE handle, DWORD level, LPBYTE buf, DWORD command);
    BOOL(WINAPI *GetPrinterDriverW)(HANDLE handle, LPWSTR env, DWORD level, LPBYTE buf, DWORD size,
                                    LPDWORD needed);
    // Printer queries, answered by the port software behind the spooler.
    DWORD(WINAPI *GetPrinterDataW)(HANDLE handle, LPWSTR name, LPDWORD type, LPBYTE buf, DWORD size,
                                   LPDWORD needed);
    int(WINAPI *MessageBoxW)(HWND wnd, LPCWSTR text, LPCWSTR caption, UINT type);
    // Text of a language string id for a UI object (may be null); never null.
    const WCHAR *(*lang_string)(void *ui, LONG id);
#endif
};

Seam &seam();
// Restores every part, the allocation part of the foundation included.
void reset();

} // namespace platform
