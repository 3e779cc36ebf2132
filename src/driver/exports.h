// The module's exports and the printer-setup helpers behind them.
#pragma once

#include "../platform/ddiui.h"
#include "../platform/seam.h"

class _MODEL;

// A printer opened by name for the length of a call; null when no name was
// given or the open failed. Closed on every path.
class PrinterHandle {
public:
    PrinterHandle(LPWSTR name, PRINTER_DEFAULTSW *defaults) {
        if (name && !platform::spooler().OpenPrinterW(name, &handle_, defaults))
            handle_ = nullptr;
    }
    ~PrinterHandle() {
        if (handle_)
            platform::spooler().ClosePrinter(handle_);
    }
    PrinterHandle(const PrinterHandle &) = delete;
    PrinterHandle &operator=(const PrinterHandle &) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

// Rewrites the printer's stored default device mode in the current layout.
bool UpgradeDefaultDevMode(HANDLE hPrinter, _MODEL *model);

// The sequence run when a printer is created or its driver upgraded; returns
// the result of the device-mode upgrade step (false without a model).
bool RunPrinterSetup(HANDLE hPrinter);
