// mrlprint install DIR: copies a driver package into the printer-driver
//   directory and registers every model of every driver data file in it; a
//   package for several environments gives the folder for this spooler's.
// mrlprint add-printer NAME --model MODEL [--port PORT] [--replace]: a queue for
//   a model; refused for a name in use (unless replaced) and for a model the
//   driver cannot use.
// mrlprint list: the printers with their model records as the driver reads them.
#include "command.h"
#include "printer.h"
#include "spooler_events.h"

#include "model/ddtmodel.h"
#include "model/model.h"
#include "model/prtfile.h"
#include "model/prtres.h"
#include "platform/ddiui.h"

#include <winspool.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using mrlprint::err;
using mrlprint::out;

std::wstring lower(std::wstring s) {
    for (wchar_t &c : s)
        c = static_cast<wchar_t>(towlower(c));
    return s;
}

bool ends_with(const std::wstring &s, const std::wstring &tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<std::wstring> files_in(const std::wstring &dir) { return prtfile::Find(dir.c_str(), L"*"); }

std::wstring printer_driver_directory() {
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, nullptr, 0, &needed);
    std::vector<wchar_t> buf(needed / sizeof(wchar_t) + 1);
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(buf.data()),
                                    static_cast<DWORD>(buf.size() * sizeof(wchar_t)), &needed))
        return L"";
    return buf.data();
}

// PREFIX -> OEM from the package's packages.txt ("PREFIX OEM" lines).
std::map<std::wstring, std::wstring> package_oems(const std::wstring &dir) {
    std::map<std::wstring, std::wstring> oems;
    FILE *f = _wfopen((dir + L"\\packages.txt").c_str(), L"r");
    if (!f)
        return oems;
    char line[256];
    while (fgets(line, sizeof line, f)) {
        char prefix[16], oem[16];
        if (line[0] != '#' && sscanf(line, "%15s %15s", prefix, oem) == 2) {
            std::string p(prefix), o(oem);
            oems[std::wstring(p.begin(), p.end())] = std::wstring(o.begin(), o.end());
        }
    }
    fclose(f);
    return oems;
}

// Every model name of the data file, in directory order, each once; names
// that cannot name a driver are reported and left out.
std::vector<std::wstring> models_of(const std::wstring &path, int &failed) {
    prtres res;
    std::vector<std::wstring> names;
    if (!res.LoadPath(path.c_str()))
        return names;
    std::set<std::wstring> seen;
    for (LONG id = ddt::kFirstDirectory; id <= ddt::kLastDirectory; ++id) {
        res_node *dir = res.Find(id);
        if (!ddt::as_directory(dir))
            continue;
        ddt::directory_walk walk(dir->GetData(), static_cast<uint32_t>(dir->GetSize()));
        ddt::Entry e;
        while (walk.next(&e)) {
            OString name;
            e.name_to(name);
            std::wstring n = name.wstring();
            if (const char *why = e.name_problem()) {
                err(L"%ls: model \"%ls\": %hs; not installed (see ddtc check)\n", path.c_str(),
                    mrlprint::shown(n.size() > 60 ? n.substr(0, 60) + L"..." : n).c_str(), why);
                ++failed;
            } else if (seen.insert(n).second) {
                names.push_back(n);
            }
        }
    }
    return names;
}

// Language modules a package's models depend on: NAME32LANG.dll for the common
// ("mrl"), model (prefix) and OEM modules, other than the driver's own files.
bool language_module(const std::wstring &file, const std::wstring &prefix, const std::wstring &oem) {
    std::wstring f = lower(file);
    if (!ends_with(f, L".dll") || f == L"mrl32ui.dll" || f == prefix + L"32k.dll" || f == oem + L"32eng.dll")
        return false;
    for (const std::wstring &name : {std::wstring(L"mrl"), prefix, oem})
        if (f.size() == name.size() + 2 + 3 + 4 && f.compare(0, name.size() + 2, name + L"32") == 0)
            return true;
    return false;
}

// A package built for several environments lists them in environments.txt
// ("ENVIRONMENT<TAB>FOLDER" lines); the folder serving this spooler is the one
// named as the last part of its driver directory. Empty when the package has
// no such list (a folder holding one environment's files) or no such folder.
std::wstring environment_folder(const std::wstring &package, const std::wstring &driver_dir, bool &listed) {
    listed = false;
    FILE *f = _wfopen((package + L"\\environments.txt").c_str(), L"r");
    if (!f)
        return L"";
    listed = true;
    std::wstring leaf = lower(driver_dir.substr(driver_dir.find_last_of(L"\\/") + 1));
    std::wstring found;
    char line[256];
    while (found.empty() && fgets(line, sizeof line, f)) {
        const char *tab = strchr(line, '\t');
        if (line[0] == '#' || !tab)
            continue;
        std::string folder(tab + 1, strcspn(tab + 1, "\r\n"));
        std::wstring w(folder.begin(), folder.end());
        if (lower(w) == leaf)
            found = package + L"\\" + w;
    }
    fclose(f);
    return found;
}

