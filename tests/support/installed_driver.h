// The driver module as the spooler loads it: the config file of an installed
// printer driver, so that it finds its driver data file beside itself.
#pragma once

#include "platform/ddiui.h"

#include <string>
#include <vector>

// The printer's driver information (DRIVER_INFO_2W); empty when there is none.
inline std::vector<BYTE> driver_info(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed ? needed : 1);
    if (!GetPrinterDriverW(printer, nullptr, 2, buf.data(), needed, &needed))
        buf.clear();
    return buf;
}

// The model name and the config file (the driver module's path) of a printer.
inline std::wstring driver_model(HANDLE printer) {
    std::vector<BYTE> info = driver_info(printer);
    return info.empty() ? L"" : reinterpret_cast<DRIVER_INFO_2W *>(info.data())->pName;
}
inline std::wstring driver_config_file(HANDLE printer) {
    std::vector<BYTE> info = driver_info(printer);
    return info.empty() ? L"" : reinterpret_cast<DRIVER_INFO_2W *>(info.data())->pConfigFile;
}

class InstalledDriver {
public:
    explicit InstalledDriver(HANDLE printer) : path_(driver_config_file(printer)) {
        if (path_.empty())
            return;
        module_ = LoadLibraryW(path_.c_str());
        if (!module_)
            return;
        convert = get<decltype(&DrvConvertDevMode)>("DrvConvertDevMode");
        document = get<decltype(&DrvDocumentPropertySheets)>("DrvDocumentPropertySheets");
        device = get<decltype(&DrvDevicePropertySheets)>("DrvDevicePropertySheets");
        caps = get<decltype(&DrvDeviceCapabilities)>("DrvDeviceCapabilities");
        upgrade = get<decltype(&DrvUpgradePrinter)>("DrvUpgradePrinter");
        event = get<decltype(&DrvPrinterEvent)>("DrvPrinterEvent");
    }
    ~InstalledDriver() {
        if (module_)
            FreeLibrary(module_);
    }
    InstalledDriver(const InstalledDriver &) = delete;
    InstalledDriver &operator=(const InstalledDriver &) = delete;

    bool ok() const { return module_ && convert && document && caps && upgrade && event; }
    const std::wstring &path() const { return path_; }

    decltype(&DrvConvertDevMode) convert = nullptr;
    decltype(&DrvDocumentPropertySheets) document = nullptr;
    decltype(&DrvDevicePropertySheets) device = nullptr;
    decltype(&DrvDeviceCapabilities) caps = nullptr;
    decltype(&DrvUpgradePrinter) upgrade = nullptr;
    decltype(&DrvPrinterEvent) event = nullptr;

private:
    template <typename F> F get(const char *name) {
        return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module_, name)));
    }
    std::wstring path_;
    HMODULE module_ = nullptr;
};
