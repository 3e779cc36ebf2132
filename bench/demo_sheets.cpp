// make demo without a display: every page of the driver's document and device
// sheets, the licence and version dialogs, in English and in German, saved as
// BUILD/screenshots/LANG-SHEET-N-TAB.bmp; the debug page's configuration and
// logging dialogs as LANG-configure.bmp and LANG-logging.bmp.
#include "bench_printer.h"
#include "model/prtfile.h"
#include "platform/seam.h"
#include "resource_ids.h"
#include "sheet_driver.h"
#include "sheet_watch.h"
#include "virtual_queue.h"

#include <cstdio>
#include <string>
#include <vector>

using sheet::shoot;

namespace {

std::wstring file_part(const wchar_t *text) {
    std::wstring s;
    for (; *text; ++text) {
        wchar_t c = *text;
        if ((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9'))
            s += c;
        else if (c >= L'A' && c <= L'Z')
            s += static_cast<wchar_t>(c - L'A' + L'a');
        else if (c != L'&' && !s.empty() && s.back() != L'-')
            s += L'-';
    }
    return s;
}

// Waits until nothing in the window is left to paint.
void settle(HWND window) {
    for (int i = 0; i < 200; ++i) {
        bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
        EnumChildWindows(window, sheets::any_unpainted, reinterpret_cast<LPARAM>(&unpainted));
        if (!unpainted)
            return;
        Sleep(10);
    }
}

struct Owned {
    HWND owner, found;
};

BOOL CALLBACK find_owned(HWND wnd, LPARAM lParam) {
    auto *o = reinterpret_cast<Owned *>(lParam);
    if (GetWindow(wnd, GW_OWNER) == o->owner && IsWindowVisible(wnd)) {
        o->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// Clicks a button of the page, shoots the modal dialog it opens, closes it.
int shoot_dialog(HWND sheet, HWND page, int button, const std::wstring &name, int section = -1, int close = IDOK) {
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, button)));
    Owned o = {sheet, nullptr};
    for (int i = 0; i < 500 && !o.found; ++i, Sleep(10))
        EnumThreadWindows(GetWindowThreadProcessId(sheet, nullptr), find_owned, reinterpret_cast<LPARAM>(&o));
    if (!o.found)
        return 0;
    if (section >= 0) {
        HWND list = GetDlgItem(o.found, IDC_VERSION_SECTIONS);
        SendMessageW(list, LB_SETCURSEL, section, 0);
        SendMessageW(o.found, WM_COMMAND, MAKEWPARAM(IDC_VERSION_SECTIONS, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    settle(o.found);
    int shot = shoot(o.found, name.c_str()) ? 1 : 0;
    PostMessageW(o.found, WM_COMMAND, MAKEWPARAM(close, 0), 0);
    for (int i = 0; i < 500 && IsWindow(o.found); ++i)
        Sleep(10);
    return shot;
}

// Every tab of the sheet; on the about page also its two dialogs, on the
// font page the download dialog (cancelled: nothing is sent).
int shoot_pages(HWND sheet, const std::wstring &prefix) {
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)), shots = 0;
    for (int i = 0; i < count; ++i) {
        SendMessageW(sheet, PSM_SETCURSEL, i, 0);
        wchar_t text[64] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        settle(sheet);
        std::wstring name = prefix + L"-" + std::to_wstring(i + 1) + L"-" + file_part(text);
        shots += shoot(sheet, name.c_str()) ? 1 : 0;
        if (GetDlgItem(page, IDC_ABOUT_LICENSE)) {
            shots += shoot_dialog(sheet, page, IDC_ABOUT_LICENSE, prefix + L"-licence");
            shots += shoot_dialog(sheet, page, IDC_ABOUT_VERSION, prefix + L"-version", 6);
        }
        if (GetDlgItem(page, IDC_FONT_ADD))
            shots += shoot_dialog(sheet, page, IDC_FONT_ADD, prefix + L"-font-download", -1, IDCANCEL);
    }
    return shots;
}

// The debug page's configuration and logging dialogs, from a device sheet made
// in this process: its printer is a virtual label printer whose port the
// spooler is made to report as serial, so the configuration dialog shows the
// settings the printer answers with.
int shoot_debug_dialogs(const wchar_t *model) {
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
    VirtualQueue queue(L"mrl demo debug", model, MRL_VPRINTER);
    int shots = 0;
    if (queue.ok() && prtfile::UseDriverDirectoryOf(queue.printer().handle())) {
        platform::spooler().GetPrinterDataW = vprinter::GetPrinterDataW;
        platform::spooler().GetPrinterW = vprinter::GetPrinterW_serial;
        for (const char *lang : {"eng", "ger"}) {
            SetPrinterDataW(queue.printer().handle(), const_cast<LPWSTR>(L"Language"), REG_BINARY,
                            reinterpret_cast<BYTE *>(const_cast<char *>(lang)), 4);
            std::wstring prefix(lang, lang + 3);
            sheets::drive(
                [&] {
                    DEVICEPROPERTYHEADER header = {sizeof header, 0, queue.printer().handle(), queue.printer().wname()};
                    DWORD result = 0;
                    CommonPropertySheetUIW(nullptr, as_propsheetui(DrvDevicePropertySheets),
                                           reinterpret_cast<LPARAM>(&header), &result);
                },
                [&](HWND sheet, HWND) {
                    if (HWND page = sheet::show_page(sheet, IDC_DBG_CONFIGURE)) {
                        shots += shoot_dialog(sheet, page, IDC_DBG_CONFIGURE, prefix + L"-configure");
                        shots += shoot_dialog(sheet, page, IDC_DBG_LOGGING, prefix + L"-logging");
                    }
                });
        }
        platform::reset();
        prtfile::SetDriverDirectory(nullptr);
    }
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
    return shots;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    const wchar_t *model = argc > 1 ? argv[1] : L"Kestrel KD42-203dpi";
    BenchPrinter bench(L"mrl demo", model);
    if (!bench.ready())
        return 1;
    TestPrinter &printer = bench.printer;
    InstalledDriver &driver = bench.driver;
    std::vector<BYTE> in = bench.default_devmode(), out(in.size());
    int shots = 0;
    for (const wchar_t *lang : {L"eng", L"ger"}) {
        char code[4] = {static_cast<char>(lang[0]), static_cast<char>(lang[1]), static_cast<char>(lang[2]), 0};
        SetPrinterDataW(printer.handle(), const_cast<LPWSTR>(L"Language"), REG_BINARY, reinterpret_cast<BYTE *>(code), 4);
        std::wstring prefix = lang;
        sheets::drive(
            [&] {
                sheets::open_document_sheet(driver.document, printer.handle(), printer.wname(),
                                            reinterpret_cast<DEVMODEW *>(in.data()),
                                            reinterpret_cast<DEVMODEW *>(out.data()));
            },
            [&](HWND sheet, HWND) { shots += shoot_pages(sheet, prefix + L"-document"); });
        sheets::drive(
            [&] {
                DEVICEPROPERTYHEADER header = {sizeof header, 0, printer.handle(), printer.wname()};
                DWORD result = 0;
                CommonPropertySheetUIW(nullptr, as_propsheetui(driver.device), reinterpret_cast<LPARAM>(&header), &result);
            },
            [&](HWND sheet, HWND) { shots += shoot_pages(sheet, prefix + L"-device"); });
    }
    shots += shoot_debug_dialogs(model);
    wprintf(L"%d screenshots in BUILD/screenshots\n", shots);
    return shots > 0 ? 0 : 1;
}
