#include "model.h"

#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "../platform/globals.h"

#include <winspool.h>

_MODEL::_MODEL(void *printer) {
    MemBlock<DRIVER_INFO_2W> info{MyGetPrinterDriver(static_cast<HANDLE>(printer), 2)};
    if (info) {
        LockGuard lock(gResSemaphore);
        build(info->pName, info->pDriverPath, info->pDataFile);
    }
    init_new_vx();
}
