// Files for tests, in a private temporary folder on either platform.
#pragma once

#include <string>
#include <vector>

#include "foundation/compat.h"
#include "model/prtfile.h"

#ifdef _WIN32
#include <process.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using WString = std::basic_string<WCHAR>;

inline WString widen(const std::string &s) { return WString(s.begin(), s.end()); }

// The folder, with its trailing separator, made on first use and removed with
// the files handed out by temp_path when the test program ends.
struct TempFolder {
    WString dir;
    std::vector<WString> files;
    ~TempFolder() {
        for (const WString &f : files)
            prtfile::Delete(f.c_str());
#ifdef _WIN32
        RemoveDirectoryW(dir.c_str());
#else
        std::string d(dir.begin(), dir.end());
        rmdir(d.c_str());
#endif
    }
};

inline TempFolder &temp_folder() {
    static TempFolder folder{[] {
#ifdef _WIN32
        WCHAR buf[MAX_PATH];
        GetTempPathW(MAX_PATH, buf);
        WString d = WString(buf) + widen("mrl_test_" + std::to_string(_getpid()));
        CreateDirectoryW(d.c_str(), nullptr);
        return d + WSTR("\\");
#else
        std::string d = "/tmp/mrl_test_" + std::to_string(getpid());
        mkdir(d.c_str(), 0700);
        return widen(d + "/");
#endif
    }(), {}};
    return folder;
}

inline const WString &temp_dir() { return temp_folder().dir; }

inline WString temp_path(const std::string &name) {
    WString path = temp_dir() + widen(name);
    temp_folder().files.push_back(path);
    return path;
}

template <typename Bytes> bool write_file(const WString &path, const Bytes &bytes) {
    prtfile f;
    if (!f.Open(path.c_str(), prtfile::kCreate | prtfile::kWrite))
        return false;
    LONG n = static_cast<LONG>(bytes.size());
    return f.Write(reinterpret_cast<const unsigned char *>(bytes.data()), n) == n;
}
