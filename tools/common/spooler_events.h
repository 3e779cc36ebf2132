// What the Windows spooler does when a printer is created and Wine's does not:
// it asks the driver for its default device mode (CDM_DRIVER_DEFAULT) and
// stores it as the printer's default, then sends PRINTER_EVENT_INITIALIZE.
// (Wine stores whatever its GetPrinterW made up for a printer without a
// default: a zeroed public part, whose paper size the merge rules would take.)
// Used by the tools and tests that create printers.
#pragma once

#include "platform/ddiui.h"

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
    auto convert = reinterpret_cast<decltype(&DrvConvertDevMode)>(
        reinterpret_cast<void *>(GetProcAddress(module, "DrvConvertDevMode")));
    auto event = reinterpret_cast<decltype(&DrvPrinterEvent)>(
        reinterpret_cast<void *>(GetProcAddress(module, "DrvPrinterEvent")));

    LONG size = 0;
    if (convert && !convert(name, nullptr, nullptr, &size, CDM_DRIVER_DEFAULT) && size > 0) {
        std::vector<BYTE> dm(size);
        DWORD info_size = 0;
        GetPrinterW(printer, 2, nullptr, 0, &info_size);
        std::vector<BYTE> info(info_size ? info_size : 1);
        if (convert(name, nullptr, reinterpret_cast<DEVMODEW *>(dm.data()), &size, CDM_DRIVER_DEFAULT) &&
            GetPrinterW(printer, 2, info.data(), info_size, &info_size)) {
            auto *pi = reinterpret_cast<PRINTER_INFO_2W *>(info.data());
            pi->pDevMode = reinterpret_cast<DEVMODEW *>(dm.data());
            pi->pSecurityDescriptor = nullptr;
            SetPrinterW(printer, 2, info.data(), 0);
        }
    }
    bool ok = event && event(name, PRINTER_EVENT_INITIALIZE, 0, 0);
    FreeLibrary(module);
    return ok;
}
