// mrlprint send / feed / testpage / config / logs: the debug page's printer
// utilities from the command line, through the driver's own printer stream.
// Printer queries are answered by the virtual printer's answerer when the
// printer's port is the virtual label printer (tools/vprinter).
#include "command.h"
#include "printer.h"
#include "session.h"
#include "virtual_printer.h"

#include "foundation/memory.h"
#include "model/prtfile.h"
#include "pageframe/prtui.h"
#include "platform/ddiui.h"
#include "platform/seam.h"
#include "store/logsettings.h"
#include "store/printerconfig.h"
#include "store/prtreg.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

using namespace mrlprint;

std::wstring base_name(const std::wstring &path) {
    size_t at = path.find_last_of(L"\\/");
    return at == std::wstring::npos ? path : path.substr(at + 1);
}

// Sends a whole file in one job, with a progress line on stderr for long sends.
// The file is opened before the job so that an unreadable file sends nothing.
int send_file(Session &s, const std::wstring &path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        err(L"cannot read %ls: %ls\n", shown(path).c_str(), error_text(GetLastError()).c_str());
        return 1;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    std::vector<char> block(prtstream::kPacket);
    extstream &st = s.stream();
    st.StartJob(base_name(path).c_str());
    long long sent = 0;
    bool progress = size.QuadPart > 1 << 20, read_ok = true;
    for (long long next = 1 << 20;;) {
        DWORD got = 0;
        if (!ReadFile(file, block.data(), DWORD(block.size()), &got, nullptr)) {
            read_ok = false;
            break;
        }
        if (!got)
            break;
        st.write_direct(block.data(), long(got));
        sent += got;
        if (progress && sent >= next) {
            err(L"\rsent %lld of %lld KB", sent >> 10, (long long)size.QuadPart >> 10);
            next += 1 << 20;
        }
    }
    DWORD read_error = read_ok ? 0 : GetLastError();
    CloseHandle(file);
    bool delivered = st.EndJob();
    if (progress)
        err(L"\n");
    if (!read_ok) {
        err(L"reading %ls stopped after %lld bytes: %ls\n", shown(path).c_str(), sent, error_text(read_error).c_str());
        return 1;
    }
    if (!delivered) {
        err(L"the printer's job for %ls was refused; nothing more was sent\n", shown(path).c_str());
        return 1;
    }
    out(L"sent %ls (%lld bytes) to %ls\n", shown(base_name(path)).c_str(), sent,
        shown(s.ui().printer_name().wstring()).c_str());
    return 0;
}

int send(const Args &args) {
    Session s(args[0]);
    return s.ok() ? send_file(s, args[1]) : 1;
}

int feed(const Args &args) {
    Session s(args[0]);
    if (!s.ok())
        return 1;
    long count = flag(args, L"--form") ? FormFeed(s.stream()) : LineFeed(s.stream());
    out(L"fed %ld line%ls\n", count, count > 1 ? L"s" : L"");
    return 0;
}

