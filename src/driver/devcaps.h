#pragma once

#include "../platform/ddiui.h"

class _MODEL;

// One capability answer for a model and its merged device mode (-1 for unknown indices).
DWORD DeviceCapabilitiesFor(HANDLE hPrinter, const WCHAR *printer_name, _MODEL &model, const DEVMODEW *dm,
                            WORD index, PVOID out);
// DC_PAPERS, DC_PAPERSIZE, DC_PAPERNAMES from the printer's form list. Answers
// are kept per printer name (none: nothing kept) until a list is saved.
DWORD FormCapabilities(HANDLE hPrinter, const WCHAR *printer_name, _MODEL &model, WORD index, PVOID out);
