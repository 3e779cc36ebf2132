// A printer queue of an installed sample model, made for one test and deleted
// after it, created as the Windows spooler creates one (initialize event included). The sample packages are installed at the start of each Wine session.
#pragma once

#include "spooler_events.h"

#include <string>

class TestPrinter {
public:
    TestPrinter(const std::wstring &name, const std::wstring &model, const std::wstring &port = L"")
        : name_(name) {
        Delete(name_); // a leftover of an earlier run
        PRINTER_INFO_2W info = {};
        std::wstring port_name = port.empty() ? L"LPT1:" : port;
        info.pPrinterName = const_cast<LPWSTR>(name_.c_str());
        info.pPortName = const_cast<LPWSTR>(port_name.c_str());
        info.pDriverName = const_cast<LPWSTR>(model.c_str());
        info.pPrintProcessor = const_cast<LPWSTR>(L"winprint");
        info.pDatatype = const_cast<LPWSTR>(L"RAW");
        info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
        handle_ = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
        error_ = handle_ ? 0 : GetLastError();
        if (handle_)
            SendPrinterInitialize(handle_, wname());
    }
    ~TestPrinter() {
        if (handle_)
            ClosePrinter(handle_);
        Delete(name_);
    }
    TestPrinter(const TestPrinter &) = delete;
    TestPrinter &operator=(const TestPrinter &) = delete;

    bool ok() const { return handle_ != nullptr; }
    DWORD error() const { return error_; }
    HANDLE handle() const { return handle_; }
    const std::wstring &name() const { return name_; }
    LPWSTR wname() const { return const_cast<LPWSTR>(name_.c_str()); }

    static void Delete(const std::wstring &name) {
        HANDLE h = nullptr;
        PRINTER_DEFAULTSW all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &h, &all)) {
            DeletePrinter(h);
            ClosePrinter(h);
        }
    }

private:
    std::wstring name_;
    HANDLE handle_ = nullptr;
    DWORD error_ = 0;
};
