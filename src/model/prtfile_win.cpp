#include "prtfile.h"

#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "../platform/globals.h"

#include <winspool.h>

namespace {

// The mode bits keep OpenFile's meanings: read, write or both; create (or
// truncate) instead of opening an existing file.
HANDLE open_wide(const WCHAR *path, LONG mode) {
    DWORD access = GENERIC_READ;
    if ((mode & 3) == prtfile::kWrite)
        access = GENERIC_WRITE;
    else if ((mode & 3) == prtfile::kReadWrite || (mode & prtfile::kCreate))
        access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = (mode & prtfile::kCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    return CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
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
    handle_ = open_wide(path, mode);
    if (!is_open())
        return false;
    LARGE_INTEGER sz;
    size_ = GetFileSizeEx(handle_, &sz) && sz.QuadPart <= INT32_MAX ? static_cast<LONG>(sz.QuadPart) : -1;
    if (mode & kAppend)
        SetFilePointer(handle_, 0, nullptr, FILE_END);
    return true;
}

LONG prtfile::Read(unsigned char *buf, LONG n) {
    if (!is_open())
        return -1;
    DWORD got = 0;
    if (n < 0 || !ReadFile(handle_, buf, static_cast<DWORD>(n), &got, nullptr))
        return 0;
    return static_cast<LONG>(got);
}

LONG prtfile::Write(const unsigned char *buf, LONG n) {
    if (!is_open())
        return -1;
    DWORD put = 0;
    if (n < 0 || !WriteFile(handle_, buf, static_cast<DWORD>(n), &put, nullptr))
        return 0;
    return static_cast<LONG>(put);
}

bool prtfile::Close() {
    if (!is_open())
        return false;
    CloseHandle(handle_);
    handle_ = closed();
    return true;
}

bool prtfile::Delete(const WCHAR *path) { return path && DeleteFileW(path); }

std::vector<std::wstring> prtfile::Find(const WCHAR *directory, const WCHAR *pattern) {
    std::vector<std::wstring> names;
    std::wstring query = directory ? directory : L"";
    if (!query.empty() && query.back() != L'\\')
        query += L'\\';
    query += pattern ? pattern : L"*";
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(query.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

bool prtfile::Exists(const WCHAR *path) {
    if (!path)
        return false;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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
