#include "ui.h"

#include "../foundation/util.h"
#include "../pageframe/prtui.h"

namespace {

prtui *ui_of(PPROPSHEETUI_INFO info) { return reinterpret_cast<prtui *>(info->UserData); }

// The reasons after INIT are the same for both sheets.
LONG LaterReason(PPROPSHEETUI_INFO info, LPARAM lParam, LPWSTR printer_name, DOCUMENTPROPERTYHEADER *doc) {
    prtui *ui = ui_of(info);
    switch (info->Reason) {
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
        return ui ? ui->ReasonGetInfoHeader(info, lParam, printer_name) : -1;
    case PROPSHEETUI_REASON_DESTROY:
        if (!ui)
            return -1;
        delete ui;
        info->UserData = 0;
        return 1;
    case PROPSHEETUI_REASON_SET_RESULT:
        return ui ? ui->ReasonSetResult(info, lParam, doc) : -1;
    default:
        return 1;
    }
}

} // namespace

LONG DocumentPropertySheetReason(PPROPSHEETUI_INFO info, LPARAM lParam, DOCUMENTPROPERTYHEADER *header) {
    if (info->Reason != PROPSHEETUI_REASON_INIT)
        return LaterReason(info, lParam, header->pszPrinterName, header);
    prtui *ui = prtui::NewExtUI();
    if (!ui)
        return -1;
    DWORD flags = header->fMode;
    char path[1024 + 1] = {};
    GetModuleFileNameA(GetModuleHandleW(nullptr), path, 1024);
    if (mrl::__stristr(path, "explorer.exe"))
        flags |= 0x40;
    info->UserData = reinterpret_cast<ULONG_PTR>(ui);
    ui->init(header->hPrinter, header->pdmIn, flags);
    return ui->InitDocSheets(info, lParam, header);
}

LONG DevicePropertySheetReason(PPROPSHEETUI_INFO info, LPARAM lParam, DEVICEPROPERTYHEADER *header) {
    if (info->Reason != PROPSHEETUI_REASON_INIT)
        return LaterReason(info, lParam, header->pszPrinterName, nullptr);
    prtui *ui = prtui::NewExtUI();
    if (!ui)
        return -1;
    info->UserData = reinterpret_cast<ULONG_PTR>(ui);
    ui->init(header->hPrinter, nullptr, 0);
    return ui->InitDevSheets(info, lParam, header);
}
