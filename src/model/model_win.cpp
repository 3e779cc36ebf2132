#include "model.h"

#include "../foundation/memory.h"
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
    MemBlock<DRIVER_INFO_2W> allocated;
    if (!platform::spooler().GetPrinterDriverW(static_cast<HANDLE>(printer), nullptr, 2, local, sizeof local, &needed)) {
        allocated = MemBlock<DRIVER_INFO_2W>(MyGetPrinterDriver(static_cast<HANDLE>(printer), 2));
        info = allocated.get();
    }
    if (info) {
        LockGuard lock(gResSemaphore);
        build(info->pName, info->pDriverPath, info->pDataFile);
    }
    init_new_vx();
}
