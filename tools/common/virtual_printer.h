// The Windows side of the virtual label printer (tools/vprinter/vprinter.py):
// Wine's spooler has no port software that answers printer queries, so the
// tools and tests put this answerer behind the seam's GetPrinterDataW. It finds
// the printer's directory in its pipe port ("|... vprinter.py receive DIR")
// and answers from the configuration stored there, as a printer would; a
// "fault" line there makes it answer nothing, garbage or too much.
#pragma once

#include <windows.h>
#include <winspool.h>

#include "store/printerconfig.h"
#include "store/printerquery.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vprinter {

// "Z:\dir" of a printer whose port is the virtual printer's pipe, else empty.
inline std::wstring directory(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 5, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed ? needed : 1);
    if (!needed || !GetPrinterW(printer, 5, buf.data(), needed, &needed))
        return L"";
    const wchar_t *port = reinterpret_cast<PRINTER_INFO_5W *>(buf.data())->pPortName;
    std::wstring p = port ? port : L"";
    size_t at = p.find(L" receive ");
    if (p.empty() || p[0] != L'|' || at == std::wstring::npos || p.find(L"vprinter") == std::wstring::npos)
        return L"";
    std::wstring dir = L"Z:" + p.substr(at + 9);
    for (auto &c : dir)
        if (c == L'/')
            c = L'\\';
    return dir;
}

// The pipe port of a virtual printer kept in dos_dir (made when missing), run
// by script (the Linux path of vprinter.py); empty when Wine cannot name the
// directory's Linux path.
inline std::wstring pipe_port(const std::wstring &dos_dir, const std::wstring &script) {
    CreateDirectoryW(dos_dir.c_str(), nullptr);
    using Fn = char *(CDECL *)(const WCHAR *);
    auto unix_name = reinterpret_cast<Fn>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char *dir = unix_name ? unix_name(dos_dir.c_str()) : nullptr;
    if (!dir)
        return L"";
    std::wstring port = L"|/usr/bin/python3 " + script + L" receive ";
    for (char *c = dir; *c; ++c)
        port += wchar_t(static_cast<unsigned char>(*c));
    HeapFree(GetProcessHeap(), 0, dir);
    return port;
}

struct Config {
    PrinterSettings settings;
    std::string firmware = "V1.00 virtual label printer";
    std::string fault;
};

inline Config read_config(const std::wstring &dir) {
    Config c;
    FILE *f = _wfopen((dir + L"\\config.txt").c_str(), L"rb");
    if (!f)
        return c;
    char line[256];
    while (fgets(line, sizeof line, f)) {
        std::string s(line);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
            s.pop_back();
        size_t sp = s.find(' ');
        if (sp == std::string::npos)
            continue;
        std::string key = s.substr(0, sp), value = s.substr(sp + 1);
        if (key == "firmware")
            c.firmware = value;
        else if (key == "fault")
            c.fault = value;
        else if (key.size() == 1)
            if (int *slot = SettingByKey(c.settings, key[0]))
                *slot = atoi(value.c_str());
    }
    fclose(f);
    return c;
}

// The printer's answer to a command; false when it gives none.
inline bool answer(const Config &c, const std::string &cmd, std::string *reply) {
    if (c.fault == "silent")
        return false;
    if (c.fault == "garbage") {
        *reply = std::string("\x1e\x10\xff\x43", 4);
        return true;
    }
    if (c.fault == "long") {
        *reply = std::string(20000, 'x');
        return true;
    }
    if (cmd == kQueryFirmware) {
        *reply = "\x1e" "C\x01OK" + c.firmware; // status "OK", the text from byte 5

        return true;
    }
    if (cmd == kQuerySettings) {
        PrinterSettings s = c.settings;
        *reply = std::string("\x1e\x10\x07", 3);
        for (char key : std::string("C12478F")) {
            *reply += key;
            *reply += char(*SettingByKey(s, key) & 0xFF);
        }
        return true;
    }
    return false;
}

// GetPrinterDataW as the port software of the virtual printer answers it.
inline DWORD WINAPI GetPrinterDataW(HANDLE printer, LPWSTR name, LPDWORD type, LPBYTE buf, DWORD size,
                                    LPDWORD needed) {
    if (!name || wcsncmp(name, kQueryValueName, kQueryValueNameUnits) != 0)
        return ::GetPrinterDataW(printer, name, type, buf, size, needed);
    uint16_t len_unit = name[kQueryValueNameUnits + 1];
    LONG avail = kQueryHeaderBytes + (len_unit == kQueryNoLength ? 0 : len_unit);
    QueryRequest q;
    if (!ParseQueryRequest(name, avail, &q))
        return ERROR_INVALID_PARAMETER;
    std::wstring dir = directory(printer);
    std::string reply;
    if (dir.empty() || !answer(read_config(dir), std::string(reinterpret_cast<const char *>(q.cmd), q.cmd_len), &reply))
        return ERROR_FILE_NOT_FOUND; // no answer in time
    if (needed)
        *needed = static_cast<DWORD>(reply.size());
    // Like the port software: what fits is copied, and a longer answer says so.
    if (buf)
        std::memcpy(buf, reply.data(), size < reply.size() ? size : reply.size());
    return size < reply.size() ? ERROR_MORE_DATA : 0;
}

} // namespace vprinter
