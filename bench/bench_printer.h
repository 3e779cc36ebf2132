// A printer of a sample model with its installed driver loaded: what every
// benchmark and the demo's screenshots start from.
#pragma once

#include "installed_driver.h"
#include "test_printer.h"

#include <cstdio>

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

private:
    const wchar_t *model_;

public:
    TestPrinter printer;
    InstalledDriver driver;
};
