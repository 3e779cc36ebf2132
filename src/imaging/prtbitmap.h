// The picture-area window class "prtbitmap" used by the page templates.
#pragma once

#ifdef _WIN32
#include <windows.h>

class prtbitmap {
public:
    // Registration nests: a process-wide counter pairs Register with Unregister.
    static bool Register();
    static void Unregister();
    static LRESULT CALLBACK WinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static const wchar_t *ClassName() { return L"prtbitmap"; }
};
#endif
