// mrlprint preferences PRINTER: the document sheet as applications open it
// (DocumentPropertiesW with a prompt), then the device mode it returned. With
// --shot FILE.bmp the sheet is saved as a picture once it shows, then cancelled.
// mrlprint properties PRINTER: the device sheet, opened through compstui and
// the installed driver's DrvDevicePropertySheets (Wine's PrinterProperties
// shows nothing). With --defaults: the printer's default settings, the
// document sheet with DM_UPDATE as the printer folder's Printing Defaults
// opens it (stock-list changes are stored only there).
#include "command.h"
#include "printer.h"
#include "screenshot.h"

#include "platform/ddiui.h"

#include <commctrl.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

using mrlprint::err;
using mrlprint::out;

// The document sheet on the printer's current settings; with update, its
// result becomes the printer's default.
int document_sheet(const mrlprint::Args &args, bool update, const std::wstring &shot = L"") {
    HANDLE printer = mrlprint::open_printer(args[0]);
    if (!printer)
        return 1;
    auto *name = const_cast<LPWSTR>(args[0].c_str());
    int rc = 1;
    LONG size = DocumentPropertiesW(nullptr, printer, name, nullptr, nullptr, 0);
    if (size <= 0) {
        err(L"%ls: the driver gives no device mode size\n", args[0].c_str());
    } else {
        // In and out: the printer's current settings, edited in the sheet.
        std::vector<BYTE> in(size), result(size);
        auto *dm_in = reinterpret_cast<DEVMODEW *>(in.data());
        auto *dm_out = reinterpret_cast<DEVMODEW *>(result.data());
        if (DocumentPropertiesW(nullptr, printer, name, dm_in, nullptr, DM_OUT_BUFFER) != IDOK) {
            err(L"%ls: the driver gives no device mode\n", args[0].c_str());
        } else {
            bool shot_saved = false;
            std::thread shooter;
            if (!shot.empty())
                shooter = std::thread([&shot, &shot_saved] {
                    HWND sheet = wait_window(nullptr);
                    if (!sheet)
                        return;
                    Sleep(500); // the first page paints
                    shot_saved = save_screenshot(sheet, shot);
                    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                });
            // Wine answers IDOK for Cancel too: the output buffer tells.
            LONG answer = DocumentPropertiesW(nullptr, printer, name, dm_out, dm_in,
                                              DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER | (update ? DM_UPDATE : 0));
            if (shooter.joinable())
                shooter.join();
            if (!shot.empty() && !shot_saved) {
                err(L"%ls: no picture of the sheet was saved to %ls\n", args[0].c_str(), shot.c_str());
            } else if (answer == IDOK && dm_out->dmSize) {
                out(L"%ls\n", in == result ? L"unchanged" : L"changed");
                mrlprint::print_devmode(dm_out);
                rc = 0;
            } else if (answer == IDCANCEL) {
                out(L"cancelled\n");
                rc = 0;
            } else {
                err(L"%ls: the sheet could not be shown (%ls)\n", args[0].c_str(),
                    mrlprint::error_text(GetLastError()).c_str());
            }
        }
    }
    ClosePrinter(printer);
    return rc;
}

// The driver module the spooler would load for the printer: its config file.
HMODULE load_driver(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed ? needed : 1);
    if (!GetPrinterDriverW(printer, nullptr, 2, buf.data(), needed, &needed))
        return nullptr;
    return LoadLibraryW(reinterpret_cast<DRIVER_INFO_2W *>(buf.data())->pConfigFile);
}

int preferences(const mrlprint::Args &args) {
    return document_sheet(args, false, mrlprint::option(args, L"--shot"));
}

int properties(const mrlprint::Args &args) {
    if (mrlprint::flag(args, L"--defaults"))
        return document_sheet(args, true);
    HANDLE printer = mrlprint::open_printer(args[0]);
    if (!printer)
        return 1;
    int rc = 1;
    HMODULE driver = load_driver(printer);
    auto sheets = driver ? reinterpret_cast<decltype(&DrvDevicePropertySheets)>(
                              reinterpret_cast<void *>(GetProcAddress(driver, "DrvDevicePropertySheets")))
                        : nullptr;
    if (!sheets) {
        err(L"%ls: the printer's driver module cannot be loaded\n", args[0].c_str());
    } else {
        DEVICEPROPERTYHEADER header = {sizeof header, 0, printer, const_cast<LPWSTR>(args[0].c_str())};
        DWORD result = 0;
        // Wine's compstui reports no result (OK and Cancel alike): what the
        // sheet stored tells.
        if (CommonPropertySheetUIW(nullptr, as_propsheetui(sheets), reinterpret_cast<LPARAM>(&header), &result) < 0) {
            err(L"%ls: the sheet could not be shown\n", args[0].c_str());
        } else {
            char language[4] = {};
            LONG units = 0;
            DWORD type = 0, needed = 0;
            if (GetPrinterDataW(printer, const_cast<LPWSTR>(L"Language"), &type, reinterpret_cast<BYTE *>(language), 4,
                                &needed) != ERROR_SUCCESS)
                memcpy(language, "sys", 4);
            GetPrinterDataW(printer, const_cast<LPWSTR>(L"Measurement System"), &type, reinterpret_cast<BYTE *>(&units),
                            4, &needed);
            static const wchar_t *const kUnits[] = {L"as the system", L"inches", L"millimetres", L"centimetres"};
            language[3] = 0;
            out(L"sheet closed; language %ls, units %ls\n", mrlprint::shown(language).c_str(),
                units >= 0 && units <= 3 ? kUnits[units] : L"as the system");
            rc = 0;
        }
    }
    if (driver)
        FreeLibrary(driver);
    ClosePrinter(printer);
    return rc;
}

} // namespace

MRLPRINT_COMMAND(L"preferences",
                 L"PRINTER [--shot FILE.bmp]  edit the printer's settings in its document sheet, print the result; "
                 L"--shot saves a picture of the sheet and cancels it",
                 preferences);
MRLPRINT_COMMAND(L"properties",
                 L"PRINTER [--defaults]  open the printer's device sheet, or with --defaults its default settings",
                 properties);
