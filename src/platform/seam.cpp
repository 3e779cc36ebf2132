#include "seam.h"

#include <cstdlib>

namespace platform {
namespace {

#ifdef _WIN32
void *real_alloc(size_t size) { return GlobalAlloc(GMEM_ZEROINIT, size); }
void real_free(void *p) {
    if (p)
        GlobalFree(p);
}
#else
void *real_alloc(size_t size) { return calloc(1, size ? size : 1); }
void real_free(void *p) { free(p); }
#endif

Seam production() {
    Seam s{};
    s.mem_alloc = real_alloc;
    s.mem_free = real_free;
#ifdef _WIN32
    s.OpenPrinterW = ::OpenPrinterW;
    s.ClosePrinter = ::ClosePrinter;
    s.GetPrinterW = ::GetPrinterW;
    s.SetPrinterW = ::SetPrinterW;
    s.GetPrinterDriverW = ::GetPrinterDriverW;
#endif
    return s;
}

Seam current = production();

} // namespace

Seam &seam() { return current; }
void reset() { current = production(); }

} // namespace platform
