// The eight exports: thin dispatchers that open what they need, call the
// device-mode rules and free everything before returning (except the UI
// object, which lives through the property-sheet callbacks).
#include "exports.h"

#include "../devmode/layout.h"
#include "../devmode/model_devmode.h"
#include "../devmode/rules.h"
#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "../imaging/prtbitmap.h"
#include "../locale/prtlocale.h"
#include "../model/model.h"
#include "../platform/globals.h"
#include "../platform/seam.h"
#include "ui.h"

namespace {

using devmode::kFullSize;
using devmode::kPrivateSize;
// The NT 3.51 layout: a 188-byte public part.
constexpr LONG kSize351 = 188 + kPrivateSize;

// PRINTER_ALL_ACCESS, no data type, no device mode.
PRINTER_DEFAULTSW EventPrinterDefault = {nullptr, nullptr, PRINTER_ALL_ACCESS};
PRINTER_DEFAULTSW UpgradePrinterDefault = {nullptr, nullptr, PRINTER_ALL_ACCESS};

LONG device_mode_size(const DEVMODEW *dm) { return static_cast<LONG>(dm->dmSize) + dm->dmDriverExtra; }

// The call without sheet info: sizes, or merges the printer's default and the
// caller's input into the caller's output buffer.
LONG DocumentPropertiesNoUI(DOCUMENTPROPERTYHEADER *header) {
    if (header->fMode == 0 || header->pdmOut == nullptr) {
        header->cbOut = kFullSize;
        return kFullSize;
    }
    // Winspool's AddPrinterW and DocumentPropertiesW may pass only the name.
    PrinterHandle opened(header->hPrinter ? nullptr : header->pszPrinterName, nullptr);
    HANDLE printer = header->hPrinter ? header->hPrinter : opened.get();
    _MODEL model(printer);
    if (!model.is_valid())
        return 0;
    MemBlock<DEVMODEW> dm = NewDevmode(model, header->pszPrinterName);
    if (!dm)
        return 0;
    if (MemBlock<PRINTER_INFO_2W> info{MyGetPrinter(printer, 2)})
        MergeDevmode(model, dm.get(), info->pDevMode);
    LONG result = 1;
    if ((header->fMode & DM_IN_BUFFER) && !MergeDevmode(model, dm.get(), header->pdmIn))
        result = 0;
    if ((header->fMode & DM_OUT_BUFFER) && !CopyDevmode(header->pdmOut, dm.get()))
        result = 0;
    return result;
}

} // namespace

extern "C" BOOL WINAPI DllInitialize(HINSTANCE hModule, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        ghInstance = hModule;
        InitializeCriticalSection(&gPrinterSemaphore);
        InitializeCriticalSection(&gResSemaphore);
        prtbitmap::Register();
    } else if (reason == DLL_PROCESS_DETACH) {
        // Unloaded while the process goes on: the kept language modules go
        // with it (at process exit they are unmapped anyway).
        if (!reserved)
            prtlocale::UnmapLanguageModules();
        DeleteCriticalSection(&gResSemaphore);
        DeleteCriticalSection(&gPrinterSemaphore);
        prtbitmap::Unregister();
    }
    return TRUE;
}

extern "C" BOOL WINAPI DevQueryPrintEx(PDEVQUERYPRINT_INFO) { return TRUE; }

extern "C" BOOL WINAPI DrvPrinterEvent(LPWSTR pPrinterName, INT event, DWORD, LPARAM) {
    if (event == PRINTER_EVENT_INITIALIZE) {
        PrinterHandle printer(pPrinterName, &EventPrinterDefault);
        if (printer.get())
            RunPrinterSetup(printer.get());
    }
    return TRUE;
}

extern "C" BOOL WINAPI DrvUpgradePrinter(DWORD, LPBYTE pDriverUpgradeInfo) {
    auto *info = reinterpret_cast<DRIVER_UPGRADE_INFO_1W *>(pDriverUpgradeInfo);
    PrinterHandle printer(info ? info->pPrinterName : nullptr, &UpgradePrinterDefault);
    if (!printer.get()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return RunPrinterSetup(printer.get()) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI DrvConvertDevMode(LPWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut, PLONG pcbNeeded,
                                         DWORD fMode) {
    if (!pcbNeeded) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    switch (fMode) {
    case CDM_CONVERT: {
        // pdmOut's own header states the size needed: it must lie inside the buffer first.
        if (!pdmOut || *pcbNeeded < devmode::kHeaderSize)
            return FALSE;
        LONG needed = device_mode_size(pdmOut);
        if (*pcbNeeded < needed || ConvertDevmode(pdmIn, pdmOut) <= 0)
            return FALSE;
        *pcbNeeded = needed;
        return TRUE;
    }
    case CDM_CONVERT351: {
        if (!pdmOut || *pcbNeeded < kSize351) {
            *pcbNeeded = kSize351;
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        pdmOut->dmSpecVersion = 0x0320;
        pdmOut->dmSize = 188;
        pdmOut->dmDriverVersion = 0x0350;
        pdmOut->dmDriverExtra = kPrivateSize;
        if (ConvertDevmode(pdmIn, pdmOut) <= 0)
            return FALSE;
        *pcbNeeded = kSize351;
        return TRUE;
    }
    case CDM_DRIVER_DEFAULT: {
        if (!pdmOut || *pcbNeeded < kFullSize) {
            *pcbNeeded = kFullSize;
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        *pcbNeeded = kFullSize;
        PrinterHandle printer(pPrinterName, nullptr);
        if (!printer.get())
            return FALSE;
        _MODEL model(printer.get());
        if (!model.is_valid())
            return FALSE;
        DefaultDevmode(model, pdmOut, pPrinterName);
        if (pdmIn)
            MergeDevmode(model, pdmOut, pdmIn);
        return TRUE;
    }
    default:
        return 2;
    }
}

extern "C" LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    if (!pPSUIInfo || !pPSUIInfo->lParamInit)
        return -1;
    auto *header = reinterpret_cast<DEVICEPROPERTYHEADER *>(pPSUIInfo->lParamInit);
    return DevicePropertySheetReason(pPSUIInfo, lParam, header);
}

extern "C" LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    auto *header = reinterpret_cast<DOCUMENTPROPERTYHEADER *>(pPSUIInfo ? pPSUIInfo->lParamInit : lParam);
    if (!header)
        return 0;
    if (!pPSUIInfo)
        return DocumentPropertiesNoUI(header);
    return DocumentPropertySheetReason(pPSUIInfo, lParam, header);
}

bool UpgradeDefaultDevMode(HANDLE hPrinter, _MODEL *model) {
    MemBlock<PRINTER_INFO_2W> info{MyGetPrinter(hPrinter, 2)};
    auto dm = MemBlock<DEVMODEW>::alloc(kFullSize);
    if (!info || !dm)
        return false;
    DefaultDevmode(*model, dm.get(), info->pPrinterName);
    MergeDevmode(*model, dm.get(), info->pDevMode);
    info->pDevMode = dm.get();
    platform::spooler().SetPrinterW(hPrinter, 2, reinterpret_cast<LPBYTE>(info.get()), 0);
    return true;
}
