#include "prtbitmap.h"

#include "../platform/globals.h"

namespace {
LONG registrations = 0;
}

LRESULT CALLBACK prtbitmap::WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool prtbitmap::Register() {
    if (InterlockedIncrement(&registrations) > 1)
        return true;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WinProc;
    wc.cbWndExtra = sizeof(void *);
    wc.hInstance = ghInstance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = ClassName();
    return RegisterClassW(&wc) != 0;
}

void prtbitmap::Unregister() {
    if (InterlockedDecrement(&registrations) == 0)
        UnregisterClassW(ClassName(), ghInstance);
}
