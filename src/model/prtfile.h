// Thin wrapper of one open file: the driver data file, list files, files sent
// to the printer and reports. Windows opens wide paths through CreateFileW (a
// narrow path would lose every character outside the ANSI code page); the
// host build has a stand-in with the same results.
#pragma once

#include "../foundation/compat.h"

#include <string>
#include <vector>

#ifdef _WIN32
typedef HANDLE prtfile_handle;
#else
typedef int prtfile_handle;
#endif

class prtfile {
public:
    // Open modes (the values of OpenFile's OF_ flags) and the append flag of this class.
    enum : LONG {
        kRead = 0x0000,
        kWrite = 0x0001,
        kReadWrite = 0x0002,
        kCreate = 0x1000,
        kAppend = 0x10000,
    };

    prtfile();
    prtfile(const WCHAR *path, LONG mode);
    ~prtfile();
    prtfile(const prtfile &) = delete;
    prtfile &operator=(const prtfile &) = delete;

    bool Open(const WCHAR *path, LONG mode);
    // Bytes read or written; -1 when the file is not open, 0 when the call failed.
    LONG Read(unsigned char *buf, LONG n);
    LONG Write(const unsigned char *buf, LONG n);
    bool Close();
    bool is_open() const { return handle_ != closed(); }
    // Size taken right after opening; -1 when it could not be read, 0 before any open.
    LONG size() const { return size_; }

    // The whole file into out; false when it cannot be read or holds more
    // than max bytes (out is then empty).
    static bool ReadAll(const WCHAR *path, std::vector<unsigned char> &out, LONG max);
    static bool Delete(const WCHAR *path);
    static bool Exists(const WCHAR *path);
    // Size and last-write time of a file, to tell whether it changed; false when it cannot be read.
    static bool Stamp(const WCHAR *path, int64_t *size, int64_t *mtime);
    static bool GetSystemDirectoryW(WCHAR *buf, LONG n);
    // Folder of this module's own file, with its trailing separator.
    static bool GetDriverDirectory(WCHAR *buf, LONG n);
    // Replaces the module's folder in GetDriverDirectory (tools, tests); null restores it.
    // The folder should end in a separator. Not thread-safe: set it before use.
    static void SetDriverDirectory(const WCHAR *dir);
#ifdef _WIN32
    // Sets that folder to the one the spooler loads this module from for the
    // printer (its driver's config file folder), for tools and tests that link
    // the module statically. False when the driver information cannot be read.
    static bool UseDriverDirectoryOf(HANDLE printer);
    // Names of the files (not folders) in directory that match pattern, in the
    // order the search returns them; a missing backslash is added to directory.
    static std::vector<std::wstring> Find(const WCHAR *directory, const WCHAR *pattern);
#endif

private:
#ifdef _WIN32
    static prtfile_handle closed() { return INVALID_HANDLE_VALUE; }
#else
    static prtfile_handle closed() { return -1; }
#endif
    prtfile_handle handle_;
    LONG size_;
};

// The platform's part of GetDriverDirectory: the folder of this module's own file.
bool prtfile_module_directory(WCHAR *buf, LONG n);
