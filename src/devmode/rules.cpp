// Device-mode defaults, merging and conversion. Every read and write of a
// device mode stays inside its claimed size (see rules.h).
#include "rules.h"

#include "../foundation/lebytes.h"
#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "../model/model.h"

#include <algorithm>
#include <cstring>

using devmode::has_field;
using devmode::private_part;
using devmode::total_size;

namespace {

constexpr WORD kCommonVersion = 1;
constexpr DWORD kDefaultFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES |
                                 DM_DEFAULTSOURCE | DM_PRINTQUALITY | DM_COLOR | DM_YRESOLUTION | DM_TTOPTION;
static_assert(kDefaultFields == 0x6F0F, "default dmFields");

// Halftone defaults, device dpi and pattern size aside.
const MRL_DEVHTINFO kDefaultHT = {
    2, // HT_FLAG_HAS_BLACK_DYE
    0,
    0,
    {{6380, 3350, 0},
     {2345, 6075, 0},
     {1410, 932, 0},
     {2000, 2450, 0},
     {5210, 2100, 0},
     {4750, 5100, 0},
     {3127, 3290, 0},
     12500,
     12500,
     12500,
     585,
     120,
     0,
     0,
     0,
     10000},
};

const MRL_COLORADJUSTMENT kDefaultCA = {24, 0, 0, 10000, 10000, 10000, 0, 10000, 0, 0, 0, 0};

DWORD fields_of(const DEVMODEW *dm) { return MRL_DM_HAS(dm, dmFields) ? dm->dmFields : 0; }

void set_fields(DEVMODEW *dm, DWORD set, DWORD clear = 0) {
    if (MRL_DM_HAS(dm, dmFields))
        dm->dmFields = (dm->dmFields & ~clear) | set;
}

// The block carried between device modes: found through a tail that is valid
// by the rules of get_tail.
devmode::ConfigBlock carried_block(const DEVMODEW *dm) {
    if (!prtconfig::get_tail(dm))
        return {};
    return devmode::locate_config(private_part(dm), dm->dmDriverExtra, devmode::BlockUse::carry);
}

bool ranges_overlap(const void *a, LONG na, const void *b, LONG nb) {
    auto pa = reinterpret_cast<uintptr_t>(a), pb = reinterpret_cast<uintptr_t>(b);
    return pa < pb + uintptr_t(nb) && pb < pa + uintptr_t(na);
}

} // namespace

WORD CheckDevmodeVersion(const DEVMODEW *dm) {
    if (!dm)
        return 0;
    switch (dm->dmSize) {
    case 188:
        return 0x0320;
    case 212:
        return 0x0400;
    case 220:
        return 0x0401;
    default:
        break;
    }
    if (dm->dmSize == 0xFFFF || dm->dmDriverVersion > 0x0500 || dm->dmSize < devmode::kHeaderSize)
        return 0;
    return dm->dmSpecVersion;
}

LONG ConvertDevmode(const DEVMODEW *in, DEVMODEW *out) {
    if (!CheckDevmodeVersion(in))
        return 1;
    WORD version = CheckDevmodeVersion(out);
    if (!version)
        return -1;

    // Zeroing out first must not destroy in: work from a copy when they overlap.
    void *copy = nullptr;
    if (ranges_overlap(in, total_size(in), out, total_size(out))) {
        copy = MEMALLOC(size_t(total_size(in)));
        if (!copy)
            return -1;
        mrl::__memcpy(copy, in, total_size(in));
        in = static_cast<const DEVMODEW *>(copy);
    }

    const WORD driver_version = out->dmDriverVersion, size = out->dmSize, extra = out->dmDriverExtra;
    const LONG pub = std::min(out->dmSize, in->dmSize);
    mrl::__memset(out, 0, size);
    mrl::__memcpy(out, in, pub);
    out->dmSpecVersion = version;
    out->dmDriverVersion = driver_version;
    out->dmSize = size;
    out->dmDriverExtra = extra;

    const LONG priv = std::min(out->dmDriverExtra, in->dmDriverExtra);
    mrl::__memset(private_part(out), 0, out->dmDriverExtra);
    mrl::__memcpy(private_part(out), private_part(in), priv);

    if (copy)
        MEMFREE(copy);
    return pub + priv;
}

