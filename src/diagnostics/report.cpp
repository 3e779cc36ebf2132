#include "report.h"

#include "../foundation/memory.h"
#include "../model/model.h"
#include "../platform/globals.h"
#include "../platform/regkey.h"

#include <winspool.h>

#include <cstring>
#include <cwchar>

namespace report {
namespace {

constexpr LONG kSectionName = 1380;
constexpr LONG kSymbologyName = 1500;
constexpr LONG kRotationName = 1620;
constexpr LONG kVersionWord = 2265;
constexpr LONG kBuildWord = 2266;
constexpr const wchar_t *kNotSpecified = L"<not specified>";

std::wstring wide(const char *narrow) {
    OString s;
    s = narrow;
    return s.wstring();
}

std::wstring wide(const OString &s) { return s.wstring(); }

std::wstring number(long value) { return std::to_wstring(value); }

const wchar_t *supported(bool on) { return on ? L"Supported" : L"Not Supported"; }

std::wstring or_unset(const WCHAR *text) { return text && *text ? text : kNotSpecified; }

std::wstring env(const wchar_t *name) {
    WCHAR buf[256] = {};
    DWORD n = GetEnvironmentVariableW(name, buf, 256);
    return n > 0 && n < 256 ? buf : L"";
}

void driver_version(prtui &ui, Lines &out) {
    OString name, version, build, copyright;
    ui.GetDrvName(name);
    ui.GetVersionInfo(version);
    ui.GetBuild(build);
    ui.GetCopyRight(copyright);
    out.push_back(wide(ui.model()->GetManufacturerName()) + L" " + wide(name) + L" - " +
                  ui.locale().GetString(kVersionWord) + L" " + wide(version) + L" " +
                  ui.locale().GetString(kBuildWord) + L" " + wide(build));
    out.push_back(L"");
    out.push_back(wide(copyright));
}

// What the model's identity block holds: fixed version words, the
// manufacturer name cut to its 31-character field and the vendor by the
// OEM code's last two letters.
void driver_information(prtui &ui, Lines &out) {
    _MODEL &model = *ui.model();
    char manufacturer[32] = {};
    std::strncpy(manufacturer, model.GetManufacturerName(), 31);
    const char *oem = model.GetOEM();
    const wchar_t *vendor = std::strcmp(oem + 1, "in") == 0   ? L"Intermec Corporation"
                            : std::strcmp(oem + 1, "tt") == 0 ? L"Toshiba TEC Corporation"
                                                              : L"Marlin Labs";
    out.push_back(L"Printer:\t" + wide(ui.printer_name()));
    out.push_back(L"Port:\t" + wide(ui.port_name()));
    out.push_back(L" ");
    out.push_back(L"GDI:\t32-bit");
    out.push_back(L"Printer Language ID:\t" + wide(model.GetPrefix()));
    out.push_back(L"Vantex Version:\t4.1");
    out.push_back(L"ActiveX Version:\t2");
    out.push_back(L"Manufacturer:\t" + wide(manufacturer));
    out.push_back(std::wstring(L"Vendor:\t") + vendor);
    out.push_back(L"Developer:\tMarlin Labs");
}

void system_information(Lines &out) {
    OSVERSIONINFOW os = {};
    os.dwOSVersionInfoSize = sizeof os;
    GetVersionExW(&os);
    std::wstring windows = L"Windows Version:\tNT " + number(os.dwMajorVersion) + L"." + number(os.dwMinorVersion) +
                           L", Build " + number(os.dwBuildNumber & 0xFFFF);
    if (os.szCSDVersion[0])
        windows += std::wstring(L" - ") + os.szCSDVersion;
    out.push_back(windows);
    WCHAR name[512] = {};
    DWORD size = 512;
    prtlocale::GetComputerNameW(name, &size);
    out.push_back(std::wstring(L"Computer Name:\t\"") + name + L"\"");
    name[0] = 0;
    size = 512;
    prtlocale::GetUserNameW(name, &size);
    out.push_back(std::wstring(L"User Name:\t\"") + name + L"\"");
    out.push_back(L"");
    static const wchar_t *const kProcessor[][2] = {
        {L"Number of Processors:\t", L"NUMBER_OF_PROCESSORS"},
        {L"Processor Identifier:\t", L"PROCESSOR_IDENTIFIER"},
        {L"Processor Architecture:\t", L"PROCESSOR_ARCHITECTURE"},
        {L"Processor Level:\t", L"PROCESSOR_LEVEL"},
        {L"Processor Revision:\t", L"PROCESSOR_REVISION"},
    };
    for (const auto &p : kProcessor)
        out.push_back(p[0] + env(p[1]));
    out.push_back(L"");
    WCHAR windir[261] = {};
    GetWindowsDirectoryW(windir, 261);
    out.push_back(std::wstring(L"System Directory:\t") + windir);
    static const wchar_t *const kTypes[] = {L"Removable", L"Fixed", L"Remote", L"CD-ROM", L"RAM Disk"};
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        wchar_t root[] = {letter, L':', L'\\', 0};
        UINT type = GetDriveTypeW(root);
        if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR)
            continue;
        out.push_back(L"");
        out.push_back(std::wstring(L"Drive:\t") + root);
        out.push_back(std::wstring(L"Type:\t") + (type >= 2 && type <= 6 ? kTypes[type - 2] : L"Unknown"));
    }
}

