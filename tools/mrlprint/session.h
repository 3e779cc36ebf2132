// A UI object on a named printer, as the property sheet makes it, for the
// commands that talk to the printer through the driver's own stream: message
// boxes go to stderr, and queries to the virtual printer when that is the port.
#pragma once

#include "command.h"
#include "virtual_printer.h"

#include "model/prtfile.h"
#include "pageframe/prtui.h"
#include "platform/ddiui.h"
#include "platform/seam.h"

#include <memory>
#include <string>

namespace mrlprint {

inline int WINAPI box_to_stderr(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
    err(L"%ls: %ls\n", caption ? caption : L"", text ? text : L"");
    return IDOK;
}

class Session {
public:
    explicit Session(const std::wstring &name) {
        DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
        platform::windows().MessageBoxW = box_to_stderr;
        handle_ = open_printer(name);
        if (!handle_)
            return;
        prtfile::UseDriverDirectoryOf(handle_);
        ui_.reset(prtui::NewExtUI());
        ui_->init(handle_, nullptr, 0);
        if (!ui_->model()) {
            err(L"\"%ls\": the driver has no usable record of the printer's model\n", shown(name).c_str());
            ui_.reset();
            return;
        }
        dir_ = vprinter::directory(handle_);
        if (!dir_.empty())
            platform::spooler().GetPrinterDataW = vprinter::GetPrinterDataW;
    }
    ~Session() {
        ui_.reset();
        if (handle_)
            ClosePrinter(handle_);
        prtfile::SetDriverDirectory(nullptr);
        platform::reset();
        DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
    }
    bool ok() const { return ui_ != nullptr; }
    prtui &ui() { return *ui_; }
    extstream &stream() { return *ui_->stream(); }
    const std::wstring &virtual_dir() const { return dir_; }

private:
    HANDLE handle_ = nullptr;
    std::unique_ptr<prtui> ui_;
    std::wstring dir_;
};

} // namespace mrlprint