int install(const mrlprint::Args &args) {
    std::wstring src = args[0];
    std::wstring dst = printer_driver_directory();
    if (dst.empty()) {
        err(L"no printer-driver directory: %ls\n", mrlprint::error_text(GetLastError()).c_str());
        return 1;
    }
    bool listed = false;
    std::wstring folder = environment_folder(src, dst, listed);
    if (listed && folder.empty()) {
        err(L"%ls: environments.txt lists no folder for this spooler (driver directory %ls); nothing copied\n",
            src.c_str(), dst.c_str());
        return 1;
    }
    if (listed)
        src = folder;
    std::vector<std::wstring> files = files_in(src);
    bool any_data_file = false;
    for (const std::wstring &f : files)
        any_data_file |= ends_with(lower(f), L".ddt");
    if (!any_data_file) {
        err(L"%ls: no driver data file (.ddt) in this folder; nothing copied\n", src.c_str());
        return 1;
    }
    int failed = 0;
    for (const std::wstring &f : files)
        if (!CopyFileW((src + L"\\" + f).c_str(), (dst + L"\\" + f).c_str(), FALSE)) {
            err(L"copy %ls: %ls\n", f.c_str(), mrlprint::error_text(GetLastError()).c_str());
            ++failed;
        }

    std::map<std::wstring, std::wstring> oems = package_oems(src);
    for (const std::wstring &f : files) {
        if (!ends_with(lower(f), L".ddt"))
            continue;
        std::wstring prefix = lower(f.substr(0, f.size() - 4));
        std::wstring oem = oems.count(prefix) ? oems[prefix] : L"omr";
        std::wstring renderer = prefix + L"32k.dll", data_file = oem + L"32eng.dll";
        // Dependent files: the data file itself, the OEM's predefined lists, then the
        // language modules, licence texts and the halftone interface stand-in present.
        std::wstring deps = f + L'\0';
        for (const std::wstring &g : files)
            if (language_module(g, prefix, oem) || lower(g) == oem + L"xxeng.sfm" || lower(g) == oem + L"xxeng.sbf" ||
                (lower(g).rfind(oem + L"xx", 0) == 0 && ends_with(lower(g), L".lic")) || lower(g) == L"htui.dll")
                deps += g + L'\0';
        deps += L'\0';
        std::vector<std::wstring> models = models_of(src + L"\\" + f, failed);
        if (models.empty()) {
            err(L"%ls: no models\n", f.c_str());
            ++failed;
        }
        for (const std::wstring &model : models) {
            DRIVER_INFO_3W info = {};
            info.cVersion = 3;
            info.pName = const_cast<LPWSTR>(model.c_str());
            info.pDriverPath = const_cast<LPWSTR>(renderer.c_str());
            info.pDataFile = const_cast<LPWSTR>(data_file.c_str());
            info.pConfigFile = const_cast<LPWSTR>(L"mrl32ui.dll");
            info.pDependentFiles = const_cast<LPWSTR>(deps.c_str());
            info.pDefaultDataType = const_cast<LPWSTR>(L"RAW");
            if (AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_ALL_FILES)) {
                out(L"installed %ls (%ls, %ls)\n", model.c_str(), renderer.c_str(), data_file.c_str());
            } else {
                err(L"install %ls: %ls\n", model.c_str(), mrlprint::error_text(GetLastError()).c_str());
                ++failed;
            }
        }
    }
    return failed ? 1 : 0;
}

// The model of an existing printer (its driver's name); empty if unknown.
std::wstring model_of(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 1, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed ? needed : 1);
    if (!GetPrinterDriverW(printer, nullptr, 1, buf.data(), needed, &needed))
        return L"";
    const wchar_t *name = reinterpret_cast<DRIVER_INFO_1W *>(buf.data())->pName;
    return name ? name : L"";
}

