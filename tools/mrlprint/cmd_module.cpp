// mrlprint module [PATH]: loads the driver module as the spooler does and
// prints its exports, the device-mode sizes it reports and its version strings.
#include "command.h"

#include "platform/ddiui.h"

#include <vector>

namespace {

const char *const kExports[] = {"DllInitialize",         "DevQueryPrintEx",         "DrvPrinterEvent",
                                "DrvUpgradePrinter",     "DrvConvertDevMode",       "DrvDevicePropertySheets",
                                "DrvDocumentPropertySheets", "DrvDeviceCapabilities"};

std::wstring module_path(const mrlprint::Args &args) {
    if (!args.empty())
        return args[0];
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir(self);
    dir.resize(dir.find_last_of(L'\\') + 1);
    return dir + L"mrl32ui.dll";
}

void print_version(const std::wstring &path) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (!size) {
        mrlprint::out(L"version resource: none\n");
        return;
    }
    std::vector<BYTE> block(size);
    GetFileVersionInfoW(path.c_str(), 0, size, block.data());
    for (const wchar_t *key : {L"FileDescription", L"ProductVersion", L"PrivateBuild", L"LegalCopyright"}) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\000004B0\\") + key;
        wchar_t *value = nullptr;
        UINT len = 0;
        if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void **>(&value), &len) && len)
            mrlprint::out(L"  %-16ls %ls\n", key, value);
    }
}

int run(const mrlprint::Args &args) {
    std::wstring path = module_path(args);
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) {
        mrlprint::err(L"cannot load %ls: %ls\n", path.c_str(), mrlprint::error_text(GetLastError()).c_str());
        return 1;
    }
    mrlprint::out(L"module %ls\nexports:\n", path.c_str());
    int missing = 0;
    for (const char *name : kExports) {
        bool found = GetProcAddress(module, name) != nullptr;
        missing += !found;
        mrlprint::out(L"  %-28hs %ls\n", name, found ? L"found" : L"MISSING");
    }

    auto convert = reinterpret_cast<decltype(&DrvConvertDevMode)>(
        reinterpret_cast<void *>(GetProcAddress(module, "DrvConvertDevMode")));
    auto sheets = reinterpret_cast<decltype(&DrvDocumentPropertySheets)>(
        reinterpret_cast<void *>(GetProcAddress(module, "DrvDocumentPropertySheets")));
    if (convert && sheets) {
        LONG needed = 0;
        convert(nullptr, nullptr, nullptr, &needed, CDM_DRIVER_DEFAULT);
        mrlprint::out(L"device mode, current layout:   %ld bytes\n", needed);
        needed = 0;
        convert(nullptr, nullptr, nullptr, &needed, CDM_CONVERT351);
        mrlprint::out(L"device mode, 3.51 layout:      %ld bytes\n", needed);
        DOCUMENTPROPERTYHEADER header = {};
        header.cbSize = sizeof header;
        LONG sized = sheets(nullptr, reinterpret_cast<LPARAM>(&header));
        mrlprint::out(L"DocumentProperties sizing:     %ld bytes (cbOut %lu)\n", sized, header.cbOut);
    }
    mrlprint::out(L"version resource:\n");
    print_version(path);
    FreeLibrary(module);
    return missing ? 1 : 0;
}

} // namespace

MRLPRINT_COMMAND(L"module", L"[PATH]  load the driver module and show what it answers", run);
