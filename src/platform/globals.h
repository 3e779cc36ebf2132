// Module-wide state, created on process attach and kept until detach.
#pragma once

#include "../foundation/compat.h"

#ifdef _WIN32
extern HINSTANCE ghInstance;
// Held around every read and write of printer data and of the driver's registry keys.
extern CRITICAL_SECTION gPrinterSemaphore;
// Held while a printer model record is built from the driver data file.
extern CRITICAL_SECTION gResSemaphore;

// Scoped holder of one of the locks above.
class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION &cs) : cs_(cs) { EnterCriticalSection(&cs_); }
    ~LockGuard() { LeaveCriticalSection(&cs_); }
    LockGuard(const LockGuard &) = delete;
    LockGuard &operator=(const LockGuard &) = delete;

private:
    CRITICAL_SECTION &cs_;
};

// Spooler queries: the needed size first, then the filled block from MEMALLOC
// (free with MEMFREE); null on any failure.
void *MyGetPrinter(HANDLE hPrinter, DWORD level);
void *MyGetPrinterDriver(HANDLE hPrinter, DWORD level);
#endif