bool SetDefaultDevMode(DEVMODEW *dm, const WCHAR *name, const PDT *pdt) {
    if (!dm)
        return false;
    mrl::__memset(dm, 0, devmode::kPublicSize);
    if (name) {
        for (int i = 0; i < CCHDEVICENAME - 1 && name[i]; ++i)
            dm->dmDeviceName[i] = name[i];
    }
    dm->dmDriverVersion = devmode::kDriverVersion;
    dm->dmSpecVersion = devmode::kSpecVersion;
    dm->dmSize = devmode::kPublicSize;
    dm->dmFields = kDefaultFields;
    dm->dmOrientation = 1;
    if (pdt) {
        dm->dmPaperLength = pdt->default_form_length;
        dm->dmPaperWidth = pdt->default_form_width;
        dm->dmPrintQuality = pdt->dpi;
        dm->dmYResolution = pdt->printer_dpi;
        dm->dmColor = pdt->color_type;
        dm->dmTTOption = pdt->default_tt_option;
    }
    dm->dmScale = 100;
    dm->dmCopies = 1;
    dm->dmDefaultSource = 0;
    dm->dmCollate = 0;
    dm->dmPaperSize = DMPAPER_USER;
    return SetDefaultCommonPrivDm(dm);
}

bool SetDefaultCommonPrivDm(DEVMODEW *dm) {
    if (!dm)
        return false;
    auto *cp = reinterpret_cast<COMMONPRIVATEDM *>(private_part(dm));
    cp->size = devmode::kCommonSize;
    cp->version = kCommonVersion;
    cp->signature[0] = 'M';
    cp->signature[1] = 'D';
    cp->signature[2] = 'T';
    cp->signature[3] = 'N';
    cp->ca = kDefaultCA;
    DefaultDevHTInfo(&cp->ht, dm);
    return true;
}

bool DefaultDevHTInfo(MRL_DEVHTINFO *ht, const DEVMODEW *dm) {
    if (!ht)
        return false;
    *ht = kDefaultHT;
    LONG quality = MRL_DM_HAS(dm, dmPrintQuality) ? dm->dmPrintQuality : 0;
    LONG yres = MRL_DM_HAS(dm, dmYResolution) ? dm->dmYResolution : 0;
    LONG r = std::min(quality, yres);
    ht->DevPelsDPI = DWORD(r);
    ht->HTPatternSize = r >= 2400 ? 15 : r >= 1800 ? 13 : r >= 1200 ? 11 : r >= 900 ? 9 : r >= 400 ? 7 : r >= 180 ? 5 : 3;
    return true;
}

void CopyCommonPrivateDm(DEVMODEW *dst, const DEVMODEW *src) {
    COMMONPRIVATEDM *d = GetCommonPrivateDm(dst);
    const COMMONPRIVATEDM *s = GetCommonPrivateDm(src);
    if (!d || !s || d->version != s->version)
        return;
    LONG n = std::min<LONG>(d->size, s->size);
    n = std::min<LONG>(n, std::min(dst->dmDriverExtra, src->dmDriverExtra));
    if (d != s)
        std::memmove(d, s, size_t(n));
}

