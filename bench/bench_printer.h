// A printer of a sample model with its installed driver loaded: what every
// benchmark and the demo's screenshots start from.
#pragma once

#include "installed_driver.h"
#include "test_printer.h"

#include <cstdio>
#include <vector>

struct BenchPrinter {
    BenchPrinter(const wchar_t *name, const wchar_t *model)
        : model_(model), printer(name, model), driver(printer.handle()) {}

    // False, after saying why on stderr, when the printer or the driver is missing.
    bool ready() const {
        if (!printer.ok()) {
            fwprintf(stderr, L"cannot add a printer of %ls (error %lu)\n", model_, printer.error());
            return false;
        }
        if (!driver.ok() || !driver.device) {
            fwprintf(stderr, L"cannot load the installed driver\n");
            return false;
        }
        return true;
    }

    // The printer's default device mode, as an application asks for it.
    std::vector<BYTE> default_devmode() {
        LONG size = DocumentPropertiesW(nullptr, printer.handle(), printer.wname(), nullptr, nullptr, 0);
        std::vector<BYTE> dm(size > 0 ? size : 1);
        DocumentPropertiesW(nullptr, printer.handle(), printer.wname(), reinterpret_cast<DEVMODEW *>(dm.data()),
                            nullptr, DM_OUT_BUFFER);
        return dm;
    }

private:
    const wchar_t *model_;

public:
    TestPrinter printer;
    InstalledDriver driver;
};
