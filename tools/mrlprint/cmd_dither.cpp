// mrlprint dither IN.bmp OUT.bmp: the dithering engine on a 24-bit BMP file,
// with a printer's current settings (what its graphics page shows) or with
// settings given on the command line; PNG when OUT ends in .png.
#include "command.h"
#include "printer.h"

#include "devmode/layout.h"
#include "imaging/bmdither.h"
#include "imaging/picfile.h"
#include "store/prtreg.h"
#include "store/scolor.h"

#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

using mrlprint::err;
using mrlprint::out;

// A whole number within lo..hi from an option; false (reported) otherwise.
bool number(const mrlprint::Args &args, const wchar_t *name, long lo, long hi, SHORT *value) {
    const std::wstring text = mrlprint::option(args, name);
    if (text.empty())
        return true;
    wchar_t *end = nullptr;
    long v = std::wcstol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end || v < lo || v > hi) {
        err(L"mrlprint dither: %ls takes a whole number from %ld to %ld, not \"%ls\"\n", name, lo, hi,
            mrlprint::shown(text).c_str());
        return false;
    }
    *value = SHORT(v);
    return true;
}

// The printer's current settings: its default device mode as the driver
// hands it out, and its colour settings.
bool printer_settings(const std::wstring &name, dithercfg *cfg, SHORT *mode, DWORD *palette) {
    mrlprint::PrinterModel printer(name);
    if (!printer.ok())
        return false;
    LPWSTR wname = const_cast<LPWSTR>(name.c_str());
    LONG size = DocumentPropertiesW(nullptr, printer.handle(), wname, nullptr, nullptr, 0);
    std::vector<BYTE> buf(size > 0 ? size_t(size) : 0);
    auto *dm = reinterpret_cast<DEVMODEW *>(buf.data());
    const prtconfig *config = nullptr;
    if (size >= LONG(sizeof(DEVMODEW)) &&
        DocumentPropertiesW(nullptr, printer.handle(), wname, dm, nullptr, DM_OUT_BUFFER) == IDOK &&
        devmode::total_size(dm) <= size)
        config = prtconfig::get_cfg(dm);
    if (!config) {
        err(L"mrlprint dither: %ls: the driver gave no device mode with dither settings\n", name.c_str());
        return false;
    }
    *cfg = config->dither;
    cfg->Validate(printer.model().GetPDT());
    *mode = bmDither::kMono;
    if (dm->dmColor == DMCOLOR_COLOR) {
        SCOLOR colours;
        colours.Init(&printer.model());
        prtreg reg;
        reg.init(printer.handle(), name.c_str());
        colours.Load(reg);
        colours.GeneratePalette(palette);
        *mode = SHORT(colours.GetMode());
    }
    return true;
}

int run(const mrlprint::Args &args) {
    const std::wstring in = args[0], outfile = args[1], printer = mrlprint::option(args, L"--printer");
    dithercfg cfg;
    cfg.Reset();
    cfg.cluster_size = 2;
    SHORT mode = bmDither::kMono;
    DWORD palette[16];
    SCOLOR process;
    process.InitFlags(0x10);
    process.SetMode(SCOLOR::kFourColourAlt, true);
    process.GeneratePalette(palette);

    if (printer.empty() && mrlprint::option(args, L"--method").empty()) {
        err(L"mrlprint dither: give --printer P or --method M\n");
        return 2;
    }
    if (!printer.empty() && !printer_settings(printer, &cfg, &mode, palette))
        return 1;
    SHORT size = -1;
    const bool ok = number(args, L"--method", 0, 4, &cfg.method) && number(args, L"--matrix", 0, 3, &size) &&
                    number(args, L"--kernel", 0, 1, &cfg.kernel) && number(args, L"--sequence", 0, 19, &cfg.algebraic) &&
                    number(args, L"--brightness", -100, 100, &cfg.brightness) &&
                    number(args, L"--contrast", -100, 100, &cfg.contrast) &&
                    number(args, L"--red", -100, 100, &cfg.red) && number(args, L"--green", -100, 100, &cfg.green) &&
                    number(args, L"--blue", -100, 100, &cfg.blue) && number(args, L"--mode", 0, 3, &mode);
    if (!ok)
        return 2;
    if (size >= 0) {
        if (cfg.method == dithercfg::kBayer && size > 2) {
            err(L"mrlprint dither: the Bayer matrix sizes are 0 to 2 (2x2, 4x4, 8x8)\n");
            return 2;
        }
        (cfg.method == dithercfg::kBayer ? cfg.bayer_size : cfg.cluster_size) = size;
    }
    const struct {
        const wchar_t *name;
        SHORT bit;
    } flags[] = {{L"--mirror", dithercfg::kMirror}, {L"--flip", dithercfg::kFlip}, {L"--negative", dithercfg::kNegative}};
    for (const auto &f : flags)
        if (mrlprint::flag(args, f.name))
            cfg.flags = SHORT(cfg.flags | f.bit);

    std::vector<unsigned char> bytes;
    if (!mrlprint::read_file(in, bytes)) {
        err(L"mrlprint dither: cannot read %ls\n", in.c_str());
        return 1;
    }
    picfile::Picture pic;
    std::string why;
    if (!picfile::ReadBmp(bytes.data(), bytes.size(), &pic, &why)) {
        err(L"mrlprint dither: %ls: %hs\n", in.c_str(), why.c_str());
        return 1;
    }
    bmDither engine;
    engine.SetBitmap(pic.bgr.data(), pic.width, pic.height, pic.width * 3);
    engine.SetDither(cfg);
    engine.SetPalette(palette, 16);
    engine.SetColorMode(mode, mrlprint::flag(args, L"--index"));
    mrlprint::flag(args, L"--smooth") ? engine.DitherSmooth() : engine.Dither();

    std::wstring lower = outfile;
    for (wchar_t &c : lower)
        c = wchar_t(std::towlower(c));
    const bool png = lower.size() > 4 && lower.compare(lower.size() - 4, 4, L".png") == 0;
    if (!mrlprint::write_file(outfile, png ? picfile::WritePng(pic) : picfile::WriteBmp(pic))) {
        err(L"mrlprint dither: cannot write %ls\n", outfile.c_str());
        return 1;
    }
    static const wchar_t *const kMethods[] = {L"threshold", L"Bayer", L"clustered dot", L"algebraic", L"error diffusion"};
    out(L"%ls: %ldx%ld, %ls, colour mode %d%ls -> %ls\n", in.c_str(), long(pic.width), long(pic.height),
        kMethods[cfg.method], int(mode), mrlprint::flag(args, L"--smooth") ? L", smoothed" : L"", outfile.c_str());
    return 0;
}

} // namespace

MRLPRINT_COMMAND(L"dither",
                 L"IN.bmp OUT.bmp [--printer P] [--method M] [--matrix N] [--kernel K] [--sequence I] [--smooth] "
                 L"[--index] [--brightness B] [--contrast C] [--red R] [--green G] [--blue B] [--mode MODE] [--mirror] "
                 L"[--flip] [--negative]  a 24-bit BMP dithered as the printer P would print it, or with the settings "
                 L"given (method 0 threshold, 1 Bayer, 2 clustered dot, 3 algebraic, 4 error diffusion; matrix size "
                 L"0-2 Bayer, 0-3 clustered dot; kernel 0 Floyd-Steinberg, 1 Jarvis; sequence 0-19; mode 0 "
                 L"monochrome, 1 four-colour palette, 2 colour planes, 3 planes with black); PNG when OUT ends in .png",
                 run);
