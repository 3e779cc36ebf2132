// DrvDeviceCapabilities: answers from the merged device mode, the model's
// printer data table and the printer's form list.
#include "exports.h"

#include "../devmode/model_devmode.h"
#include "../foundation/util.h"
#include "../model/model.h"
#include "../platform/seam.h"
#include "devcaps.h"

namespace {

constexpr DWORD kError = static_cast<DWORD>(GDI_ERROR);

WORD clamp_extent(uint16_t v) { return v > 32767 ? 32767 : v; }

DWORD extent(PVOID out, uint16_t width, uint16_t length) {
    WORD w = clamp_extent(width), l = clamp_extent(length);
    if (out) {
        auto *p = static_cast<WORD *>(out);
        p[0] = w;
        p[1] = l;
    }
    return MAKELONG(w, l);
}

} // namespace

DWORD DeviceCapabilitiesFor(HANDLE hPrinter, const WCHAR *printer_name, _MODEL &model, const DEVMODEW *dm,
                            WORD index, PVOID out) {
    const PDT *pdt = model.GetPDT();
    switch (index) {
    case DC_FIELDS:
        return dm->dmFields;
    case DC_PAPERS:
    case DC_PAPERSIZE:
    case DC_PAPERNAMES:
        return FormCapabilities(hPrinter, printer_name, model, index, out);
    case DC_MINEXTENT:
        return extent(out, pdt->min_paper_width, pdt->min_paper_length);
    case DC_MAXEXTENT:
        return extent(out, pdt->max_paper_width, pdt->max_paper_length);
    case DC_BINS:
        if (out)
            *static_cast<WORD *>(out) = static_cast<WORD>(dm->dmDefaultSource);
        return 1;
    case DC_DUPLEX:
        return 0;
    case DC_SIZE:
        return dm->dmSize;
    case DC_EXTRA:
        return dm->dmDriverExtra;
    case DC_VERSION:
        return dm->dmSpecVersion;
    case DC_DRIVER:
        return dm->dmDriverVersion;
    case DC_BINNAMES:
        if (out) {
            static const wchar_t name[] = L"Internal Spool";
            mrl::__memcpy(out, name, sizeof name);
        }
        return 1;
    case DC_ENUMRESOLUTIONS:
        if (out) {
            auto *p = static_cast<LONG *>(out);
            p[0] = pdt->dpi;
            p[1] = pdt->printer_dpi;
        }
        return 1;
    case DC_FILEDEPENDENCIES:
        if (out)
            *static_cast<WCHAR *>(out) = 0;
        return 0;
    case DC_TRUETYPE:
        return DCTT_BITMAP;
    case DC_ORIENTATION:
        return 90;
    case DC_COPIES:
        return static_cast<DWORD>(pdt->max_copies);
    case DC_BINADJUST:
        return 2;
    case DC_EMF_COMPLIANT:
    case DC_DATATYPE_PRODUCED:
    default:
        return kError;
    }
}

extern "C" DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap, PVOID pvOutput,
                                              PDEVMODEW pDevMode) {
    // GDI's DeviceCapabilities calls with no handle: open the printer by its name.
    PrinterHandle opened(hPrinter ? nullptr : pDeviceName, nullptr);
    if (!hPrinter)
        hPrinter = opened.get();
    DWORD result = kError;
    if (hPrinter) {
        _MODEL model(hPrinter);
        if (model.is_valid()) {
            if (MemBlock<DEVMODEW> dm = NewDevmode(model, pDeviceName)) {
                MergeDevmode(model, dm.get(), pDevMode);
                result = DeviceCapabilitiesFor(hPrinter, pDeviceName, model, dm.get(), iDevCap, pvOutput);
            }
        }
    }
    return result;
}
