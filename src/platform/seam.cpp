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

// A stand-in job: the module stays loaded until the job ends.
struct StandinJob {
    HMODULE module;
    void *job;
    BOOL(WINAPI *escape)(void *, int, int, const void *);
    BOOL(WINAPI *end)(void *);
};

void *standin_begin(const WCHAR *module, const WCHAR *printer, const WCHAR *document) {
    HMODULE lib = module ? LoadLibraryW(module) : nullptr;
    if (!lib)
        return nullptr;
    auto start = reinterpret_cast<void *(WINAPI *)(const WCHAR *, const WCHAR *)>(
        reinterpret_cast<void *>(GetProcAddress(lib, "StandinStartDoc")));
    auto escape = reinterpret_cast<BOOL(WINAPI *)(void *, int, int, const void *)>(
        reinterpret_cast<void *>(GetProcAddress(lib, "StandinEscape")));
    auto end = reinterpret_cast<BOOL(WINAPI *)(void *)>(reinterpret_cast<void *>(GetProcAddress(lib, "StandinEndDoc")));
    void *job = (start && escape && end) ? start(printer, document) : nullptr;
    auto *handle = job ? static_cast<StandinJob *>(MEMALLOC(sizeof(StandinJob))) : nullptr;
    if (!handle) {
        if (job)
            end(job);
        FreeLibrary(lib);
        return nullptr;
    }
    *handle = {lib, job, escape, end};
    return handle;
}

BOOL standin_escape(void *job, int code, int size, const void *data) {
    auto *h = static_cast<StandinJob *>(job);
    return h ? h->escape(h->job, code, size, data) : FALSE;
}

BOOL standin_end(void *job) {
    auto *h = static_cast<StandinJob *>(job);
    if (!h)
        return FALSE;
    BOOL ok = h->end(h->job);
    FreeLibrary(h->module);
    MEMFREE(h);
    return ok;
}

const Spooler kSpooler = {::OpenPrinterW, ::ClosePrinter,      ::GetPrinterW,
                          ::SetPrinterW,  ::GetPrinterDriverW, ::GetPrinterDataW};
const Windows kWindows = {::MessageBoxW, ::WinHelpW, module_string};
const Dialogs kDialogs = {::GetOpenFileNameW, ::GetSaveFileNameW, ::ChooseColorW, ::ChooseFontW, ::SHBrowseForFolderW};
const Renderer kRenderer = {standin_begin, standin_escape, standin_end};
const Shell kShell = {::WinExec};

Spooler current_spooler = kSpooler;
Windows current_windows = kWindows;
Dialogs current_dialogs = kDialogs;
Renderer current_renderer = kRenderer;
Shell current_shell = kShell;

} // namespace

Spooler &spooler() { return current_spooler; }
Windows &windows() { return current_windows; }
Dialogs &dialogs() { return current_dialogs; }
Renderer &renderer() { return current_renderer; }
Shell &shell() { return current_shell; }
#endif

void reset() {
#ifdef _WIN32
    current_spooler = kSpooler;
    current_windows = kWindows;
    current_dialogs = kDialogs;
    current_renderer = kRenderer;
    current_shell = kShell;
#endif
    mrl::reset_allocation();
}

} // namespace platform