// The port's default settings; false for a port without them.
bool GetDCB(const wchar_t *name, DCB *dcb) {
    COMMCONFIG config = {};
    DWORD size = sizeof config;
    config.dwSize = size;
    if (!GetDefaultCommConfigW(name, &config, &size))
        return false;
    *dcb = config.dcb;
    return true;
}

void system_settings(Lines &out) {
    WCHAR language[128] = {};
    prtlocale::GetLocaleInfoW(0x0800, LOCALE_SLANGUAGE, language, 128);
    out.push_back(std::wstring(L"System Language:\t") + language);
    language[0] = 0;
    prtlocale::GetLocaleInfoW(0x0400, LOCALE_SLANGUAGE, language, 128);
    out.push_back(std::wstring(L"User Language:\t") + language);
    out.push_back(L"");
    out.push_back(L"Screen Size:\t" + number(GetSystemMetrics(SM_CXSCREEN)) + L" x " +
                  number(GetSystemMetrics(SM_CYSCREEN)));
    out.push_back(L"");
    out.push_back(L"Serial Communications:");
    static const wchar_t *const kParity[] = {L"None", L"Odd", L"Even", L"Mark", L"Space"};
    static const wchar_t *const kStop[] = {L"1", L"1.5", L"2"};
    for (int n = 1; n <= 9; ++n) {
        std::wstring port = L"COM" + number(n);
        DCB dcb = {};
        if (!GetDCB(port.c_str(), &dcb))
            continue;
        out.push_back(port);
        out.push_back(L" Baud:\t" + number(dcb.BaudRate));
        out.push_back(L" DataBits:\t" + number(dcb.ByteSize));
        out.push_back(std::wstring(L" Parity:\t") + (dcb.Parity <= 4 ? kParity[dcb.Parity] : L""));
        out.push_back(std::wstring(L" StopBits:\t") + (dcb.StopBits <= 2 ? kStop[dcb.StopBits] : L""));
        out.push_back(L"");
    }
}

void installed_printers(Lines &out) {
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    MemBlock<BYTE> buffer = MemBlock<BYTE>::alloc(needed ? needed : 1);
    if (!buffer || !EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.get(), needed, &needed, &count))
        return;
    auto *printers = reinterpret_cast<PRINTER_INFO_2W *>(buffer.get());
    for (DWORD i = 0; i < count; ++i) {
        out.push_back(L"Printer:\t" + or_unset(printers[i].pPrinterName));
        out.push_back(L"Port:\t" + or_unset(printers[i].pPortName));
        HANDLE printer = nullptr;
        if (OpenPrinterW(printers[i].pPrinterName, &printer, nullptr)) {
            MemBlock<DRIVER_INFO_3W> info{static_cast<DRIVER_INFO_3W *>(MyGetPrinterDriver(printer, 3))};
            if (info) {
                out.push_back(L"Driver:\t" + or_unset(TrimPath(info->pDriverPath).c_str()));
                out.push_back(L"Configuration File:\t" + or_unset(TrimPath(info->pConfigFile).c_str()));
                out.push_back(L"Data File:\t" + or_unset(TrimPath(info->pDataFile).c_str()));
                out.push_back(L"Help File:\t" + or_unset(TrimPath(info->pHelpFile).c_str()));
                std::wstring deps;
                for (const WCHAR *f = info->pDependentFiles; f && *f; f += std::wcslen(f) + 1)
                    deps += TrimPath(f) + L",";
                out.push_back(L"Dependent Files:\t" + or_unset(deps.c_str()));
                out.push_back(L"Monitor:\t" + or_unset(info->pMonitorName));
                out.push_back(L"Print Processor:\t" + or_unset(printers[i].pPrintProcessor));
                out.push_back(L"Datatype\t" + or_unset(printers[i].pDatatype));
                out.push_back(L"Share Name:\t" + or_unset(printers[i].pShareName));
            }
            ClosePrinter(printer);
        }
        out.push_back(L"");
    }
}

