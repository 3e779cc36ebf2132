// Cost of one DrvDeviceCapabilities(DC_PAPERS) on an installed printer, as a
// ratio to one GetPrinterDriverW on the same printer in the same run.
#include "platform/ddiui.h"
#include "bench_printer.h"
#include "model/model.h"
#include "model/prtfile.h"
#include "store/prtform.h"
#include "store/prtreg.h"
#include "timing.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Median of several rounds of n calls, in microseconds per call.
template <typename F> double per_call(int rounds, int n, F f) {
    std::vector<double> r;
    for (int i = 0; i < rounds; ++i) {
        double t0 = now_us();
        for (int j = 0; j < n; ++j)
            f();
        r.push_back((now_us() - t0) / n);
    }
    std::sort(r.begin(), r.end());
    return r[r.size() / 2];
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    const wchar_t *model = argc > 1 ? argv[1] : L"Kestrel KD42-203dpi";
    BenchPrinter bench(L"mrl bench devcaps", model);
    if (!bench.ready())
        return 1;
    TestPrinter &printer = bench.printer;
    InstalledDriver &driver = bench.driver;
    DWORD needed = 0;
    GetPrinterDriverW(printer.handle(), nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);

    DWORD papers = driver.caps(printer.handle(), printer.wname(), DC_PAPERS, nullptr, nullptr);
    const int rounds = 7, n = 200;
    double caps = per_call(rounds, n, [&] {
        driver.caps(printer.handle(), printer.wname(), DC_PAPERS, nullptr, nullptr);
    });
    double spooler = per_call(rounds, n, [&] {
        GetPrinterDriverW(printer.handle(), nullptr, 2, info.data(), needed, &needed);
    });
    wprintf(L"model %ls: %lu papers\n", model, papers);
    wprintf(L"DrvDeviceCapabilities(DC_PAPERS): %8.1f us/call\n", caps);
    wprintf(L"GetPrinterDriverW(level 2):       %8.1f us/call\n", spooler);
    wprintf(L"ratio: %.2f (target: at most 1.5)\n", caps / spooler);

    // Where the time of one answer goes, measured on the same code linked in.
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
    prtfile::UseDriverDirectoryOf(printer.handle());
    double model_us = per_call(rounds, n / 4, [&] { _MODEL m(printer.handle()); });
    _MODEL m(printer.handle());
    double load_us = per_call(rounds, n / 4, [&] {
        prtformlist forms(&m);
        prtreg store(printer.handle());
        forms.Load(store);
    });
    prtformlist forms(&m);
    prtreg store(printer.handle());
    forms.Load(store);
    double save_us = per_call(rounds, n / 4, [&] { forms.Save(store); });
    // A query right after a list save (here: only the change stamp moved) reads the list anew.
    double fresh_us = per_call(rounds, n / 4, [&] {
        store.BumpChangeStamp();
        driver.caps(printer.handle(), printer.wname(), DC_PAPERS, nullptr, nullptr);
    });
    wprintf(L"  model record:   %8.1f us\n  form list load: %8.1f us\n  form list save: %8.1f us\n", model_us,
            load_us, save_us);
    wprintf(L"  DC_PAPERS after a save elsewhere (stamp write included): %8.1f us\n", fresh_us);
    return 0;
}
