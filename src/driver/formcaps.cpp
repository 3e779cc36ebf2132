#include "devcaps.h"

#include "../store/prtform.h"
#include "../store/prtreg.h"

// Loaded then saved at once, so the first query stores the model's list for
// a printer that has none yet.
DWORD FormCapabilities(HANDLE hPrinter, _MODEL &model, WORD index, PVOID out) {
    prtformlist forms(&model);
    prtreg store(hPrinter);
    forms.Load(store);
    forms.SaveIfChanged(store);
    switch (index) {
    case DC_PAPERS:
        return forms.enum_paper_id(static_cast<unsigned short *>(out));
    case DC_PAPERSIZE:
        return forms.enum_paper_size(static_cast<POINT *>(out));
    case DC_PAPERNAMES:
        return forms.enum_paper_name(static_cast<WCHAR *>(out));
    default:
        return static_cast<DWORD>(GDI_ERROR);
    }
}
