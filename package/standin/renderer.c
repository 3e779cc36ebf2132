/* Stand-in for a package's rendering module: the user-interface module only
   finds the package prefix in its file name and never loads it. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
