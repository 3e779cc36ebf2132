#include "exports.h"

#include "../foundation/util.h"
#include "../model/model.h"
#include "../model/prtfile.h"
#include "../store/predefines.h"
#include "../store/prtreg.h"

namespace {

// A folder as the setup stores it: 260 wide characters, zero-padded, binary.
void store_directory(prtreg &store, const char *name, bool (*get)(WCHAR *, LONG)) {
    WCHAR folder[260] = {};
    if (!get(folder, 259))
        return;
    // The getter may leave the rest of its answer (a module's file name) behind the folder.
    for (size_t i = mrl::__wcslen(folder); i < 260; ++i)
        folder[i] = 0;
    store.SaveRaw(name, reinterpret_cast<const unsigned char *>(folder), sizeof folder, true);
}

} // namespace

bool RunPrinterSetup(HANDLE hPrinter) {
    _MODEL model(hPrinter);
    if (!model.is_valid())
        return false;
    bool upgraded = UpgradeDefaultDevMode(hPrinter, &model);
    prtreg store(hPrinter);
    InstallPredefines(store, &model);
    store_directory(store, "DriverDirectory", prtfile::GetDriverDirectory);
    store_directory(store, "SystemDirectory", prtfile::GetSystemDirectoryW);
    return upgraded;
}
