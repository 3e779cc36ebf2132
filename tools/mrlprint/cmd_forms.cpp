// mrlprint forms PRINTER [--install] [--import FILE.sfm] [--export FILE.sfm]:
// the printer's stock list as the driver builds it from the printer data, with
// flags, paper ids, paper and printable sizes and offsets. --install first
// installs the package's predefined stocks as printer set-up does; --import
// adds a form-list file's stocks (shared by the machine) and stores the list;
// --export writes every stock but the user form to a file.
#include "command.h"
#include "printer.h"

#include "foundation/util.h"
#include "model/model.h"
#include "model/prtfile.h"
#include "platform/ddiui.h"
#include "platform/globals.h"
#include "store/listlock.h"
#include "store/predefines.h"
#include "store/prtform.h"
#include "store/prtreg.h"

#include <string>

namespace {

using mrlprint::err;
using mrlprint::out;

// "101.60 mm (4.000 in)"
std::wstring both(LONG um) {
    wchar_t text[64];
    swprintf(text, 64, L"%.2f mm (%.3f in)", um / 1000.0, um / 25400.0);
    return text;
}

std::wstring area(LONG w_um, LONG h_um) {
    wchar_t text[96];
    swprintf(text, 96, L"%.2f x %.2f mm (%.3f x %.3f in)", w_um / 1000.0, h_um / 1000.0, w_um / 25400.0,
             h_um / 25400.0);
    return text;
}

const wchar_t *loading_name(unsigned loading) {
    switch (loading) {
    case 0:
        return L"against the right edge";
    case 1:
        return L"against the left edge";
    case 2:
        return L"centred";
    default:
        return L"unknown";
    }
}

void print_list(const std::wstring &printer, const _MODEL &model, const prtformlist &list) {
    const PDT *pdt = model.GetPDT();
    out(L"stocks of %ls (OEM %hs): unprintable width %ls, paper loading: %ls\n", printer.c_str(), model.GetOEM(),
        both(list.GetUnprintableWidth()).c_str(), loading_name(pdt->paper_loading));
    out(L"  printer takes paper up to %ls; prints up to %ls\n",
        area(pdt->max_paper_width * 100, pdt->max_paper_length * 100).c_str(),
        area(pdt->printable_width, pdt->printable_length).c_str());
    out(L"  flags: U user, P predefined, G global (shared by the machine); paper id 0: not offered\n");
    for (prtform *f = list.get_first(); f; f = f->get_next()) {
        POINT size;
        f->GetFormSize(&size);
        out(L"\n  %3u  %lc%lc%lc  \"%ls\"\n", f->get_paper_id(), f->is_user() ? L'U' : L'-',
            f->is_predefined() ? L'P' : L'-', f->is_global() ? L'G' : L'-', mrlprint::shown(f->get_name()).c_str());
        out(L"       label      %ls\n", area(f->get_width(), f->get_height()).c_str());
        out(L"       paper      %ls = %ld x %ld (0.1 mm)\n", area(f->get_paper_width(), f->get_paper_length()).c_str(),
            static_cast<long>(size.x), static_cast<long>(size.y));
        out(L"       printable  %ls\n", area(f->get_printable_width(), f->get_printable_length()).c_str());
        out(L"       offsets    left %ls, right %ls, top %ls, bottom %ls\n", both(f->get_left_offset()).c_str(),
            both(f->get_right_offset()).c_str(), both(f->get_top_offset()).c_str(),
            both(f->get_bottom_offset()).c_str());
    }
}

// Merges FILE into the list and stores it; false (told) when nothing was stored.
bool import_file(const std::wstring &printer, prtreg &store, prtformlist &list, const std::wstring &file,
                 const ListLock &hold) {
    // A malformed file is refused whole: nothing of it reaches the store.
    std::vector<unsigned char> bytes;
    size_t record = 0;
    const char *why = mrlprint::read_file(file, bytes) ? SfmProblem(bytes.data(), bytes.size(), &record)
                                                       : "cannot be read";
    if (why) {
        err(L"%ls: not imported: %hs", file.c_str(), why);
        err(record ? L" (record %lu)\n" : L"\n", static_cast<unsigned long>(record));
        return false;
    }
    if (!hold.held()) {
        err(L"%ls: the stock list is in use by another program; nothing was imported\n", printer.c_str());
        return false;
    }
    FormImport report;
    report.note = [](void *, const prtform &listed, bool replaced) {
        if (replaced)
            out(L"replaced %ls stock \"%ls\" by the file's\n", listed.is_predefined() ? L"predefined" : L"shared",
                mrlprint::shown(listed.get_name()).c_str());
        else
            out(L"kept %ls stock \"%ls\"; the file's of that name was not imported\n",
                listed.is_user() ? L"the user" : L"predefined", mrlprint::shown(listed.get_name()).c_str());
    };
    if (!list.Import(file.c_str(), report)) {
        err(L"%ls: not a form list, cannot be read, or holds more than %ld stocks\n", file.c_str(),
            static_cast<long>(kMaxForms));
        return false;
    }
    if (!list.can_save()) {
        err(L"%ls: nothing was imported: the machine would then hold %ld shared and %ld predefined stocks "
            L"(at most %ld each), or its stored list could not be read whole\n",
            file.c_str(), list.CountStored(false), list.CountStored(true), static_cast<long>(kMaxForms));
        return false;
    }
    if (!list.Save(store)) {
        err(L"%ls: the stock list cannot be stored\n", printer.c_str());
        return false;
    }
    out(L"imported %ls: %ls, %ld unchanged, %ld replaced, %ld kept\n", file.c_str(),
        mrlprint::count(report.added, L"new stock", L"new stocks").c_str(), report.unchanged, report.replaced,
        report.kept);
    return true;
}

int forms(HANDLE printer, _MODEL &model, const std::wstring &name, const mrlprint::Args &args) {
    prtreg store;
    store.init(printer, name.c_str());
    if (mrlprint::flag(args, L"--install")) {
        if (!InstallPredefines(store, &model)) {
            err(L"%ls: the driver directory cannot be found\n", name.c_str());
            return 1;
        }
        out(L"installed the predefined stocks of OEM %hs\n", model.GetOEM());
    }
    prtformlist list(&model);
    std::wstring import = mrlprint::option(args, L"--import");
    {
        // Read, merged and written back as one step: other processes save
        // stocks too. A user's tool may wait longer than the spooler does.
        ListLock hold(kFormListLock, 60000);
        list.Load(store);
        if (!import.empty() && !import_file(name, store, list, import, hold))
            return 1;
    }
    std::wstring exported = mrlprint::option(args, L"--export");
    if (!exported.empty()) {
        if (!list.Save(exported.c_str())) {
            err(L"%ls: cannot be written\n", exported.c_str());
            return 1;
        }
        long written = 0;
        for (prtform *f = list.get_first(); f; f = f->get_next())
            written += !f->is_user();
        out(L"exported %ls to %ls\n", mrlprint::count(written, L"stock", L"stocks").c_str(), exported.c_str());
    }
    print_list(name, model, list);
    return 0;
}

int run(const mrlprint::Args &args) {
    mrlprint::PrinterModel printer(args[0]);
    return printer.ok() ? forms(printer.handle(), printer.model(), args[0], args) : 1;
}

} // namespace

MRLPRINT_COMMAND(L"forms", L"PRINTER [--install] [--import FILE.sfm] [--export FILE.sfm]  the printer's stock list",
                 run);
