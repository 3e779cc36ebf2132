#include "prtfile.h"

#include "../foundation/util.h"

namespace {
constexpr LONG kDirChars = 520;
WCHAR g_driver_dir[kDirChars];
bool g_driver_dir_set = false;
} // namespace

prtfile::prtfile() : handle_(closed()), size_(0) {}

prtfile::prtfile(const WCHAR *path, LONG mode) : prtfile() { Open(path, mode); }

prtfile::~prtfile() { Close(); }

void prtfile::SetDriverDirectory(const WCHAR *dir) {
    g_driver_dir_set = false;
    if (!dir)
        return;
    int32_t n = mrl::__wcslen(dir);
    if (n >= kDirChars)
        return;
    mrl::__memcpy(g_driver_dir, dir, (n + 1) * static_cast<int32_t>(sizeof(WCHAR)));
    g_driver_dir_set = true;
}

bool prtfile::GetDriverDirectory(WCHAR *buf, LONG n) {
    if (!buf || n < 1)
        return false;
    if (!g_driver_dir_set)
        return prtfile_module_directory(buf, n);
    int32_t len = mrl::__wcslen(g_driver_dir);
    if (len >= n)
        return false;
    mrl::__memcpy(buf, g_driver_dir, (len + 1) * static_cast<int32_t>(sizeof(WCHAR)));
    return true;
}

bool prtfile::ReadAll(const WCHAR *path, std::vector<unsigned char> &out, LONG max) {
    out.clear();
    prtfile file(path, kRead);
    if (!file.is_open() || file.size() < 0 || file.size() > max)
        return false;
    out.resize(static_cast<size_t>(file.size()));
    if (!out.empty() && file.Read(out.data(), file.size()) != file.size()) {
        out.clear();
        return false;
    }
    return true;
}
