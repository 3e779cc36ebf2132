// The driver module as the spooler loads it: the config file of an installed
// printer driver, so that it finds its driver data file beside itself.
#pragma once

#include "platform/ddiui.h"

#include <string>
#include <vector>

class InstalledDriver {
public:
    explicit InstalledDriver(HANDLE printer) {
        DWORD needed = 0;
        GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
        std::vector<BYTE> buf(needed ? needed : 1);
        if (!GetPrinterDriverW(printer, nullptr, 2, buf.data(), needed, &needed))
            return;
        path_ = reinterpret_cast<DRIVER_INFO_2W *>(buf.data())->pConfigFile;
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
