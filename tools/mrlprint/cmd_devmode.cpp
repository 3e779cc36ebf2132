// mrlprint devmode PRINTER [--in FILE.sdm] [--out FILE.sdm]: the printer's
// default device mode as the driver makes it (model defaults merged with the
// stored default), optionally with a device-settings file applied, decoded
// field by field; --out writes the result as a device-settings file.
#include "command.h"
#include "printer.h"

#include "devmode/layout.h"
#include "devmode/model_devmode.h"
#include "devmode/rules.h"
#include "devmode/sdm.h"
#include "foundation/memory.h"
#include "foundation/util.h"
#include "model/model.h"
#include "model/prtfile.h"
#include "platform/ddiui.h"
#include "platform/globals.h"

#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using mrlprint::err;
using mrlprint::out;

struct Bit {
    DWORD bit;
    const wchar_t *name;
};

const Bit kFields[] = {{DM_ORIENTATION, L"ORIENTATION"}, {DM_PAPERSIZE, L"PAPERSIZE"},
                       {DM_PAPERLENGTH, L"PAPERLENGTH"}, {DM_PAPERWIDTH, L"PAPERWIDTH"},
                       {DM_SCALE, L"SCALE"},             {DM_COPIES, L"COPIES"},
                       {DM_DEFAULTSOURCE, L"DEFAULTSOURCE"}, {DM_PRINTQUALITY, L"PRINTQUALITY"},
                       {DM_COLOR, L"COLOR"},             {DM_DUPLEX, L"DUPLEX"},
                       {DM_YRESOLUTION, L"YRESOLUTION"}, {DM_TTOPTION, L"TTOPTION"},
                       {DM_COLLATE, L"COLLATE"},         {DM_FORMNAME, L"FORMNAME"}};

const Bit kImageFlags[] = {{prtconfig::kRotate180, L"rotate-180"},
                           {prtconfig::kMirror, L"mirror"},
                           {prtconfig::kNegative, L"negative"},
                           {prtconfig::kDistance, L"distance"}};

const Bit kDitherFlags[] = {{dithercfg::kMirror, L"mirror"}, {dithercfg::kFlip, L"flip"}, {dithercfg::kNegative, L"negative"}};

std::wstring bits(DWORD value, const Bit *table, size_t n) {
    std::wstring s;
    for (size_t i = 0; i < n; ++i)
        if (value & table[i].bit) {
            s += s.empty() ? L"" : L" | ";
            s += table[i].name;
            value &= ~table[i].bit;
        }
    if (value) {
        wchar_t rest[16];
        swprintf(rest, 16, L"0x%lX", static_cast<unsigned long>(value));
        s += s.empty() ? L"" : L" | ";
        s += rest;
    }
    return s.empty() ? L"none" : s;
}

template <size_t N> std::wstring bits(DWORD value, const Bit (&table)[N]) { return bits(value, table, N); }

// A fixed-size wide field that may lack its terminator.
std::wstring wide_field(const WCHAR *p, size_t n) {
    size_t len = 0;
    while (len < n && p[len])
        ++len;
    return std::wstring(p, len);
}

const wchar_t *pick(const wchar_t *const *names, size_t n, long v) {
    return v >= 0 && size_t(v) < n ? names[v] : L"out of range";
}

void print_public(const DEVMODEW *dm) {
    out(L"public part (%u bytes)\n", dm->dmSize);
    out(L"  dmDeviceName      \"%ls\"\n", mrlprint::shown(wide_field(dm->dmDeviceName, CCHDEVICENAME)).c_str());
    out(L"  dmSpecVersion     0x%04X\n", dm->dmSpecVersion);
    out(L"  dmDriverVersion   0x%04X\n", dm->dmDriverVersion);
    out(L"  dmSize            %u\n", dm->dmSize);
    out(L"  dmDriverExtra     %u\n", dm->dmDriverExtra);
    out(L"  dmFields          0x%08lX (%ls)\n", static_cast<unsigned long>(dm->dmFields), bits(dm->dmFields, kFields).c_str());
    out(L"  dmOrientation     %d (%ls)\n", dm->dmOrientation,
        dm->dmOrientation == 1 ? L"portrait" : dm->dmOrientation == 2 ? L"landscape" : L"?");
    out(L"  dmPaperSize       %d%ls\n", dm->dmPaperSize, dm->dmPaperSize == DMPAPER_USER ? L" (user size)" : L"");
    out(L"  dmPaperLength     %d (%.1f mm)\n", dm->dmPaperLength, dm->dmPaperLength / 10.0);
    out(L"  dmPaperWidth      %d (%.1f mm)\n", dm->dmPaperWidth, dm->dmPaperWidth / 10.0);
    out(L"  dmScale           %d %%\n", dm->dmScale);
    out(L"  dmCopies          %d\n", dm->dmCopies);
    out(L"  dmDefaultSource   %d\n", dm->dmDefaultSource);
    out(L"  dmPrintQuality    %d dpi\n", dm->dmPrintQuality);
    out(L"  dmColor           %d (%ls)\n", dm->dmColor, dm->dmColor == 2 ? L"colour" : L"monochrome");
    out(L"  dmDuplex          %d\n", dm->dmDuplex);
    out(L"  dmYResolution     %d dpi\n", dm->dmYResolution);
    out(L"  dmTTOption        %d\n", dm->dmTTOption);
    out(L"  dmCollate         %d\n", dm->dmCollate);
    out(L"  dmFormName        \"%ls\"\n", mrlprint::shown(wide_field(dm->dmFormName, CCHFORMNAME)).c_str());
    out(L"  dmICMIntent       %lu\n", static_cast<unsigned long>(dm->dmICMIntent));
}

