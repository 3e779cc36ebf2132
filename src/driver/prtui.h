// The UI object behind one property sheet. Its pages and the reasons it
// answers arrive with the property-sheet work; until then no UI object can be
// made and the sheet exports take their failure path.
#pragma once

#include "../foundation/util.h"
#include "../platform/ddiui.h"

class prtui {
public:
    virtual ~prtui() {}
    // Null while the sheet UI is not available.
    static prtui *NewExtUI() { return nullptr; }

    virtual void init(HANDLE hPrinter, DEVMODEW *pdmIn, DWORD flags) = 0;
    virtual LONG InitDocSheets(PPROPSHEETUI_INFO info, LPARAM lParam, DOCUMENTPROPERTYHEADER *header) = 0;
    virtual LONG InitDevSheets(PPROPSHEETUI_INFO info, LPARAM lParam, DEVICEPROPERTYHEADER *header) = 0;
    virtual LONG ReasonGetInfoHeader(PPROPSHEETUI_INFO info, LPARAM lParam, LPWSTR printer_name) = 0;
    virtual LONG ReasonSetResult(PPROPSHEETUI_INFO info, LPARAM lParam, DOCUMENTPROPERTYHEADER *header) = 0;
};
