// Printer set-up: the package's predefined stocks go into the store, merged
// with what the store already holds.
#include "../foundation/ostring.h"
#include "../model/model.h"
#include "../model/prtfile.h"
#include "barfont.h"
#include "listlock.h"
#include "predefines.h"
#include "prtform.h"
#include "prtreg.h"

bool PredefinedFileName(const _MODEL *model, const char *extension, OString &path) {
    WCHAR dir[520];
    if (!model || !prtfile::GetDriverDirectory(dir, 520))
        return false;
    path = dir;
    path += model->GetOEM();
    path += "xxeng";
    path += extension;
    return true;
}

bool InstallPredefines(prtreg &store, _MODEL *model) {
    OString path;
    if (!PredefinedFileName(model, ".sfm", path))
        return false;
    // The driver maker's own stocks stay editable everywhere; another OEM's are fixed.
    const char *oem = model->GetOEM();
    bool own = oem[0] == 'o' && oem[1] == 'm' && oem[2] == 'r' && oem[3] == 0;
    {
        ListLock hold(kFormListLock);
        if (!hold.held())
            return false;
        prtformlist forms(model);
        forms.Load(store);
        forms.Load(path.wstring(), own ? SFM_PREDEFINED_GLOBAL : SFM_PREDEFINED);
        forms.Save(store);
    }

    PredefinedFileName(model, ".sbf", path);
    ListLock hold(kBarFontListLock);
    if (!hold.held())
        return false;
    barfontlist fonts;
    fonts.Load(store, model);
    // A package without a bar-font list changes nothing.
    if (fonts.Load(path.wstring(), true))
        fonts.Save(store, model);
    return true;
}