void print_common(const DEVMODEW *dm) {
    const COMMONPRIVATEDM *cp = GetCommonPrivateDm(dm);
    if (!cp) {
        out(L"common header: none\n");
        return;
    }
    const MRL_DEVHTINFO &ht = cp->ht;
    const MRL_COLORADJUSTMENT &ca = cp->ca;
    out(L"common header (offset %u)\n", dm->dmSize);
    out(L"  size %u, version %u, signature \"MDTN\"\n", cp->size, cp->version);
    out(L"  halftone: flags 0x%lX, pattern size %lu, device %lu dpi\n", static_cast<unsigned long>(ht.HTFlags),
        static_cast<unsigned long>(ht.HTPatternSize), static_cast<unsigned long>(ht.DevPelsDPI));
    out(L"  colour info: white (%ld, %ld), gamma R %ld G %ld B %ld\n", static_cast<long>(ht.ColorInfo.AlignmentWhite.x),
        static_cast<long>(ht.ColorInfo.AlignmentWhite.y), static_cast<long>(ht.ColorInfo.RedGamma),
        static_cast<long>(ht.ColorInfo.GreenGamma), static_cast<long>(ht.ColorInfo.BlueGamma));
    out(L"  colour adjustment: size %u, flags 0x%X, illuminant %u, gamma %u/%u/%u, black %u, white %u,\n", ca.caSize,
        ca.caFlags, ca.caIlluminantIndex, ca.caRedGamma, ca.caGreenGamma, ca.caBlueGamma, ca.caReferenceBlack,
        ca.caReferenceWhite);
    out(L"                     contrast %d, brightness %d, colourfulness %d, red-green tint %d\n", ca.caContrast,
        ca.caBrightness, ca.caColorfulness, ca.caRedGreenTint);
}

void print_dither(const dithercfg &d) {
    static const wchar_t *const methods[] = {L"threshold", L"ordered (Bayer)", L"ordered (clustered dot)",
                                             L"algebraic", L"error diffusion"};
    static const wchar_t *const bayer[] = {L"2 x 2", L"4 x 4", L"8 x 8"};
    static const wchar_t *const cluster[] = {L"2 x 2", L"4 x 4", L"6 x 6", L"8 x 8"};
    static const wchar_t *const kernels[] = {L"Floyd-Steinberg", L"Jarvis"};
    out(L"  dither\n");
    out(L"    0 method          %d (%ls)\n", d.method, pick(methods, 5, d.method));
    out(L"    1 brightness      %d\n", d.brightness);
    out(L"    2 contrast        %d\n", d.contrast);
    out(L"    3 red offset      %d\n", d.red);
    out(L"    4 green offset    %d\n", d.green);
    out(L"    5 blue offset     %d\n", d.blue);
    out(L"    6 Bayer size      %d (%ls)\n", d.bayer_size, pick(bayer, 3, d.bayer_size));
    out(L"    7 cluster size    %d (%ls)\n", d.cluster_size,
        d.cluster_size == -1 ? L"from the resolution" : pick(cluster, 4, d.cluster_size));
    out(L"    8 kernel          %d (%ls)\n", d.kernel, pick(kernels, 2, d.kernel));
    out(L"    9 algebraic index %d\n", d.algebraic);
    out(L"   10 flags           0x%X (%ls)\n", WORD(d.flags), bits(WORD(d.flags), kDitherFlags).c_str());
    out(L"   11 reserved        %d\n", d.reserved);
}