// Ordinal order, equal names after the ones already there: as a list box
// fed with sorted insertion would hold them.
void insert_sorted(Lines &out, const std::wstring &text) {
    auto at = out.begin();
    while (at != out.end() && std::wcscmp(at->c_str(), text.c_str()) <= 0)
        ++at;
    out.insert(at, text);
}

void installed_software(Lines &out) {
    RegKey uninstall;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0, KEY_READ,
                      uninstall.out()) != ERROR_SUCCESS)
        return;
    WCHAR name[261];
    for (DWORD i = 0;; ++i) {
        DWORD chars = 261;
        if (RegEnumKeyExW(uninstall.get(), i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        RegKey program;
        if (RegOpenKeyExW(uninstall.get(), name, 0, KEY_READ, program.out()) != ERROR_SUCCESS)
            continue;
        WCHAR display[129] = {};
        DWORD bytes = 256, type = 0;
        if (RegQueryValueExW(program.get(), L"DisplayName", nullptr, &type, reinterpret_cast<BYTE *>(display),
                             &bytes) == ERROR_SUCCESS &&
            type == REG_SZ && display[0])
            insert_sorted(out, display);
    }
}

void printer_capabilities(prtui &ui, Lines &out) {
    const PDT &pdt = *ui.model()->GetPDT();
    const VXCapabilitiesData &caps = *ui.model()->GetVXM();
    prtlocale &locale = ui.locale();
    static const wchar_t *const kLoading[] = {L"Right Edge", L"Left Edge", L"Centered"};
    out.push_back(std::wstring(L"Paper Loading:\t") + (pdt.paper_loading <= 2 ? kLoading[pdt.paper_loading] : L""));
    out.push_back(std::wstring(L"Natural Orientation:\t") + locale.GetString(kRotationName + pdt.natural_orientation));
    out.push_back(std::wstring(L"Printable Width:\t") + locale.microns_to_string(pdt.printable_width));
    out.push_back(std::wstring(L"Printable Length:\t") + locale.microns_to_string(pdt.printable_length));
    out.push_back(std::wstring(L"Unprintable Width:\t") + locale.microns_to_string(pdt.unprintable_width));
    out.push_back(L"Printer Resolution:\t" + number(pdt.printer_dpi) + L" dpi");
    out.push_back(L"Drawing Resolution:\t" + number(pdt.drawing_dpi ? pdt.drawing_dpi : pdt.printer_dpi) + L" dpi");
    auto command = [&](const wchar_t *label, unsigned supported_flag, unsigned max_dots) {
        std::wstring line = label;
        if (supported_flag) {
            line += L"Supported";
            if (max_dots)
                line += L" (" + number(max_dots) + L" dots max)";
        } else {
            line += L"Not Supported";
        }
        out.push_back(line);
    };
    command(L"Line Command:\t", caps.line_command, pdt.line_max_dots);
    command(L"Box Command:\t", caps.box_command, pdt.box_max_dots);
    out.push_back(std::wstring(L"180\u00B0 Label Rotation:\t") + supported(pdt.image_flags & 1));
    out.push_back(std::wstring(L"Mirror Image:\t") + supported(pdt.image_flags & 2));
    out.push_back(std::wstring(L"Negative Image:\t") + supported(pdt.image_flags & 4));
    out.push_back(std::wstring(L"Color:\t") + (pdt.color_type == 2 ? L"CMYK" : L"Monochrome"));
    out.push_back(L"Maximum Copies:\t" + number(pdt.max_copies));
    unsigned features = caps.label_features;
    out.push_back(std::wstring(L"Serialization:\t") + supported(features & 1));
    out.push_back(std::wstring(L"Format Mode:\t") + supported(features & 4));
    out.push_back(features & 2    ? L"Static Label:\tSupported"
                  : features & 8  ? L"Static Label:\tStatic Graphics"
                  : features & 16 ? L"Static Label:\tNo Variable Graphics"
                                  : L"Static Label\tNot Supported");
    out.push_back(std::wstring(L"Graphics Caching:\t") + supported(features & 32));
    out.push_back(std::wstring(L"Format Caching:\t") + supported(features & 64));
}

std::wstring symbology_name(prtlocale &locale, LONG id) {
    if (id == 13)
        return L"US POSTNET";
    if (id == 23)
        return L"US FIM";
    OString name;
    name = locale.GetString(kSymbologyName + id);
    std::string narrow = name.nstring();
    if (narrow.find("4-State") != std::string::npos)
        narrow = narrow.substr(0, narrow.find('4')) + "4SCC";
    return wide(narrow.c_str());
}

void barcode_capabilities(prtui &ui, Lines &out) {
    VXCapabilitiesData *caps = ui.model()->GetVXM();
    for (LONG id = 0; id < caps->symbology_count; ++id) {
        const VXSymbologyData *data = GetSymbologyData(caps, id);
        if (!data)
            break;
        uint32_t options = data->options;
        std::wstring line = symbology_name(ui.locale(), id) + L"\t";
        bool on = data->supported > 0 && !(id == 0 && (options & 1));
        if (!on) {
            if ((id == 11 || id == 12) && (options & 0x1F)) {
                out.push_back(line + L"Not Supported Independently");
                out.push_back(L"\tMust Attach to UPC/EAN");
            } else {
                out.push_back(line + L"Not Supported");
            }
            continue;
        }
        out.push_back(line + L"Supported");
        static const wchar_t *const kEcc[] = {L"000", L"010", L"040", L"050", L"060", L"070", L"080",
                                              L"090", L"100", L"110", L"120", L"130", L"140", L"200"};
        if (id == 16)
            for (int bit = 0; bit < 14; ++bit)
                if (options & (1u << bit))
                    out.push_back(std::wstring(L"\tECC") + kEcc[bit]);
        if (id == 17) {
            for (int bit = 0; bit < 5; ++bit)
                if (options & (1u << bit))
                    out.push_back(L"\tMode " + number(bit + 2));
            if (!(options & 0x20))
                out.push_back(L"\tNo Zipper Block");
            if (!(options & 0x40))
                out.push_back(L"\tNo Contrast Block");
        }
        if (id == 18) {
            if (options & 1)
                out.push_back(L"\tModel 1");
            if (options & 2)
                out.push_back(L"\tModel 2");
            if (!(options & 4))
                out.push_back(L"\tAuto Mode Only");
            if (!(options & 8))
                out.push_back(L"\tManual Mode Only");
            if (!(options & 16))
                out.push_back(L"\tAuto Mask Only");
        }
        if (id == 3 && (options & 2))
            out.push_back(L"\tAuto Encoding Only");
        if (options & 0x80000000u)
            out.push_back(L"\tSerialization Not Allowed");
        if (options & 0x40000000u)
            out.push_back(L"\tFormat Mode Not Allowed");
    }
}

std::string narrow(const std::wstring &text) {
    OString s;
    s = text.c_str();
    return s.nstring();
}

} // namespace

