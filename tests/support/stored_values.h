// Values as Wine's spooler and registry keep them, read back with the plain
// Win32 calls: their bytes, or kMissing.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

constexpr char kMissing[] = "<missing>";

// A value below HKEY_LOCAL_MACHINE\key.
inline std::string machine_value(const char *key, const char *name, DWORD *type = nullptr) {
    char buf[1024];
    DWORD n = sizeof buf, t = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &t, buf, &n))
        return kMissing;
    if (type)
        *type = t;
    return std::string(buf, n);
}

// A value of the printer's data.
inline std::string printer_value(HANDLE printer, const char *name, DWORD *type = nullptr) {
    char buf[1024];
    DWORD t = 0, n = 0;
    if (GetPrinterDataA(printer, const_cast<LPSTR>(name), &t, reinterpret_cast<BYTE *>(buf), sizeof buf, &n))
        return kMissing;
    if (type)
        *type = t;
    return std::string(buf, n);
}

// A 4-byte value as a number; -1 when it is missing or of another size.
inline LONG as_long(const std::string &value) {
    LONG v = -1;
    if (value.size() == 4)
        std::memcpy(&v, value.data(), 4);
    return v;
}