// The newest job file of a virtual printer with the given extension, or empty.
std::wstring newest_job(const std::wstring &dir, const wchar_t *ext, int *number) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\job-*." + ext).c_str(), &fd);
    std::wstring best;
    *number = 0;
    if (h == INVALID_HANDLE_VALUE)
        return best;
    do {
        int n = _wtoi(fd.cFileName + 4);
        if (n > *number) {
            *number = n;
            best = dir + L"\\" + fd.cFileName;
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return best;
}

int testpage(const Args &args) {
    Session s(args[0]);
    if (!s.ok())
        return 1;
    std::wstring png = option(args, L"--png");
    if (!png.empty() && s.virtual_dir().empty()) {
        err(L"--png needs a printer whose port is the virtual label printer\n");
        return 1;
    }
    int before = 0;
    if (!png.empty())
        newest_job(s.virtual_dir(), L"prn", &before);
    PrtTest(&s.ui(), 1);
    bool lines = s.ui().model()->GetVXM()->line_command & 1;
    out(L"test page sent to %ls (%ls)\n", shown(s.ui().printer_name().wstring()).c_str(),
        lines ? L"line commands" : L"GDI bars");
    if (png.empty())
        return 0;
    // The spooler hands the job to the port as it ends; the picture follows.
    for (int waited = 0; waited < 200; ++waited) {
        int job = 0;
        std::wstring prn = newest_job(s.virtual_dir(), L"prn", &job);
        if (job > before) {
            std::wstring base = prn.substr(0, prn.size() - 4);
            if (GetFileAttributesW((base + L".png").c_str()) != INVALID_FILE_ATTRIBUTES &&
                CopyFileW((base + L".png").c_str(), png.c_str(), FALSE)) {
                out(L"picture of the label in %ls\n", shown(png).c_str());
                return 0;
            }
            std::vector<unsigned char> why;
            if (read_file(base + L".txt", why)) {
                err(L"no picture: %ls", shown(std::string(why.begin(), why.end()).c_str()).c_str());
                return 1;
            }
        }
        Sleep(50);
    }
    err(L"no picture of the test page arrived from the virtual printer\n");
    return 1;
}

const char kKeys[] = "C12478F";

int config(const Args &args) {
    std::wstring action = args.size() > 1 ? args[1] : L"get";
    if (action != L"get" && action != L"set") {
        err(L"mrlprint config: ACTION is get or set, not \"%ls\"\n", shown(action).c_str());
        return 2;
    }
    if ((action == L"set") != (args.size() == 4)) {
        err(L"mrlprint config: %ls\n", action == L"set" ? L"set needs NAME and VALUE" : L"get takes no NAME");
        return 2;
    }
    Session s(args[0]);
    if (!s.ok())
        return 1;
    PrinterConfigReply reply;
    ReadPrinterConfig(s.stream(), reply);
    if (!reply.settings_read) {
        err(reply.settings_bytes > 0 ? L"the printer's answer to the settings query is not a settings reply (%ld bytes)\n"
                                     : L"the printer did not answer the settings query\n",
            reply.settings_bytes);
        return 1;
    }
    PrinterSettings &settings = reply.settings;
    if (action == L"set") {
        std::wstring name = args[2];
        if (name.size() == 6 && name.compare(0, 5, L"value") == 0)
            name = name.substr(5);
        int *slot = name.size() == 1 ? SettingByKey(settings, char(name[0])) : nullptr;
        wchar_t *end = nullptr;
        long value = wcstol(args[3].c_str(), &end, 10);
        if (!slot || (end && *end) || value < -128 || value > 255) {
            err(L"mrlprint config: NAME is one of C 1 2 4 7 8 F, VALUE a number from -128 to 255\n");
            return 2;
        }
        *slot = int(value);
        if (!SendPrinterConfig(s.stream(), settings)) {
            err(L"the printer's configuration job was refused\n");
            return 1;
        }
        out(L"sent value%lc = %ld\n", name[0], value);
        return 0;
    }
    out(L"firmware: %ls\n", reply.firmware.len() ? shown(reply.firmware.nstring()).c_str() : L"(no answer)");
    for (const char *k = kKeys; *k; ++k)
        out(L"value%c %d\n", *k, *SettingByKey(settings, *k));
    return 0;
}

int logs(const Args &args) {
    std::wstring action = args.size() > 1 ? args[1] : L"list";
    if (action != L"list" && action != L"clear" && action != L"send") {
        err(L"mrlprint logs: ACTION is list, clear or send, not \"%ls\"\n", shown(action).c_str());
        return 2;
    }
    if ((action == L"send") != (args.size() == 3)) {
        err(L"mrlprint logs: %ls\n", action == L"send" ? L"send needs N" : L"only send takes N");
        return 2;
    }
    Session s(args[0]);
    if (!s.ok())
        return 1;
    prtreg reg;
    reg.init(s.ui().printer(), s.ui().printer_name().wstring());
    LogSettings settings;
    settings.Load(reg, s.ui().printer_name().wstring());
    std::wstring dir = settings.directory.wstring(), log = settings.logFile.wstring();
    if (action == L"clear") {
        if (GetFileAttributesW(log.c_str()) == INVALID_FILE_ATTRIBUTES) {
            out(L"no log file %ls\n", shown(log).c_str());
            return 0;
        }
        HANDLE h = CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            err(L"cannot clear %ls: %ls\n", shown(log).c_str(), error_text(GetLastError()).c_str());
            return 1;
        }
        CloseHandle(h);
        out(L"cleared %ls\n", shown(log).c_str());
        return 0;
    }
    std::vector<std::wstring> files = prtfile::Find(dir.c_str(), L"*.prn");
    if (action == L"list") {
        out(L"print files in %ls: %ls\n", shown(dir).c_str(), count(long(files.size()), L"file", L"files").c_str());
        for (size_t i = 0; i < files.size(); ++i)
            out(L"%3zu %ls\n", i + 1, shown(files[i]).c_str());
        return 0;
    }
    wchar_t *end = nullptr;
    long n = wcstol(args[2].c_str(), &end, 10);
    if ((end && *end) || n < 1 || size_t(n) > files.size()) {
        err(L"mrlprint logs: no print file %ls in %ls (%ls)\n", shown(args[2]).c_str(), shown(dir).c_str(),
            count(long(files.size()), L"file", L"files").c_str());
        return 1;
    }
    return send_file(s, dir + files[n - 1]);
}

MRLPRINT_COMMAND(L"send", L"PRINTER FILE  send a file of printer commands in one job", send);
MRLPRINT_COMMAND(L"feed", L"PRINTER [--form]  feed one line, or with --form a whole label and a line", feed);
MRLPRINT_COMMAND(L"testpage", L"PRINTER [--png OUT]  print the driver's test page (--png: the virtual printer's "
                              L"picture of it)",
                 testpage);
MRLPRINT_COMMAND(L"config", L"PRINTER [ACTION] [NAME] [VALUE]  the printer's own settings: get (default) reads "
                            L"them, set NAME VALUE changes one (NAME C 1 2 4 7 8 F)",
                 config);
MRLPRINT_COMMAND(L"logs", L"PRINTER [ACTION] [N]  print files of the logging settings: list (default), clear "
                          L"(the log file), send N",
                 logs);

} // namespace
