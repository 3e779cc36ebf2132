#include "exports.h"
BOOL WINAPI DllMain(HINSTANCE h, DWORD reason, LPVOID ctx) { return DllInitialize(h, reason, ctx); }
