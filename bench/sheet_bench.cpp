// Time until the driver's document sheet has painted its first page, as a
// ratio to a blank compstui sheet with one empty page of the same size, both
// opened through CommonPropertySheetUIW in the same run.
#include "bench_printer.h"
#include "sheet_watch.h"
#include "timing.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// An empty page template of the driver's page size (252 x 218 dialog units).
struct EmptyPage {
    DLGTEMPLATE dlg;
    WORD menu, cls, title;
};

INT_PTR CALLBACK empty_proc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// A sheet function with one empty page and nothing else.
LONG CALLBACK blank_sheet(PROPSHEETUI_INFO *info, LPARAM lParam) {
    static EmptyPage page = {{WS_CHILD, 0, 0, 0, 0, 252, 218}, 0, 0, 0};
    if (!info)
        return 1;
    if (info->Reason == PROPSHEETUI_REASON_INIT) {
        PROPSHEETPAGEW psp = {};
        psp.dwSize = sizeof psp;
        psp.dwFlags = PSP_DLGINDIRECT;
        psp.hInstance = GetModuleHandleW(nullptr);
        psp.pResource = &page.dlg;
        psp.pfnDlgProc = empty_proc;
        info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&psp), 0);
    } else if (info->Reason == PROPSHEETUI_REASON_GET_INFO_HEADER && lParam) {
        auto *header = reinterpret_cast<PROPSHEETUI_INFO_HEADER *>(lParam);
        header->Flags = PSUIHDRF_PROPTITLE;
        header->pTitle = const_cast<LPWSTR>(L"Blank");
    }
    info->Result = CPSUI_CANCEL;
    return 1;
}

// The driver's sheet function, timed: how long its INIT reason takes.
LONG(CALLBACK *driver_sheet)(PPROPSHEETUI_INFO, LPARAM) = nullptr;
double init_us = 0;
LONG CALLBACK timed_driver(PROPSHEETUI_INFO *info, LPARAM lParam) {
    double t0 = now_us();
    LONG rc = driver_sheet(info, lParam);
    if (info && info->Reason == PROPSHEETUI_REASON_INIT)
        init_us = now_us() - t0;
    return rc;
}

// Microseconds from the call until the sheet has painted; -1 when it never did.
double time_to_paint(const std::function<void()> &open) {
    double start = now_us(), painted = -1;
    bool ok = sheets::drive(open, [&](HWND, HWND) { painted = now_us(); });
    return ok ? painted - start : -1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    const wchar_t *model = argc > 1 ? argv[1] : L"Kestrel KD42-203dpi";
    BenchPrinter bench(L"mrl bench sheet", model);
    if (!bench.ready())
        return 1;
    TestPrinter &printer = bench.printer;
    InstalledDriver &driver = bench.driver;
    std::vector<BYTE> in = bench.default_devmode(), out(in.size());
    driver_sheet = driver.document;
    auto ours = [&] {
        sheets::open_document_sheet(timed_driver, printer.handle(), printer.wname(),
                                    reinterpret_cast<DEVMODEW *>(in.data()), reinterpret_cast<DEVMODEW *>(out.data()));
    };
    auto blank = [] {
        DWORD result = 0;
        CommonPropertySheetUIW(nullptr, as_propsheetui(blank_sheet), 0, &result);
    };
    // One of each first: the first sheet of a process loads the common controls.
    time_to_paint(blank);
    time_to_paint(ours);
    std::vector<double> driver_ms, blank_ms, init_ms;
    for (int round = 0; round < 7; ++round) {
        double b = time_to_paint(blank), d = time_to_paint(ours);
        if (b < 0 || d < 0) {
            fwprintf(stderr, L"a sheet did not paint (is there a display?)\n");
            return 1;
        }
        blank_ms.push_back(b / 1000);
        driver_ms.push_back(d / 1000);
        init_ms.push_back(init_us / 1000);
    }
    double d = median(driver_ms), b = median(blank_ms);
    wprintf(L"model %ls, median of %zu rounds\n", model, driver_ms.size());
    wprintf(L"document sheet, first page painted: %8.1f ms\n", d);
    wprintf(L"  of which the driver's INIT reason: %8.1f ms\n", median(init_ms));
    wprintf(L"blank sheet, one empty page:        %8.1f ms\n", b);
    wprintf(L"ratio: %.2f (target: at most 1.5)\n", d / b);
    return 0;
}