int ValidateSetDevMode(DEVMODEW *dst, const DEVMODEW *src, const PDT *pdt) {
    if (!src)
        return 1;
    if (!dst)
        return 0;
    // The scratch has dst's layout; it is never smaller than a header so that
    // its size fields can be read whatever dst claims.
    const LONG n = std::max<LONG>(total_size(dst), devmode::kHeaderSize);
    auto *s = static_cast<DEVMODEW *>(MEMALLOC(size_t(n)));
    if (!s)
        return 0;
    mrl::__memcpy(s, dst, n);
    if (ConvertDevmode(src, s) <= 0) {
        MEMFREE(s);
        return 0;
    }

    const DWORD f = fields_of(s);
    if ((f & DM_DEFAULTSOURCE) && MRL_DM_HAS(dst, dmDefaultSource)) {
        dst->dmDefaultSource = s->dmDefaultSource;
        set_fields(dst, DM_DEFAULTSOURCE);
    }
    if ((f & DM_ORIENTATION) && MRL_DM_HAS(dst, dmOrientation)) {
        set_fields(dst, DM_ORIENTATION);
        dst->dmOrientation = (s->dmOrientation == 1 || s->dmOrientation == 2) ? s->dmOrientation : 1;
    }
    if (MRL_DM_HAS(dst, dmPaperLength))
        dst->dmPaperLength = s->dmPaperLength;
    if (MRL_DM_HAS(dst, dmPaperWidth))
        dst->dmPaperWidth = s->dmPaperWidth;
    if ((f & DM_PAPERSIZE) && MRL_DM_HAS(dst, dmPaperSize)) {
        dst->dmPaperSize = s->dmPaperSize;
        if (s->dmPaperSize != 0 && s->dmPaperSize != DMPAPER_USER)
            set_fields(dst, DM_PAPERSIZE, DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME);
        else
            set_fields(dst, DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH, DM_FORMNAME);
    } else if ((f & DM_FORMNAME) && MRL_DM_HAS(dst, dmFormName)) {
        mrl::__memcpy(dst->dmFormName, s->dmFormName, sizeof dst->dmFormName);
        set_fields(dst, DM_FORMNAME, DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH);
    }
    if ((f & DM_SCALE) && MRL_DM_HAS(dst, dmScale)) {
        set_fields(dst, DM_SCALE);
        dst->dmScale = (s->dmScale >= 1 && s->dmScale <= 1000) ? s->dmScale : 100;
    }
    if ((f & DM_COPIES) && MRL_DM_HAS(dst, dmCopies)) {
        set_fields(dst, DM_COPIES);
        LONG max_copies = pdt ? pdt->max_copies : 0;
        LONG limit = max_copies == 0 ? 999 : std::min<LONG>(max_copies, 32767);
        // A negative limit in a damaged table would give negative copies.
        limit = std::max<LONG>(limit, 1);
        SHORT c = s->dmCopies;
        dst->dmCopies = c < 1 ? 1 : c > limit ? SHORT(limit) : c;
    }
    if ((f & DM_PRINTQUALITY) && MRL_DM_HAS(dst, dmPrintQuality)) {
        set_fields(dst, DM_PRINTQUALITY);
        dst->dmPrintQuality = pdt ? pdt->dpi : 0;
    }
    if ((f & DM_COLOR) && MRL_DM_HAS(dst, dmColor)) {
        set_fields(dst, DM_COLOR);
        dst->dmColor = (pdt && pdt->color_type == 2 && s->dmColor == 2) ? 2 : 1;
    }
    if (MRL_DM_HAS(dst, dmDuplex))
        dst->dmDuplex = 1;
    if (MRL_DM_HAS(dst, dmCollate))
        dst->dmCollate = 0;

    if (CheckDevmodeVersion(src))
        CopyCommonPrivateDm(dst, src);
    MEMFREE(s);
    return 1;
}

void SetDefaultPrivateDevMode(DEVMODEW *dm, const _MODEL *model) {
    if (!dm)
        return;
    dm->dmDriverExtra = devmode::kPrivateSize;
    auto *cfg = reinterpret_cast<prtconfig *>(private_part(dm) + devmode::kCommonSize);
    // Reserved fields are this driver's to write as zero.
    mrl::__memset(cfg, 0, sizeof(prtconfig));
    cfg->tail.magic[0] = 'm';
    cfg->tail.magic[1] = 'r';
    cfg->tail.magic[2] = 'l';
    const char *prefix = model ? model->GetPrefix() : "";
    for (int i = 0, end = 0; i < 3; ++i) {
        end = end || !prefix[i];
        cfg->tail.prefix[i] = end ? 0 : prefix[i];
    }
    cfg->tail.size = devmode::kConfigSize;
    prtconfig::Reset(cfg, model);
}

int ValidateSetPrivateDevMode(DEVMODEW *dst, const DEVMODEW *src) {
    // A source of a version this module does not know carries nothing.
    if (!dst || !src || !CheckDevmodeVersion(src))
        return 1;
    devmode::ConfigBlock s = carried_block(src);
    devmode::ConfigBlock d = carried_block(dst);
    if (!s || !d)
        return 1;
    if (mrl::__memcmp(s.tail->prefix, d.tail->prefix, 3) || s.version() != d.version())
        return 1;
    LONG n = std::min(s.carried(), d.carried());
    // The destination lies inside dst, which is writable.
    auto *to = const_cast<unsigned char *>(d.start);
    if (s.start != d.start)
        std::memmove(to, s.start, size_t(n));
    devmode::terminate_user(to, n);
    return 1;
}