void print_config(const DEVMODEW *dm) {
    const prtconfig *cfg = prtconfig::get_cfg(dm);
    if (!cfg) {
        out(L"configuration block: none\n");
        return;
    }
    const auto offset = reinterpret_cast<const unsigned char *>(cfg) - reinterpret_cast<const unsigned char *>(dm);
    out(L"configuration block (offset %ld)\n", static_cast<long>(offset));
    for (int slot = 0; slot < 4; ++slot) {
        std::string text(cfg->user[slot], strnlen(cfg->user[slot], sizeof cfg->user[slot]));
        out(L"  user %d            \"%ls\"\n", slot, mrlprint::shown(text.c_str()).c_str());
    }
    out(L"  data size         %u\n", cfg->data_size);
    out(L"  version           %u\n", cfg->version);
    out(L"  image flags       0x%04X (%ls)\n", cfg->image_flags, bits(cfg->image_flags, kImageFlags).c_str());
    out(L"  distance          %ld um%ls\n", static_cast<long>(cfg->distance),
        (cfg->image_flags & prtconfig::kDistance) ? L"" : L" (not in force)");
    print_dither(cfg->dither);
    out(L"  option value      %d%ls\n", cfg->option_value, (cfg->option_flags & prtconfig::kOptionOn) ? L"" : L" (off)");
    out(L"  option flags      0x%04X\n", cfg->option_flags);
    const endconfig *tail = prtconfig::get_tail(dm);
    out(L"  tail              \"%.3hs\", prefix \"%.3hs\", block size %u\n", tail->magic, tail->prefix, tail->size);
}

// Wine's spooler keeps a printer's default as an ANSI device mode in the
// printer's key and copies it by the sizes it claims, past the end of what is
// stored (the process faults). A value whose claimed sizes exceed it, read
// as either layout, is never asked for.
bool stored_default_whole(const std::wstring &printer) {
    const std::wstring key = L"System\\CurrentControlSet\\Control\\Print\\Printers\\" + printer;
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Default DevMode", RRF_RT_REG_BINARY, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return true; // not kept there: the spooler's answer is checked below
    std::vector<BYTE> v(size ? size : 1);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Default DevMode", RRF_RT_REG_BINARY, nullptr, v.data(),
                     &size) != ERROR_SUCCESS)
        return false;
    // dmSize and dmDriverExtra at 36 (DEVMODEA) or 68 (DEVMODEW), each after a header of that layout.
    auto fits = [&](size_t at, size_t header) {
        if (size < at + 4)
            return false;
        size_t public_part = v[at] | v[at + 1] << 8, extra = v[at + 2] | v[at + 3] << 8;
        return public_part >= header && public_part + extra <= size;
    };
    return fits(36, 44) || fits(68, devmode::kHeaderSize);
}

// The stored default as the spooler hands it over, checked before the merge
// rules read it: a device mode that claims more bytes than the spooler
// returned would have them read from beyond its block.
void merge_stored_default(HANDLE printer, const std::wstring &name, const _MODEL &model, DEVMODEW *dm) {
    if (!stored_default_whole(name)) {
        out(L"stored default: ignored, it claims more bytes than are stored\n");
        return;
    }
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed ? needed : 1);
    if (!GetPrinterW(printer, 2, buf.data(), needed, &needed))
        return;
    const DEVMODEW *stored = reinterpret_cast<PRINTER_INFO_2W *>(buf.data())->pDevMode;
    if (!stored) {
        out(L"stored default: none\n");
        return;
    }
    const BYTE *at = reinterpret_cast<const BYTE *>(stored);
    const size_t room = at >= buf.data() && at < buf.data() + buf.size() ? buf.data() + buf.size() - at : 0;
    if (room < devmode::kHeaderSize || size_t(devmode::total_size(stored)) > room) {
        out(L"stored default: ignored, it claims %lu bytes where the spooler returned %lu\n",
            room < devmode::kHeaderSize ? 0ul : static_cast<unsigned long>(devmode::total_size(stored)),
            static_cast<unsigned long>(room));
        return;
    }
    out(L"stored default: %u + %u bytes, version 0x%04X, fields 0x%08lX, %ls\n", stored->dmSize,
        stored->dmDriverExtra, CheckDevmodeVersion(stored), static_cast<unsigned long>(stored->dmFields),
        prtconfig::get_cfg(stored) ? L"configuration block found" : L"no configuration block");
    MergeDevmode(model, dm, stored);
}

struct Merged {
    DWORD bit;
    const wchar_t *name;
    long (*get)(const DEVMODEW *);
};

