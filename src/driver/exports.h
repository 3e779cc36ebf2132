// The module's exports and the printer-setup helpers behind them.
#pragma once

#include "../platform/ddiui.h"

class _MODEL;

// Full device mode of the current layout: public part plus private part.
constexpr LONG kPublicDevmodeSize = 220;
constexpr LONG kPrivateDevmodeSize = 1240;
constexpr LONG kFullDevmodeSize = kPublicDevmodeSize + kPrivateDevmodeSize;
constexpr LONG kDevmode351Size = 188 + kPrivateDevmodeSize;

// Rewrites the printer's stored default device mode in the current layout.
bool UpgradeDefaultDevMode(HANDLE hPrinter, _MODEL *model);

// The sequence run when a printer is created or its driver upgraded; returns
// the result of the device-mode upgrade step (false without a model).
bool RunPrinterSetup(HANDLE hPrinter);
