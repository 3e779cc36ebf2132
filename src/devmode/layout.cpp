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

const prtconfig *prtconfig::get_cfg(const DEVMODEW *dm) {
    const endconfig *tail = get_tail(dm);
    if (!tail)
        return nullptr;
    // A block size below 1024 counts only the part after the user strings.
    LONG back = tail->size >= 1024 ? tail->size : tail->size + 1024;
    // The whole record must lie between the start of the private part and the
    // end of the tail; anything else is a block this driver cannot read.
    if (back < LONG(sizeof(prtconfig)) || back > dm->dmDriverExtra)
        return nullptr;
    auto *end = reinterpret_cast<const unsigned char *>(tail) + sizeof(endconfig);
    return reinterpret_cast<const prtconfig *>(end - back);
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
