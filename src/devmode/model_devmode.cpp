// The model's device-mode services: what the exports and the UI object call.
#include "../foundation/util.h"
#include "../model/model.h"
#include "rules.h"

LONG _MODEL::DevmodeSize() { return devmode::kConfigSize + 384; }

DEVMODEW *_MODEL::NewDevmode(const WCHAR *name) const {
    auto *dm = static_cast<DEVMODEW *>(MEMALLOC(DevmodeSize()));
    if (dm)
        DefaultDevmode(dm, name);
    return dm;
}

bool _MODEL::DefaultDevmode(DEVMODEW *dm, const WCHAR *name) const {
    if (!dm)
        return false;
    SetDefaultDevMode(dm, name, GetPDT());
    SetDefaultPrivateDevMode(dm, this);
    return true;
}

bool _MODEL::MergeDevmode(DEVMODEW *dst, const DEVMODEW *src) const {
    if (!dst || !src || !ValidateSetDevMode(dst, src, GetPDT()))
        return false;
    ValidateSetPrivateDevMode(dst, src);
    return true;
}

bool _MODEL::CopyDevmode(DEVMODEW *dst, const DEVMODEW *src) const {
    if (!dst || !src)
        return false;
    mrl::__memcpy(dst, src, devmode::total_size(src));
    return true;
}
