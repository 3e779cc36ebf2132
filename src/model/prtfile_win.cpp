#include "prtfile.h"

#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "../platform/globals.h"

#include <winspool.h>

namespace {

// OpenFile takes narrow paths of fewer than OFS_MAXPATHNAME characters; a longer
// path opens through CreateFileW with the same meaning of the mode bits.
HFILE open_long(const WCHAR *path, LONG mode) {
    DWORD access = GENERIC_READ;
    if ((mode & 3) == prtfile::kWrite)
        access = GENERIC_WRITE;
    else if ((mode & 3) == prtfile::kReadWrite || (mode & prtfile::kCreate))
        access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = (mode & prtfile::kCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    HANDLE h = CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? HFILE_ERROR : static_cast<HFILE>(reinterpret_cast<INT_PTR>(h));
}

HANDLE as_handle(HFILE h) { return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(h)); }

// Narrow form of a path for OpenFile; false when it does not fit.
bool narrow_path(const WCHAR *path, char (&out)[OFS_MAXPATHNAME]) {
    int n = WideCharToMultiByte(CP_ACP, 0, path, -1, out, OFS_MAXPATHNAME, nullptr, nullptr);
    return n > 0;
}

// Keeps a path's folder with its trailing backslash; false when it has none.
bool keep_folder(WCHAR *path) {
    WCHAR *cut = nullptr;
    for (WCHAR *p = path; *p; ++p)
        if (*p == L'\\')
            cut = p;
    if (cut)
        cut[1] = 0;
    return cut != nullptr;
}

} // namespace

bool prtfile::Open(const WCHAR *path, LONG mode) {
    if (is_open() || !path)
        return false;
    char narrow[OFS_MAXPATHNAME];
    if (narrow_path(path, narrow))
        handle_ = OpenFile(narrow, &open_info_, static_cast<UINT>(mode & 0xFFFF));
    else
        handle_ = open_long(path, mode);
    if (!is_open())
        return false;
    DWORD sz = GetFileSize(as_handle(handle_), nullptr);
    size_ = sz == INVALID_FILE_SIZE ? -1 : static_cast<LONG>(sz);
    if (mode & kAppend)
        SetFilePointer(as_handle(handle_), 0, nullptr, FILE_END);
    return true;
}

LONG prtfile::Read(unsigned char *buf, LONG n) {
    if (!is_open())
        return -1;
    DWORD got = 0;
    if (n < 0 || !ReadFile(as_handle(handle_), buf, static_cast<DWORD>(n), &got, nullptr))
        return 0;
    return static_cast<LONG>(got);
}

LONG prtfile::Write(const unsigned char *buf, LONG n) {
    if (!is_open())
        return -1;
    DWORD put = 0;
    if (n < 0 || !WriteFile(as_handle(handle_), buf, static_cast<DWORD>(n), &put, nullptr))
        return 0;
    return static_cast<LONG>(put);
}

bool prtfile::Close() {
    if (!is_open())
        return false;
    CloseHandle(as_handle(handle_));
    handle_ = kClosed;
    return true;
}

bool prtfile::Delete(const WCHAR *path) { return path && DeleteFileW(path); }

bool prtfile::Exists(const WCHAR *path) {
    if (!path)
        return false;
    char narrow[OFS_MAXPATHNAME];
    if (!narrow_path(path, narrow))
        return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    OFSTRUCT info;
    return OpenFile(narrow, &info, OF_EXIST) != HFILE_ERROR;
}

bool prtfile::GetSystemDirectoryW(WCHAR *buf, LONG n) {
    ::GetSystemDirectoryW(buf, static_cast<UINT>(n));
    return true;
}

bool prtfile_module_directory(WCHAR *buf, LONG n) {
    DWORD len = GetModuleFileNameW(ghInstance, buf, static_cast<DWORD>(n));
    // A path cut short would name some other folder.
    if (len == 0 || static_cast<LONG>(len) >= n) {
        if (n > 0)
            buf[0] = 0;
        return false;
    }
    keep_folder(buf);
    return true;
}

bool prtfile::UseDriverDirectoryOf(HANDLE printer) {
    auto *info = static_cast<DRIVER_INFO_2W *>(MyGetPrinterDriver(printer, 2));
    if (!info)
        return false;
    bool ok = false;
    if (info->pConfigFile) {
        WCHAR dir[520];
        lstrcpynW(dir, info->pConfigFile, 520);
        if (keep_folder(dir)) {
            SetDriverDirectory(dir);
            ok = true;
        }
    }
    MEMFREE(info);
    return ok;
}

bool prtfile::Stamp(const WCHAR *path, int64_t *size, int64_t *mtime) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!path || !GetFileAttributesExW(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    *size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    *mtime = (static_cast<int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return true;
}
