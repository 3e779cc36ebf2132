// Shared by the store suite: a printer driver registered from the built module
// (when the session's sample packages are not there), printers of it, and a
// language-string stand-in that shows the string id in the text.
#pragma once

#include "module_path.h"
#include "platform/seam.h"
#include "store/prtreg.h"
#include "test_printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace store_env {

constexpr const wchar_t *kDriver = L"MRL Store Test Driver";

// Registers kDriver with the built module as every driver file; true when it is there.
inline bool ensure_driver() {
    DWORD needed = 0, count = 0;
    EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buf(needed + 1);
    if (EnumPrinterDriversW(nullptr, nullptr, 1, buf.data(), needed, &needed, &count)) {
        auto *info = reinterpret_cast<DRIVER_INFO_1W *>(buf.data());
        for (DWORD i = 0; i < count; ++i)
            if (std::wstring(info[i].pName) == kDriver)
                return true;
    }
    wchar_t dir[MAX_PATH];
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(dir), sizeof dir, &needed))
        return false;
    std::wstring target = std::wstring(dir) + L"\\mrl32ui.dll";
    if (!CopyFileW(built_module_path().c_str(), target.c_str(), FALSE))
        return false;
    DRIVER_INFO_3W di = {};
    di.cVersion = 3;
    di.pName = const_cast<LPWSTR>(kDriver);
    di.pDriverPath = const_cast<LPWSTR>(L"mrl32ui.dll");
    di.pDataFile = const_cast<LPWSTR>(L"mrl32ui.dll");
    di.pConfigFile = const_cast<LPWSTR>(L"mrl32ui.dll");
    return AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&di)) != 0;
}

// Language strings as "#id"; ids with a placeholder get " %s".
inline const WCHAR *id_string(void *, LONG id) {
    static WCHAR text[64];
    bool format = id == 1263 || id == 4160;
    swprintf(text, 64, format ? L"#%ld %%s" : L"#%ld", static_cast<long>(id));
    return text;
}

struct Box {
    std::wstring text;
    std::wstring caption;
    UINT type;
};
inline std::vector<Box> &boxes() {
    static std::vector<Box> b;
    return b;
}
inline int WINAPI record_box(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    boxes().push_back(Box{text ? text : L"", caption ? caption : L"", type});
    return IDOK;
}

// Replaces message boxes and language strings; restores the seam after.
class BoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        boxes().clear();
        platform::windows().MessageBoxW = record_box;
        platform::windows().lang_string = id_string;
    }
    void TearDown() override { platform::reset(); }
};

inline void clear_global_key() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, GLOBAL_KEY_WINNT); }

// A port that is a Unix file: the spooler writes each raw document there. The
// same file is seen from Windows through drive Z:.
struct UnixPort {
    std::wstring port;
    std::wstring dos;
    explicit UnixPort(const wchar_t *tag) {
        wchar_t name[96];
        swprintf(name, 96, L"tmp/mrl-store-%lu-%ls.prn", GetCurrentProcessId(), tag);
        port = std::wstring(L"/") + name;
        dos = std::wstring(L"Z:\\") + name;
        for (auto &c : dos)
            if (c == L'/')
                c = L'\\';
    }
    ~UnixPort() { DeleteFileW(dos.c_str()); }
    std::string contents() const {
        std::string out;
        HANDLE f = CreateFileW(dos.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return "<missing>";
        char buf[4096];
        DWORD got = 0;
        while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
            out.append(buf, got);
        CloseHandle(f);
        return out;
    }
};

} // namespace store_env
