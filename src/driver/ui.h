// Property-sheet reasons of the two sheet exports. The UI object lives in
// the sheet's UserData from INIT to DESTROY.
#pragma once

#include "../platform/ddiui.h"

LONG DocumentPropertySheetReason(PPROPSHEETUI_INFO info, LPARAM lParam, DOCUMENTPROPERTYHEADER *header);
LONG DevicePropertySheetReason(PPROPSHEETUI_INFO info, LPARAM lParam, DEVICEPROPERTYHEADER *header);
