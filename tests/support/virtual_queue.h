// A printer queue of a sample model whose port is a fresh virtual label
// printer (tools/vprinter): a directory of its own under %TEMP%, where the
// printer keeps every job it received and its stored configuration.
#pragma once

#include "test_printer.h"
#include "virtual_printer.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class VirtualQueue {
public:
    // script: the Linux path of vprinter.py. The name gets the process id: the
    // spooler keeps a deleted printer's port for a while.
    VirtualQueue(const std::wstring &name, const std::wstring &model, const std::wstring &script) {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        static int count = 0;
        std::wstring unique = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
        dir_ = std::wstring(tmp) + L"vprinter-" + unique;
        WIN32_FIND_DATAW fd; // left by an earlier run under the same process id
        HANDLE h = FindFirstFileW((dir_ + L"\\job-*").c_str(), &fd);
        for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &fd))
            DeleteFileW((dir_ + L"\\" + fd.cFileName).c_str());
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
        DeleteFileW((dir_ + L"\\config.txt").c_str());
        std::wstring port = vprinter::pipe_port(dir_, script);
        if (!port.empty())
            printer_ = std::make_unique<TestPrinter>(name + L" " + unique, model, port);
        dir_ = printer_ && printer_->ok() ? vprinter::directory(printer_->handle()) : L"";
    }

    bool ok() const { return !dir_.empty(); }
    TestPrinter &printer() { return *printer_; }
    const std::wstring &dir() const { return dir_; }

    // The jobs the printer kept, in order, once there are at least n (the
    // port takes a job as it ends; up to 10 s).
    std::vector<std::string> jobs(size_t n = 0) const {
        std::vector<std::string> kept;
        for (int wait = 0; wait < 200; ++wait, Sleep(50)) {
            kept.clear();
            for (int i = 1;; ++i) {
                wchar_t name[32];
                swprintf(name, 32, L"\\job-%04d.prn", i);
                if (GetFileAttributesW((dir_ + name).c_str()) == INVALID_FILE_ATTRIBUTES)
                    break;
                kept.push_back(read_all(dir_ + name));
            }
            if (kept.size() >= n)
                break;
        }
        return kept;
    }

    static std::string read_all(const std::wstring &path) {
        std::string s;
        if (FILE *f = _wfopen(path.c_str(), L"rb")) {
            char buf[4096];
            for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
                s.append(buf, n);
            fclose(f);
        }
        return s;
    }

private:
    std::wstring dir_;
    std::unique_ptr<TestPrinter> printer_;
};

namespace vprinter {

// The virtual printer sits behind a pipe port; printers on a serial line are
// the ones whose configuration the driver reads and sets. This GetPrinterW
// reports every printer's port as COM1: at level 2, where the driver asks.
inline BOOL WINAPI GetPrinterW_serial(HANDLE printer, DWORD level, LPBYTE buf, DWORD size, LPDWORD needed) {
    BOOL ok = ::GetPrinterW(printer, level, buf, size, needed);
    if (ok && level == 2 && buf)
        reinterpret_cast<PRINTER_INFO_2W *>(buf)->pPortName = const_cast<LPWSTR>(L"COM1:");
    return ok;
}

} // namespace vprinter