// The public fields the merge rules bound by the model.
const Merged kMerged[] = {
    {DM_ORIENTATION, L"dmOrientation", [](const DEVMODEW *d) { return long(d->dmOrientation); }},
    {DM_PAPERSIZE, L"dmPaperSize", [](const DEVMODEW *d) { return long(d->dmPaperSize); }},
    {DM_SCALE, L"dmScale", [](const DEVMODEW *d) { return long(d->dmScale); }},
    {DM_COPIES, L"dmCopies", [](const DEVMODEW *d) { return long(d->dmCopies); }},
    {DM_PRINTQUALITY, L"dmPrintQuality", [](const DEVMODEW *d) { return long(d->dmPrintQuality); }},
    {DM_COLOR, L"dmColor", [](const DEVMODEW *d) { return long(d->dmColor); }},
    {DM_YRESOLUTION, L"dmYResolution", [](const DEVMODEW *d) { return long(d->dmYResolution); }},
    {DM_TTOPTION, L"dmTTOption", [](const DEVMODEW *d) { return long(d->dmTTOption); }},
};

// Applies a device-settings file through the merge rules; says what the file
// held that the model does not take. False (with a message) for a file that
// is not exactly one whole device mode.
bool apply_file(const std::wstring &path, const _MODEL &model, DEVMODEW *dm) {
    std::vector<unsigned char> bytes;
    if (!mrlprint::read_file(path, bytes)) {
        err(L"%ls: cannot be read\n", path.c_str());
        return false;
    }
    const char *why = nullptr;
    const DEVMODEW *in = sdm::Whole(bytes.data(), bytes.size(), &why);
    if (!in) {
        err(L"%ls: not applied: %hs\n", path.c_str(), why);
        return false;
    }
    MergeDevmode(model, dm, in);
    out(L"merged with %ls\n", path.c_str());
    for (const Merged &m : kMerged)
        if ((in->dmFields & m.bit) && m.get(in) != m.get(dm))
            out(L"  dropped: %ls %ld, the model takes %ld\n", m.name, m.get(in), m.get(dm));
    const endconfig *tail = prtconfig::get_tail(in);
    const prtconfig *mine = prtconfig::get_cfg(dm), *theirs = prtconfig::get_cfg(in);
    if (!tail || !theirs)
        out(L"  dropped: the private part (no configuration block of this driver)\n");
    else if (mrl::__memcmp(tail->prefix, model.GetPrefix(), 3))
        out(L"  dropped: the configuration block, made for models of prefix \"%ls\", not \"%hs\"\n",
            mrlprint::shown(std::string(tail->prefix, 3).c_str()).c_str(), model.GetPrefix());
    else if (!mine || theirs->version != mine->version)
        out(L"  dropped: the configuration block of version %u\n", theirs->version);
    return true;
}

int run(const mrlprint::Args &args) {
    const std::wstring in = mrlprint::option(args, L"--in"), outfile = mrlprint::option(args, L"--out");
    mrlprint::PrinterModel printer(args[0]);
    if (!printer.ok())
        return 1;
    _MODEL &model = printer.model();
    DEVMODEW *dm = NewDevmode(model, reinterpret_cast<const WCHAR *>(args[0].c_str())).release();
    if (!dm) {
        err(L"out of memory\n");
        return 1;
    }
    // The printer's default as the driver makes it: model defaults merged with the stored default.
    merge_stored_default(printer.handle(), args[0], model, dm);
    int rc = 0;
    if (!in.empty() && !apply_file(in, model, dm))
        rc = 1;
    if (rc == 0) {
        out(L"device mode of %ls (model %ls, prefix %hs), %ld bytes\n", args[0].c_str(),
            mrlprint::shown(model.GetModelName().wstring()).c_str(), model.GetPrefix(),
            static_cast<long>(devmode::total_size(dm)));
        mrlprint::print_devmode(dm);
        if (!outfile.empty()) {
            if (mrlprint::write_file(outfile, sdm::Save(dm))) {
                out(L"written to %ls\n", outfile.c_str());
            } else {
                err(L"%ls: cannot be written\n", outfile.c_str());
                rc = 1;
            }
        }
    }
    MEMFREE(dm);
    return rc;
}

} // namespace

void mrlprint::print_devmode(const DEVMODEW *dm) {
    print_public(dm);
    print_common(dm);
    print_config(dm);
}

MRLPRINT_COMMAND(L"devmode", L"PRINTER [--in FILE.sdm] [--out FILE.sdm]  the printer's default device mode, decoded",
                 run);
