#include "model_devmode.h"

#include "../foundation/util.h"
#include "../model/model.h"
#include "rules.h"

MemBlock<DEVMODEW> NewDevmode(const _MODEL &model, const WCHAR *name) {
    auto dm = MemBlock<DEVMODEW>::alloc(devmode::kFullSize);
    if (dm)
        DefaultDevmode(model, dm.get(), name);
    return dm;
}

bool DefaultDevmode(const _MODEL &model, DEVMODEW *dm, const WCHAR *name) {
    if (!dm)
        return false;
    SetDefaultDevMode(dm, name, model.GetPDT());
    SetDefaultPrivateDevMode(dm, &model);
    return true;
}

bool MergeDevmode(const _MODEL &model, DEVMODEW *dst, const DEVMODEW *src) {
    if (!dst || !src || !ValidateSetDevMode(dst, src, model.GetPDT()))
        return false;
    ValidateSetPrivateDevMode(dst, src);
    return true;
}

bool CopyDevmode(DEVMODEW *dst, const DEVMODEW *src) {
    if (!dst || !src)
        return false;
    mrl::__memcpy(dst, src, devmode::total_size(src));
    return true;
}
