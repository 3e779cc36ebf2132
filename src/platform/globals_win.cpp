#include "globals.h"

#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "seam.h"

HINSTANCE ghInstance = nullptr;
CRITICAL_SECTION gPrinterSemaphore;
CRITICAL_SECTION gResSemaphore;

namespace {

template <typename Query> void *query_block(Query query) {
    DWORD needed = 0;
    if (query(nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0)
        return nullptr;
    auto block = MemBlock<BYTE>::alloc(needed);
    if (!block || !query(block.get(), needed, &needed))
        return nullptr;
    return block.release();
}

} // namespace

void *MyGetPrinter(HANDLE hPrinter, DWORD level) {
    return query_block([&](LPBYTE buf, DWORD size, LPDWORD needed) {
        return platform::spooler().GetPrinterW(hPrinter, level, buf, size, needed);
    });
}

void *MyGetPrinterDriver(HANDLE hPrinter, DWORD level) {
    return query_block([&](LPBYTE buf, DWORD size, LPDWORD needed) {
        return platform::spooler().GetPrinterDriverW(hPrinter, nullptr, level, buf, size, needed);
    });
}
