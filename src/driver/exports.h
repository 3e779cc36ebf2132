// The module's exports and the printer-setup helpers behind them.
#pragma once

#include "../platform/ddiui.h"

class _MODEL;

// Rewrites the printer's stored default device mode in the current layout.
bool UpgradeDefaultDevMode(HANDLE hPrinter, _MODEL *model);

// The sequence run when a printer is created or its driver upgraded; returns
// the result of the device-mode upgrade step (false without a model).
bool RunPrinterSetup(HANDLE hPrinter);
