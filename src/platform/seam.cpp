#include "seam.h"

#ifdef _WIN32
#include "globals.h"
#endif

#include "../foundation/memory.h"

namespace platform {
namespace {

#ifdef _WIN32
// Until the language modules are wired in, texts come from this module's own
// string table (empty when it has none).
const WCHAR *module_string(void *, LONG id) {
    static thread_local WCHAR text[512];
    text[0] = 0;
    if (LoadStringW(ghInstance, static_cast<UINT>(id), text, 512) <= 0)
        text[0] = 0;
    return text;
}
#endif

Seam production() {
    Seam s{};
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
void reset() {
    current = production();
    mrl::reset_allocation();
}

} // namespace platform
