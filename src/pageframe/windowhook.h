// Takes over the test-page button of the system's General page on the
// device sheet (it prints the driver's test page instead), and opens the
// sheet on its last page when the UI object asks for it. The hook waits for
// the General page to appear, subclasses it and removes itself; on a system
// without that page (Wine) it finds nothing and does nothing.
#pragma once

#include "../foundation/compat.h"

class prtui;

// Control ids of the system's pages.
enum : int { kGeneralName = 3001, kGeneralTestPage = 3007, kSecondPageA = 3227, kSecondPageB = 3228 };

bool WindowHook_Install(prtui *ui);
bool WindowHook_Remove();
// Removes a hook still waiting for ui's sheet (a system without the page).
void WindowHook_Release(prtui *ui);
LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GeneralDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
