#include "exports.h"

#include "../model/model.h"

bool RunPrinterSetup(HANDLE hPrinter) {
    _MODEL model(hPrinter);
    if (!model.is_valid())
        return false;
    return UpgradeDefaultDevMode(hPrinter, &model);
}