int add_printer(const mrlprint::Args &args) {
    const std::wstring name = args[0], model = mrlprint::option(args, L"--model");
    std::wstring port = mrlprint::option(args, L"--port");
    if (port.empty())
        port = L"LPT1:";
    PRINTER_DEFAULTSW all_access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE existing = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &existing, &all_access)) {
        std::wstring old = model_of(existing);
        if (!mrlprint::flag(args, L"--replace")) {
            err(L"a printer named \"%ls\" already exists (model \"%ls\"); nothing changed (--replace replaces it)\n",
                name.c_str(), old.c_str());
            ClosePrinter(existing);
            return 1;
        }
        BOOL deleted = DeletePrinter(existing);
        DWORD code = GetLastError();
        ClosePrinter(existing);
        if (!deleted) {
            err(L"cannot replace \"%ls\": %ls\n", name.c_str(), mrlprint::error_text(code).c_str());
            return 1;
        }
        out(L"removed %ls (%ls)\n", name.c_str(), old.c_str());
    }
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<LPWSTR>(name.c_str());
    info.pPortName = const_cast<LPWSTR>(port.c_str());
    info.pDriverName = const_cast<LPWSTR>(model.c_str());
    info.pPrintProcessor = const_cast<LPWSTR>(L"winprint");
    info.pDatatype = const_cast<LPWSTR>(L"RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!h) {
        err(L"cannot add \"%ls\": %ls\n", name.c_str(), mrlprint::error_text(GetLastError()).c_str());
        return 1;
    }
    // A printer whose model the driver cannot use would have no device mode
    // and no printer data: take it away again.
    bool usable;
    {
        DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
        prtfile::UseDriverDirectoryOf(h);
        _MODEL m(h);
        usable = m.is_valid();
        if (!usable)
            mrlprint::report_unusable(name, m);
        prtfile::SetDriverDirectory(nullptr);
        DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
    }
    if (!usable) {
        DeletePrinter(h);
        ClosePrinter(h);
        err(L"\"%ls\" not added\n", name.c_str());
        return 1;
    }
    // Wine's spooler does not tell the driver a printer was created; Windows' does.
    SendPrinterInitialize(h, info.pPrinterName);
    ClosePrinter(h);
    out(L"added %ls (%ls on %ls)\n", name.c_str(), model.c_str(), port.c_str());
    return 0;
}

// Tenths of a millimetre as millimetres.
std::wstring mm(unsigned tenths) {
    wchar_t buf[32];
    swprintf(buf, 32, L"%u.%u", tenths / 10, tenths % 10);
    return buf;
}

void show(const wchar_t *printer, HANDLE h) {
    prtfile::UseDriverDirectoryOf(h);
    _MODEL model(h);
    prtfile::SetDriverDirectory(nullptr);
    out(L"%ls\n  model %ls, prefix %hs, OEM %hs, manufacturer %ls (%ls)\n", printer,
        mrlprint::shown(model.GetModelName().wstring()).c_str(), model.GetPrefix(), model.GetOEM(),
        mrlprint::shown(model.GetManufacturerName()).c_str(), mrlprint::shown(model.GetShortMfgName()).c_str());
    if (!model.is_valid()) {
        out(L"  no model record: %ls\n", model.GetMDT() ? L"model not listed or its tables incomplete"
                                                        : L"no driver data file or directory");
        return;
    }
    const PDT *p = model.GetPDT();
    out(L"  %d dpi (printer %d), printable %d x %d um, paper width %ls to %ls mm, length %ls to %ls mm\n", p->dpi,
        p->printer_dpi, p->printable_width, p->printable_length, mm(p->min_paper_width).c_str(),
        mm(p->max_paper_width).c_str(), mm(p->min_paper_length).c_str(), mm(p->max_paper_length).c_str());
    const VXCapabilitiesData *c = model.GetVXM();
    out(L"  max copies %d, colour type %d, flags 0x%04x, fonts 0x%04x, image 0x%04x, loading %u, "
        L"line command %u, %u symbologies\n",
        p->max_copies, p->color_type, p->color_flags, p->font_modes, p->image_flags, p->paper_loading,
        c->line_command, c->symbology_count);
}

int list(const mrlprint::Args &) {
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> buf(needed ? needed : 1);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buf.data(), needed, &needed, &count)) {
        err(L"EnumPrinters: %ls\n", mrlprint::error_text(GetLastError()).c_str());
        return 1;
    }
    auto *printers = reinterpret_cast<PRINTER_INFO_4W *>(buf.data());
    for (DWORD i = 0; i < count; ++i) {
        HANDLE h = nullptr;
        if (!OpenPrinterW(printers[i].pPrinterName, &h, nullptr)) {
            out(L"%ls\n  cannot open: %ls\n", printers[i].pPrinterName, mrlprint::error_text(GetLastError()).c_str());
            continue;
        }
        show(printers[i].pPrinterName, h);
        ClosePrinter(h);
    }
    DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
    return 0;
}

} // namespace

MRLPRINT_COMMAND(L"install", L"DIR  copy a driver package (its folder for this spooler) and register its models", install);
MRLPRINT_COMMAND(L"add-printer", L"NAME --model MODEL [--port PORT] [--replace]  add a printer queue", add_printer);
MRLPRINT_COMMAND(L"list", L"  show the printers and their model records", list);
