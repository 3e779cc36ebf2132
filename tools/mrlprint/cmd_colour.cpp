// mrlprint colour: the colour heads of a multi-head printer as the colour
// dialogs keep them (heads in use, mode, each head's colour and registration),
// the registration test, and a head's offsets set and sent as the
// registration dialog's OK does.
#include "command.h"
#include "printer.h"

#include "pageframe/prtui.h"
#include "pages/ppcolor.h"
#include "platform/seam.h"
#include "store/scolor.h"

#include <cwctype>
#include <memory>
#include <string>

namespace {

using namespace mrlprint;

int WINAPI box_to_stderr(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
    err(L"%ls: %ls\n", caption ? caption : L"", text ? text : L"");
    return IDOK;
}

const wchar_t *mode_name(LONG mode) {
    return mode == SCOLOR::kSpot ? L"spot" : mode == SCOLOR::kFourColour ? L"cmyk" : L"cmy";
}

std::wstring lower(std::wstring s) {
    for (wchar_t &c : s)
        c = wchar_t(std::towlower(c));
    return s;
}

// Comma-separated items.
std::vector<std::wstring> items(const std::wstring &list) {
    std::vector<std::wstring> out;
    for (size_t at = 0; at <= list.size();) {
        size_t end = list.find(L',', at);
        if (end == std::wstring::npos)
            end = list.size();
        out.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

// A whole decimal number within lo..hi.
bool number(const std::wstring &text, long lo, long hi, long *value) {
    wchar_t *end = nullptr;
    long v = text.empty() ? 0 : std::wcstol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < lo || v > hi)
        return false;
    *value = v;
    return true;
}

// A preset's name in the printer's language (either case) or RRGGBB.
bool colour_of(prtui &ui, const std::wstring &text, DWORD *colour) {
    DWORD preset;
    LONG id;
    for (LONG i = 0; SCOLOR::EnumColorPreset(i, &preset, &id); ++i)
        if (lower(text) == lower(ui.locale().GetString(id))) {
            *colour = preset;
            return true;
        }
    wchar_t *end = nullptr;
    unsigned long rgb = text.size() == 6 ? std::wcstoul(text.c_str(), &end, 16) : 0;
    if (text.size() != 6 || *end)
        return false;
    *colour = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16;
    return true;
}

void show(prtui &ui, const SCOLOR &c) {
    out(L"%ld head%ls, %ls mode, reference head %ld\n", c.GetHeads(), c.GetHeads() > 1 ? L"s" : L"",
        mode_name(c.GetMode()), c.GetLastPlane() + 1);
    for (LONG i = 0; i < c.GetHeads(); ++i) {
        DWORD bgr = c.GetColorPlane(i);
        const SCOLORPLANE *plane = c.Plane(i);
        out(L"  head %ld  %-6ls %-14ls #%02X%02X%02X  offsets %ld, %ld\n", i + 1, c.GetColorUsed(i) ? L"in use" : L"off",
            ui.locale().GetString(c.GetColorPlaneID(i)), unsigned(bgr & 0xFF), unsigned(bgr >> 8 & 0xFF),
            unsigned(bgr >> 16 & 0xFF), long(plane->x_offset / 10), long(plane->y_offset / 10));
    }
}

// Mode, heads in use and colours from the options; false after saying what is wrong.
bool set_heads(prtui &ui, SCOLOR &c, const Args &args) {
    const PDT *pdt = ui.model()->GetPDT();
    std::wstring mode = option(args, L"--mode"), use = option(args, L"--use"), colours = option(args, L"--colours");
    if (!mode.empty()) {
        const WORD allowed = pdt->color_flags;
        LONG m = mode == L"spot" && (allowed & 0x1) ? SCOLOR::kSpot
                 : mode == L"cmyk" && (allowed & 0x8) ? SCOLOR::kFourColour
                 : mode == L"cmy" && (allowed & 0x10) ? SCOLOR::kFourColourAlt
                                                      : 0;
        if (!m) {
            err(L"mrlprint colour: the model has no colour mode \"%ls\" (spot, cmyk or cmy, as the model allows)\n",
                shown(mode).c_str());
            return false;
        }
        c.SetMode(m, false);
    }
    const bool editable = c.GetMode() == SCOLOR::kSpot;
    if ((!use.empty() || !colours.empty()) && !editable) {
        err(L"mrlprint colour: in %ls mode the heads and their colours are fixed\n", mode_name(c.GetMode()));
        return false;
    }
    if (!use.empty()) {
        for (LONG i = 0; i < c.GetHeads(); ++i)
            c.SetColorUsed(i, 0);
        for (const std::wstring &item : items(use)) {
            long head;
            if (!number(item, 1, c.GetHeads(), &head)) {
                err(L"mrlprint colour: --use: \"%ls\" is not a head from 1 to %ld\n", shown(item).c_str(), c.GetHeads());
                return false;
            }
            c.SetColorUsed(head - 1, 1);
        }
    }
    if (!colours.empty()) {
        std::vector<std::wstring> list = items(colours);
        if (LONG(list.size()) > c.GetHeads()) {
            err(L"mrlprint colour: --colours: %zu colours for %ld heads\n", list.size(), c.GetHeads());
            return false;
        }
        for (size_t i = 0; i < list.size(); ++i) {
            DWORD colour;
            if (list[i].empty())
                continue;
            if (!colour_of(ui, list[i], &colour)) {
                err(L"mrlprint colour: --colours: \"%ls\" is neither a colour name nor RRGGBB\n", shown(list[i]).c_str());
                return false;
            }
            c.SetColorPlane(LONG(i), colour);
        }
    }
    for (LONG i = 0; i < c.GetHeads(); ++i)
        if (c.GetColorUsed(i))
            return true;
    err(L"mrlprint colour: at least one head must be in use; nothing changed\n");
    return false;
}

int colour(const Args &all) {
    // The words that are not options (every option takes a value).
    Args args;
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].rfind(L"--", 0) == 0)
            ++i;
        else
            args.push_back(all[i]);
    const std::wstring action = args.size() > 1 ? args[1] : L"show";
    PrinterModel printer(args[0]);
    if (!printer.ok())
        return 1;
    platform::windows().MessageBoxW = box_to_stderr;
    std::unique_ptr<prtui> ui(prtui::NewExtUI());
    ui->init(printer.handle(), nullptr, 0);
    struct Restore {
        ~Restore() { platform::reset(); }
    } restore;
    const PDT *pdt = ui->model() ? ui->model()->GetPDT() : nullptr;
    if (!pdt || !(pdt->color_flags & 0x1F)) {
        err(L"\"%ls\": the model prints with one head only; it has no colour heads to set\n", shown(args[0]).c_str());
        return 1;
    }
    prtreg reg;
    reg.init(printer.handle(), ui->printer_name().wstring());
    SCOLOR c;
    c.Init(ui->model());
    c.Load(reg);

