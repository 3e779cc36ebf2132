#include "seam.h"

#ifdef _WIN32
#include "globals.h"
#endif

#include <cstdlib>

namespace platform {
namespace {

#ifdef _WIN32
void *real_alloc(size_t size) { return GlobalAlloc(GMEM_ZEROINIT, size); }
void real_free(void *p) {
    if (p)
        GlobalFree(p);
}
// Until the language modules are wired in, texts come from this module's own
// string table (empty when it has none).
const WCHAR *module_string(void *, LONG id) {
    static thread_local WCHAR text[512];
    text[0] = 0;
    if (LoadStringW(ghInstance, static_cast<UINT>(id), text, 512) <= 0)
        text[0] = 0;
    return text;
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
    s.GetPrinterDataW = ::GetPrinterDataW;
    s.MessageBoxW = ::MessageBoxW;
    s.lang_string = module_string;
#endif
    return s;
}

Seam current = production();

} // namespace

Seam &seam() { return current; }
void reset() { current = production(); }

} // namespace platform
