#include "listlock.h"

#include "../platform/globals.h"

#include <sddl.h>

#include <string>

namespace {

// The spooler (a service) and applications (user sessions) share the lists:
// the name lives in the global namespace, and everyone may wait for the mutex
// and release it.
HANDLE open_mutex(const WCHAR *list) {
    std::wstring name = L"Global\\Marlin store list ";
    name += list;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, FALSE};
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;WD)",
                                                             SDDL_REVISION_1, &sd, nullptr))
        sa.lpSecurityDescriptor = sd;
    HANDLE mutex = CreateMutexW(&sa, FALSE, name.c_str());
    if (sd)
        LocalFree(sd);
    if (!mutex && GetLastError() == ERROR_ACCESS_DENIED)
        mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str());
    return mutex;
}

} // namespace

ListLock::ListLock(const WCHAR *list, DWORD wait_ms) {
    HANDLE mutex = open_mutex(list);
    if (!mutex)
        return;
    // An owner that died mid-save leaves the mutex abandoned: it is ours now,
    // and the next save rewrites the whole list.
    DWORD rc = WaitForSingleObject(mutex, wait_ms);
    if (rc != WAIT_OBJECT_0 && rc != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return;
    }
    mutex_ = mutex;
    EnterCriticalSection(&gPrinterSemaphore);
    held_ = true;
}

ListLock::~ListLock() {
    if (!held_)
        return;
    LeaveCriticalSection(&gPrinterSemaphore);
    ReleaseMutex(static_cast<HANDLE>(mutex_));
    CloseHandle(static_cast<HANDLE>(mutex_));
}
