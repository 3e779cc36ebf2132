#include "seam.h"

#ifdef _WIN32
#include "globals.h"
#endif

#include "../foundation/memory.h"

namespace platform {

#ifdef _WIN32
namespace {

// Until the language modules are wired in, texts come from this module's own
// string table (empty when it has none).
const WCHAR *module_string(void *, LONG id) {
    static thread_local WCHAR text[512];
    text[0] = 0;
    if (LoadStringW(ghInstance, static_cast<UINT>(id), text, 512) <= 0)
        text[0] = 0;
    return text;
}

const Spooler kSpooler = {::OpenPrinterW, ::ClosePrinter,      ::GetPrinterW,
                          ::SetPrinterW,  ::GetPrinterDriverW, ::GetPrinterDataW};
const Windows kWindows = {::MessageBoxW, ::WinHelpW, module_string};
const Dialogs kDialogs = {::GetOpenFileNameW, ::GetSaveFileNameW, ::ChooseColorW, ::SHBrowseForFolderW};

Spooler current_spooler = kSpooler;
Windows current_windows = kWindows;
Dialogs current_dialogs = kDialogs;

} // namespace

Spooler &spooler() { return current_spooler; }
Windows &windows() { return current_windows; }
Dialogs &dialogs() { return current_dialogs; }
#endif

void reset() {
#ifdef _WIN32
    current_spooler = kSpooler;
    current_windows = kWindows;
    current_dialogs = kDialogs;
#endif
    mrl::reset_allocation();
}

} // namespace platform
