// mrlprint barfonts PRINTER [ACTION] [ARG]: the bar fonts as the bar font page
// shows them, and the page's actions from the command line. Every change is
// read, made and stored as one step under the bar-font list's lock; a file or
// a value that would damage the list is refused before anything is stored.
#include "command.h"
#include "printer.h"

#include "resource_ids.h"

#include "locale/prtlocale.h"
#include "model/model.h"
#include "store/barfont.h"
#include "store/listlock.h"
#include "store/prtreg.h"

#include <cstring>
#include <string>

namespace {

using mrlprint::err;
using mrlprint::out;

struct Context {
    const std::wstring &printer;
    _MODEL &model;
    prtreg &store;
    prtlocale &locale;
    barfontlist &list;
    const mrlprint::Args &args;
};

std::string wide_to_narrow(const std::wstring &w, bool *lossless) {
    std::string s;
    *lossless = true;
    for (wchar_t c : w) {
        *lossless &= c < 0x80;
        s += static_cast<char>(c < 0x80 ? c : '?');
    }
    return s;
}

// The value of --name as a whole number from lo to hi; false (told) when it is given but is not one.
bool number(const mrlprint::Args &args, const wchar_t *name, long lo, long hi, long *value, bool *given) {
    std::wstring text = mrlprint::option(args, name);
    *given = !text.empty();
    if (!*given)
        return true;
    wchar_t *end = nullptr;
    long v = wcstol(text.c_str(), &end, 10);
    if (*end || v < lo || v > hi) {
        err(L"mrlprint barfonts: %ls needs a whole number from %ld to %ld, not \"%ls\"\n", name, lo, hi,
            mrlprint::shown(text).c_str());
        return false;
    }
    *value = v;
    return true;
}

const wchar_t *symbology_name(Context &c, LONG id) {
    const WCHAR *name = c.locale.GetString(IDS_SYMBOLOGY + id);
    return name && *name ? name : L"?";
}

void print_list(Context &c) {
    c.list.Filter(&c.model, false);
    out(L"bar fonts of %ls (%ld dpi, OEM %hs): %ls\n", c.printer.c_str(), static_cast<long>(c.model.GetPDT()->dpi),
        c.model.GetOEM(), mrlprint::count(c.list.Count(), L"font", L"fonts").c_str());
    out(L"  flags: P predefined, D display font, U user option; ! the printer cannot draw it, ~ another resolution\n");
    for (barfontnode *n = c.list.get_first(); n; n = n->get_next()) {
        const barfont &f = n->font;
        uint32_t flags = f.get_flags();
        wchar_t ratio[24] = L"automatic";
        if (f.get_ratio() > 0)
            swprintf(ratio, 24, L"%ld.%02ld:1", static_cast<long>(f.get_ratio() / 100),
                     static_cast<long>(f.get_ratio() % 100));
        out(L"  %lc%lc%lc%lc%lc \"%ls\" %ld dpi: %ls (%ld), %ld mils, ratio %ls, rotation %ld, readable %ld\n",
            n->supported ? L' ' : L'!', n->resolution_matches ? L' ' : L'~', flags & BFF_PREDEFINED ? L'P' : L'-',
            flags & BFF_DISPLAY ? L'D' : L'-', flags & BFF_USER_OPTION ? L'U' : L'-',
            mrlprint::shown(f.get_name()).c_str(), static_cast<long>(f.get_dpi()),
            symbology_name(c, f.get_symbology()), static_cast<long>(f.get_symbology()),
            static_cast<long>(f.get_mils()), ratio, static_cast<long>(f.get_rotation()),
            static_cast<long>(f.get_hr()));
    }
}

// The options of add and edit applied to f; 2 (told) for a bad value.
int apply_options(Context &c, barfont &f) {
    long v = 0;
    bool given = false;
    if (!number(c.args, L"--symbology", 0, 0x7FFF, &v, &given))
        return 2;
    if (given) {
        barfont probe = f;
        probe.set_symbology(v);
        if (v >= kSymbologyCount || v == 14 || v == 29 || !probe.is_supported(c.model.GetVXM())) {
            err(L"mrlprint barfonts: unknown symbology %ld: the printer draws ", v);
            const wchar_t *sep = L"";
            for (LONG id = 0; id < kSymbologyCount; ++id) {
                probe.set_symbology(id);
                if (id != 14 && id != 29 && probe.is_supported(c.model.GetVXM()))
                    err(L"%ls%ld (%ls)", sep, static_cast<long>(id), symbology_name(c, id)), sep = L", ";
            }
            err(L"\n");
            return 2;
        }
        f.change_symbology(v);
    }
    if (!number(c.args, L"--mils", 1, 1000, &v, &given))
        return 2;
    if (given)
        f.set_mils(v);
    if (!number(c.args, L"--ratio", 0, 300, &v, &given))
        return 2;
    if (given)
        f.set_ratio(v);
    if (!number(c.args, L"--rotation", 0, 3, &v, &given))
        return 2;
    if (given)
        f.set_rotation(v);
    if (!number(c.args, L"--readable", 0, 2, &v, &given))
        return 2;
    if (given)
        f.set_hr(v);
    return 0;
}

barfontnode *find(Context &c, const std::string &name) {
    long dpi = 0;
    bool given = false;
    number(c.args, L"--dpi", 1, 9999, &dpi, &given);
    for (barfontnode *n = c.list.get_first(); n; n = n->get_next())
        if (name == n->font.get_name() && (!given || n->font.get_dpi() == dpi))
            return n;
    return nullptr;
}

bool store_list(Context &c, const ListLock &hold) {
    if (!hold.held()) {
        err(L"%ls: the bar-font list is in use by another program; nothing was stored\n", c.printer.c_str());
        return false;
    }
    if (!c.list.Save(c.store, &c.model)) {
        err(L"%ls: the stored bar-font list could not be read whole (or would hold more than %ld fonts); "
            L"nothing was stored\n",
            c.printer.c_str(), static_cast<long>(kMaxBarFonts));
        return false;
    }
    return true;
}

// add NAME / edit NAME / delete NAME.
int change(Context &c, const std::wstring &action, const std::wstring &arg, const ListLock &hold) {
    bool lossless = true;
    std::string name = wide_to_narrow(arg, &lossless);
    barfont named;
    named.set_name(name.c_str());
    if (!lossless || name != named.get_name() || name.empty()) {
        err(L"mrlprint barfonts: \"%ls\" cannot be a bar font name: 1 to 31 of letters, digits, blanks and "
            L"+-,.()[]:;\n",
            mrlprint::shown(arg).c_str());
        return 2;
    }
    barfontnode *node = action == L"add" ? nullptr : find(c, name);
    if (action != L"add" && !node) {
        err(L"%ls: no bar font named \"%ls\"\n", c.printer.c_str(), mrlprint::shown(arg).c_str());
        return 1;
    }
    if (action == L"delete") {
        delete node;
        if (!store_list(c, hold))
            return 1;
        out(L"deleted \"%ls\"\n", mrlprint::shown(arg).c_str());
        return 0;
    }
    barfont f;
    if (node) {
        f = node->font;
    } else {
        barfontnode fresh(c.model.GetPDT());
        f = fresh.font;
        f.set_name(name.c_str());
        const char *oem = c.model.GetOEM();
        f.set_manufacturer(std::strcmp(oem, "omr") == 0 ? nullptr : c.model.GetShortMfgName());
    }
    long dpi = 0;
    bool given = false;
    if (!number(c.args, L"--dpi", 1, 9999, &dpi, &given))
        return 2;
    if (given && !node) {
        f.set_dpi(dpi);
        f.set_mils(15);
        f.set_distance((65 * dpi + 500) / 1000);
    }
    if (int rc = apply_options(c, f))
        return rc;
    if (!node) {
        node = new barfontnode;
        node->font = f;
        for (barfontnode *n = c.list.get_first(); n; n = n->get_next())
            if (n->font.get_dpi() == f.get_dpi() && name == n->font.get_name())
                out(L"replaced the bar font \"%ls\" at %ld dpi\n", mrlprint::shown(arg).c_str(),
                    static_cast<long>(f.get_dpi()));
        c.list.AddTail(node);
    } else {
        node->font = f;
    }
    if (!store_list(c, hold))
        return 1;
    out(L"%ls \"%ls\"\n", action == L"add" ? L"added" : L"changed", mrlprint::shown(arg).c_str());
    return 0;
}

int import_file(Context &c, const std::wstring &file, const ListLock &hold) {
    std::vector<unsigned char> bytes;
    size_t record = 0;
    const char *why = mrlprint::read_file(file, bytes) ? SbfProblem(bytes.data(), bytes.size(), &record)
                                                       : "cannot be read";
    if (why) {
        err(L"%ls: not imported: %hs", file.c_str(), why);
        err(record ? L" (record %zu)\n" : L"\n", record);
        return 1;
    }
    long before = c.list.Count();
    if (!c.list.Load(file.c_str(), false) || !store_list(c, hold))
        return 1;
    long fonts = static_cast<long>((bytes.size() - kSbfHeaderSize) / kBarFontSize);
    out(L"imported %ls: %ls, %ld replaced\n", file.c_str(), mrlprint::count(fonts, L"font", L"fonts").c_str(),
        before + fonts - c.list.Count());
    return 0;
}

int barfonts(HANDLE printer, _MODEL &model, const std::wstring &name, const mrlprint::Args &args) {
    // Every option takes a value, so what is not an option or its value is ACTION or ARG.
    std::vector<std::wstring> words;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i].rfind(L"--", 0) == 0)
            ++i;
        else
            words.push_back(args[i]);
    }
    std::wstring action = words.empty() ? L"list" : words[0];
    std::wstring arg = words.size() > 1 ? words[1] : L"";
    bool needs_arg = action != L"list";
    if (action != L"list" && action != L"add" && action != L"edit" && action != L"delete" && action != L"import" &&
        action != L"export") {
        err(L"mrlprint barfonts: unknown action \"%ls\" (list, add, edit, delete, import, export)\n",
            mrlprint::shown(action).c_str());
        return 2;
    }
    if (needs_arg == arg.empty()) {
        err(needs_arg ? L"mrlprint barfonts: %ls needs %ls\n" : L"mrlprint barfonts: %ls takes no argument\n",
            action.c_str(), action == L"import" || action == L"export" ? L"FILE.sbf" : L"NAME");
        return 2;
    }
    prtreg store;
    store.init(printer, name.c_str());
    prtlocale locale;
    locale.Load(store, &model);
    barfontlist list;
    Context c{name, model, store, locale, list, args};
    int rc = 0;
    {
        // A user's tool may wait longer for the list than the spooler does.
        ListLock hold(kBarFontListLock, 60000);
        list.Load(store, &model);
        if (action == L"import")
            rc = import_file(c, arg, hold);
        else if (action == L"add" || action == L"edit" || action == L"delete")
            rc = change(c, action, arg, hold);
    }
    if (rc)
        return rc;
    if (action == L"export") {
        if (!list.Save(arg.c_str(), true)) {
            err(L"%ls: cannot be written\n", arg.c_str());
            return 1;
        }
        out(L"exported %ls to %ls\n", mrlprint::count(list.Count(), L"bar font", L"bar fonts").c_str(), arg.c_str());
    }
    print_list(c);
    return 0;
}

int run(const mrlprint::Args &args) {
    mrlprint::PrinterModel printer(args[0]);
    return printer.ok() ? barfonts(printer.handle(), printer.model(), args[0], args) : 1;
}

} // namespace

MRLPRINT_COMMAND(L"barfonts",
                 L"PRINTER [ACTION] [ARG] [--symbology ID] [--mils N] [--ratio R] [--rotation N] [--readable N] "
                 L"[--dpi N]  the printer's bar fonts; ACTION: list (default), add NAME, edit NAME, delete NAME, "
                 L"import FILE.sbf, export FILE.sbf (every font); --ratio 250 is 2.5:1, --readable 0 none, 1 above, "
                 L"2 below",
                 run);
