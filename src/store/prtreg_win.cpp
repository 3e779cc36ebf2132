#include "prtreg.h"

#include "../platform/globals.h"
#include "../platform/regkey.h"

#include <winspool.h>

namespace {

// Opens HKEY_LOCAL_MACHINE\<wide or narrow path>; writing creates it.
HKEY open_key(const WCHAR *wide, const char *narrow, bool write) {
    HKEY key = nullptr;
    LONG rc;
    if (write) {
        rc = wide ? RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
                  : RegCreateKeyExA(HKEY_LOCAL_MACHINE, narrow, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    } else {
        rc = wide ? RegOpenKeyW(HKEY_LOCAL_MACHINE, wide, &key) : RegOpenKeyA(HKEY_LOCAL_MACHINE, narrow, &key);
    }
    return rc == ERROR_SUCCESS ? key : nullptr;
}

} // namespace

bool prtreg::GetData(const char *name, unsigned char *buf, LONG size, DWORD type, bool global) {
    if (size < 0)
        return false;
    LockGuard hold(gPrinterSemaphore);
    DWORD got_type = type;
    DWORD n = static_cast<DWORD>(size);
    LONG rc;
    if (global || path_flag_) {
        void *&kept = read_keys_[global ? 0 : 1];
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (!kept)
                kept = global ? open_key(GLOBAL_KEY_WINNT, nullptr, false) : open_key(nullptr, key_path_.nstring(), false);
            if (!kept)
                return false;
            got_type = type;
            n = static_cast<DWORD>(size);
            rc = RegQueryValueExA(static_cast<HKEY>(kept), name, nullptr, &got_type, buf, &n);
            if (rc != ERROR_KEY_DELETED)
                break;
            // Someone deleted the key since it was opened: open it again, once.
            RegCloseKey(static_cast<HKEY>(kept));
            kept = nullptr;
        }
    } else {
        DWORD needed = 0;
        rc = static_cast<LONG>(
            GetPrinterDataA(printer_, const_cast<LPSTR>(name), &got_type, buf, static_cast<DWORD>(size), &needed));
    }
    return rc == ERROR_SUCCESS;
}

void prtreg::close_keys() {
    for (void *&key : read_keys_) {
        if (key)
            RegCloseKey(static_cast<HKEY>(key));
        key = nullptr;
    }
}

bool prtreg::SetData(const char *name, const unsigned char *buf, LONG size, DWORD type, bool global) {
    if (size < 0)
        return false;
    LockGuard hold(gPrinterSemaphore);
    LONG rc;
    if (global || path_flag_) {
        RegKey key(global ? open_key(GLOBAL_KEY_WINNT, nullptr, true) : open_key(nullptr, key_path_.nstring(), true));
        if (!key)
            return false;
        rc = RegSetValueExA(key.get(), name, 0, type, buf, static_cast<DWORD>(size));
    } else {
        rc = static_cast<LONG>(
            SetPrinterDataA(printer_, const_cast<LPSTR>(name), type, const_cast<LPBYTE>(buf), static_cast<DWORD>(size)));
    }
    return rc == ERROR_SUCCESS;
}
