// What the Windows spooler does when a printer is created and Wine's does not:
// load the printer's driver UI module and send it PRINTER_EVENT_INITIALIZE.
// Used by the tools and tests that create printers.
#pragma once

#include "ddiui.h"

#include <vector>

inline bool SendPrinterInitialize(HANDLE printer, LPWSTR name) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed ? needed : 1);
    if (!GetPrinterDriverW(printer, nullptr, 2, buf.data(), needed, &needed))
        return false;
    HMODULE module = LoadLibraryW(reinterpret_cast<DRIVER_INFO_2W *>(buf.data())->pConfigFile);
    if (!module)
        return false;
    auto event = reinterpret_cast<decltype(&DrvPrinterEvent)>(
        reinterpret_cast<void *>(GetProcAddress(module, "DrvPrinterEvent")));
    bool ok = event && event(name, PRINTER_EVENT_INITIALIZE, 0, 0);
    FreeLibrary(module);
    return ok;
}
