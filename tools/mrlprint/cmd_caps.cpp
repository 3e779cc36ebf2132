// mrlprint caps PRINTER: every capability answer, decoded, as an application
// gets it through the system's DeviceCapabilitiesW.
#include "command.h"
#include "printer.h"

#include <winspool.h>

#include <vector>

namespace {

struct Cap {
    WORD index;
    const wchar_t *name;
};

const Cap kCaps[] = {{DC_FIELDS, L"DC_FIELDS"},
                     {DC_PAPERS, L"DC_PAPERS"},
                     {DC_PAPERSIZE, L"DC_PAPERSIZE"},
                     {DC_MINEXTENT, L"DC_MINEXTENT"},
                     {DC_MAXEXTENT, L"DC_MAXEXTENT"},
                     {DC_BINS, L"DC_BINS"},
                     {DC_DUPLEX, L"DC_DUPLEX"},
                     {DC_SIZE, L"DC_SIZE"},
                     {DC_EXTRA, L"DC_EXTRA"},
                     {DC_VERSION, L"DC_VERSION"},
                     {DC_DRIVER, L"DC_DRIVER"},
                     {DC_BINNAMES, L"DC_BINNAMES"},
                     {DC_ENUMRESOLUTIONS, L"DC_ENUMRESOLUTIONS"},
                     {DC_FILEDEPENDENCIES, L"DC_FILEDEPENDENCIES"},
                     {DC_TRUETYPE, L"DC_TRUETYPE"},
                     {DC_PAPERNAMES, L"DC_PAPERNAMES"},
                     {DC_ORIENTATION, L"DC_ORIENTATION"},
                     {DC_COPIES, L"DC_COPIES"},
                     {DC_BINADJUST, L"DC_BINADJUST"},
                     {DC_EMF_COMPLIANT, L"DC_EMF_COMPLIANT"},
                     {DC_DATATYPE_PRODUCED, L"DC_DATATYPE_PRODUCED"}};

// Level 5 names the port without the stored default device mode, which this
// command does not need and which the spooler copies by its own claimed size.
std::wstring port_of(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 5, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed ? needed : 1);
    if (!GetPrinterW(printer, 5, buf.data(), needed, &needed))
        return L"";
    const wchar_t *port = reinterpret_cast<PRINTER_INFO_5W *>(buf.data())->pPortName;
    return port ? port : L"";
}

int run(const mrlprint::Args &args) {
    using mrlprint::out;
    const wchar_t *name = args[0].c_str();
    std::wstring port;
    {
        // The answers below would all be failures for a model the driver cannot use.
        mrlprint::PrinterModel printer(args[0]);
        if (!printer.ok())
            return 1;
        port = port_of(printer.handle());
    }
    out(L"capabilities of %ls (port %ls)\n", name, port.c_str());
    auto ask = [&](WORD index, void *output) { return DeviceCapabilitiesW(name, port.c_str(), index, (LPWSTR)output, nullptr); };

    int papers = 0;
    std::vector<WORD> ids;
    std::vector<POINT> sizes;
    std::vector<wchar_t> names;
    for (const Cap &c : kCaps) {
        int r = ask(c.index, nullptr);
        out(L"%2u %-22ls %d", c.index, c.name, r);
        switch (r < 0 ? 0 : c.index) {
        case DC_FIELDS:
        case DC_VERSION:
        case DC_DRIVER:
            out(L" (0x%04X)", r);
            break;
        case DC_MINEXTENT:
        case DC_MAXEXTENT:
            out(L" (width %.1f mm, length %.1f mm)", LOWORD(r) / 10.0, HIWORD(r) / 10.0);
            break;
        case DC_PAPERS:
            papers = r;
            break;
        case DC_BINNAMES:
            if (r > 0) {
                std::vector<wchar_t> bins(24 * r + 1, 0);
                ask(c.index, bins.data());
                out(L" (\"%ls\")", mrlprint::shown(bins.data()).c_str());
            }
            break;
        case DC_ENUMRESOLUTIONS:
            if (r > 0) {
                std::vector<LONG> res(2 * r);
                ask(c.index, res.data());
                out(L" (%ld x %ld dpi)", res[0], res[1]);
            }
            break;
        }
        out(L"\n");
    }
    if (papers > 0) {
        ids.resize(papers);
        sizes.resize(papers);
        names.assign(64 * papers, 0);
        ask(DC_PAPERS, ids.data());
        ask(DC_PAPERSIZE, sizes.data());
        ask(DC_PAPERNAMES, names.data());
        out(L"papers:\n");
        for (int i = 0; i < papers; ++i)
            out(L"  id %5u  %6.1f x %6.1f mm  %ls\n", ids[i], sizes[i].x / 10.0, sizes[i].y / 10.0,
                mrlprint::shown(std::wstring(&names[64 * i], wcsnlen(&names[64 * i], 64))).c_str());
    }
    return 0;
}

} // namespace

MRLPRINT_COMMAND(L"caps", L"PRINTER  every capability answer through DeviceCapabilitiesW, decoded", run);
