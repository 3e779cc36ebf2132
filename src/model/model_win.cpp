#include "model.h"

#include "../foundation/util.h"
#include "../platform/globals.h"
#include "../platform/seam.h"

#include <winspool.h>

_MODEL::_MODEL(void *printer) {
    // One spooler call in the usual case: a block that holds any ordinary
    // driver information. Only a larger one asks for its size first.
    alignas(8) BYTE local[4096];
    DWORD needed = 0;
    auto *info = reinterpret_cast<DRIVER_INFO_2W *>(local);
    void *allocated = nullptr;
    if (!platform::seam().GetPrinterDriverW(static_cast<HANDLE>(printer), nullptr, 2, local, sizeof local, &needed))
        info = static_cast<DRIVER_INFO_2W *>(allocated = MyGetPrinterDriver(static_cast<HANDLE>(printer), 2));
    if (info) {
        LockGuard lock(gResSemaphore);
        build(info->pName, info->pDriverPath, info->pDataFile);
    }
    if (allocated)
        MEMFREE(allocated);
    init_new_vx();
}
