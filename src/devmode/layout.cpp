// Locating the private records of a device mode of any claimed size.
#include "layout.h"

namespace {

bool is_signature(const BYTE *p) { return p[0] == 'M' && p[1] == 'D' && p[2] == 'T' && p[3] == 'N'; }

} // namespace

const COMMONPRIVATEDM *GetCommonPrivateDm(const DEVMODEW *dm) {
    // A header cut short by dmDriverExtra counts as missing: callers read all of it.
    if (!dm || dm->dmDriverExtra < sizeof(COMMONPRIVATEDM))
        return nullptr;
    auto *cp = reinterpret_cast<const COMMONPRIVATEDM *>(devmode::private_part(dm));
    return is_signature(cp->signature) ? cp : nullptr;
}

COMMONPRIVATEDM *GetCommonPrivateDm(DEVMODEW *dm) {
    return const_cast<COMMONPRIVATEDM *>(GetCommonPrivateDm(static_cast<const DEVMODEW *>(dm)));
}

const endconfig *prtconfig::get_tail(const DEVMODEW *dm) {
    if (!dm || !dm->dmSpecVersion || !dm->dmDriverVersion || !dm->dmSize)
        return nullptr;
    if (dm->dmDriverExtra < sizeof(endconfig))
        return nullptr;
    auto *tail = reinterpret_cast<const endconfig *>(devmode::private_part(dm) + dm->dmDriverExtra -
                                                     sizeof(endconfig));
    if (tail->size > dm->dmDriverExtra - sizeof(endconfig))
        return nullptr;
    if (tail->magic[0] != 'm' || tail->magic[1] != 'r' || tail->magic[2] != 'l')
        return nullptr;
    return tail;
}

endconfig *prtconfig::get_tail(DEVMODEW *dm) {
    return const_cast<endconfig *>(get_tail(static_cast<const DEVMODEW *>(dm)));
}

devmode::ConfigBlock devmode::locate_config(const unsigned char *area, LONG n, BlockUse use) {
    ConfigBlock b;
    if (!area || n < LONG(sizeof(endconfig)))
        return b;
    auto *tail = reinterpret_cast<const endconfig *>(area + n - sizeof(endconfig));
    if (tail->magic[0] != 'm' || tail->magic[1] != 'r' || tail->magic[2] != 'l')
        return b;
    LONG size = le::u16(area + n - 2);
    if (use == BlockUse::read) {
        if (size < 1024)
            size += 1024;
        if (size < LONG(sizeof(prtconfig)))
            return b;
    } else if (size < LONG(offsetof(prtconfig, image_flags))) {
        return b;
    }
    if (size > n)
        return b;
    b.start = area + n - size;
    b.size = size;
    b.tail = tail;
    return b;
}

const prtconfig *prtconfig::get_cfg(const DEVMODEW *dm) {
    if (!get_tail(dm))
        return nullptr;
    devmode::ConfigBlock b = devmode::locate_config(devmode::private_part(dm), dm->dmDriverExtra, devmode::BlockUse::read);
    return reinterpret_cast<const prtconfig *>(b.start);
}

prtconfig *prtconfig::get_cfg(DEVMODEW *dm) {
    return const_cast<prtconfig *>(get_cfg(static_cast<const DEVMODEW *>(dm)));
}

void devmode::terminate_user(unsigned char *block, LONG n) {
    for (LONG slot = 0; slot < 4; ++slot) {
        LONG last = slot * 256 + 255;
        if (last < n)
            block[last] = 0;
    }
}