    if (action == L"show") {
        show(*ui, c);
        return 0;
    }
    if (action == L"heads") {
        if (!set_heads(*ui, c, all))
            return 2;
        c.Save(reg);
        show(*ui, c);
        return 0;
    }
    if (action == L"register") {
        unsigned char record[4] = {BYTE(c.GetHeads()), 0, 0, 0};
        if (!SendColourEscape(*ui->stream(), kEscRegistrationTest, record, sizeof record)) {
            err(L"the printer's job \"Color Registration Test\" was refused\n");
            return 1;
        }
        out(L"sent the registration test for %ld heads\n", c.GetHeads());
        return 0;
    }
    if (action == L"align") {
        long head, x, y, reference = c.GetLastPlane() + 1;
        if (args.size() != 5 || !number(args[2], 1, c.GetHeads(), &head) || !number(args[3], -200, 200, &x) ||
            !number(args[4], -200, 200, &y)) {
            err(L"mrlprint colour: align needs HEAD (1 to %ld), then X and Y from -200 to 200\n", c.GetHeads());
            return 2;
        }
        std::wstring ref = option(all, L"--reference");
        if (!ref.empty() && !number(ref, 1, c.GetHeads(), &reference)) {
            err(L"mrlprint colour: --reference: \"%ls\" is not a head from 1 to %ld\n", shown(ref).c_str(), c.GetHeads());
            return 2;
        }
        c.SetLastPlane(reference - 1);
        c.Plane(head - 1)->x_offset = x * 10;
        c.Plane(head - 1)->y_offset = y * 10;
        unsigned char record[36];
        SetRegistrationRecord(c, c.GetHeads(), record);
        bool sent = SendColourEscape(*ui->stream(), kEscSetRegistration, record, sizeof record);
        c.Save(reg);
        show(*ui, c);
        if (!sent) {
            err(L"stored, but the printer's job \"Color Registration\" was refused\n");
            return 1;
        }
        return 0;
    }
    err(L"mrlprint colour: unknown action \"%ls\" (show, heads, register or align)\n", shown(action).c_str());
    return 2;
}

MRLPRINT_COMMAND(L"colour",
                 L"PRINTER [ACTION] [HEAD] [X] [Y] [--mode MODE] [--use HEADS] [--colours COLOURS] [--reference HEAD]  "
                 L"the colour heads; ACTION: show (default); heads with --mode spot|cmyk|cmy, --use 1,2 (heads in "
                 L"use), --colours red,black (names or RRGGBB, by head); register prints the registration test; "
                 L"align HEAD X Y sets and sends a head's offsets (-200 to 200; --reference: the head they are "
                 L"measured from)",
                 colour);

} // namespace