std::wstring TrimPath(const WCHAR *path) {
    if (!path)
        return L"";
    const WCHAR *slash = std::wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

Lines Section(prtui &ui, int section) {
    Lines out;
    bool model = ui.model() && ui.model()->is_valid();
    switch (section) {
    case 0:
        if (model)
            driver_version(ui, out);
        break;
    case 1:
        if (model)
            driver_information(ui, out);
        break;
    case 2: system_information(out); break;
    case 3: system_settings(out); break;
    case 4: installed_printers(out); break;
    case 5: installed_software(out); break;
    case 6:
        if (model)
            printer_capabilities(ui, out);
        break;
    case 7:
        if (model)
            barcode_capabilities(ui, out);
        break;
    default: break;
    }
    return out;
}

const Lines &Cache::get(prtui &ui, int section) {
    if (!made[section]) {
        lines[section] = Section(ui, section);
        made[section] = true;
    }
    return lines[section];
}

void AppendSaved(std::string &out, const WCHAR *name, const Lines &lines) {
    out += narrow(name) + "\r\n" + std::string(60, '-') + "\r\n";
    for (const std::wstring &line : lines) {
        std::string text = narrow(line);
        size_t tab = text.find('\t');
        if (tab != std::string::npos) {
            std::string label = text.substr(0, tab);
            if (label.size() < 30)
                label.resize(30, ' ');
            text = label + text.substr(tab + 1);
        }
        out += text + "\r\n";
    }
    out += "\r\n";
}

std::string Saved(prtui &ui, Cache &cache) {
    std::string out;
    for (int i = 0; i < kSections; ++i)
        AppendSaved(out, ui.locale().GetString(kSectionName + i), cache.get(ui, i));
    return out;
}

} // namespace report
