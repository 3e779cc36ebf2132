#pragma once

#include "../platform/ddiui.h"

class _MODEL;

// One capability answer for a model and its merged device mode (-1 for unknown indices).
DWORD DeviceCapabilitiesFor(HANDLE hPrinter, _MODEL &model, const DEVMODEW *dm, WORD index, PVOID out);
// DC_PAPERS, DC_PAPERSIZE, DC_PAPERNAMES from the printer's form list.
DWORD FormCapabilities(HANDLE hPrinter, _MODEL &model, WORD index, PVOID out);
