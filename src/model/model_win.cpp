#include "model.h"

#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "../platform/globals.h"

#include <winspool.h>

_MODEL::_MODEL(void *printer) {
    auto *info = static_cast<DRIVER_INFO_2W *>(MyGetPrinterDriver(static_cast<HANDLE>(printer), 2));
    if (info) {
        LockGuard lock(gResSemaphore);
        build(info->pName, info->pDriverPath, info->pDataFile);
        MEMFREE(info);
    }
    init_new_vx();
}
