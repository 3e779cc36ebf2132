// Host stand-in of the file wrapper: POSIX calls with the Windows mode meanings.
// Paths are UTF-16 as on Windows; both separators are accepted.
#include "prtfile.h"

#include "../foundation/util.h"
#include "utf8.h"

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string host_path(const WCHAR *path) {
    std::string out;
    for (const WCHAR *p = path; *p; ++p) {
        uint32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        mrl::utf8_append(out, c == '\\' ? '/' : c);
    }
    return out;
}

bool copy_out(const std::string &s, WCHAR *buf, LONG n) {
    if (static_cast<LONG>(s.size()) >= n)
        return false;
    for (size_t i = 0; i < s.size(); ++i)
        buf[i] = static_cast<unsigned char>(s[i]);
    buf[s.size()] = 0;
    return true;
}

} // namespace

bool prtfile::Open(const WCHAR *path, LONG mode) {
    if (is_open() || !path)
        return false;
    int flags = O_RDONLY;
    if ((mode & 3) == kWrite)
        flags = O_WRONLY;
    else if ((mode & 3) == kReadWrite)
        flags = O_RDWR;
    if (mode & kCreate)
        flags |= O_CREAT | O_TRUNC | ((mode & 3) == kRead ? O_RDWR : 0);
    std::string p = host_path(path);
    struct stat st;
    if (!(mode & kCreate) && (stat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)))
        return false;
    handle_ = ::open(p.c_str(), flags | O_CLOEXEC, 0644);
    if (!is_open())
        return false;
    size_ = (fstat(handle_, &st) == 0 && st.st_size <= INT32_MAX) ? static_cast<LONG>(st.st_size) : -1;
    if (mode & kAppend)
        lseek(handle_, 0, SEEK_END);
    return true;
}

// read/write until n bytes moved or the call stops delivering, like ReadFile/WriteFile.
template <typename Buf, typename Call> LONG transfer(int fd, Buf *buf, LONG n, Call call) {
    if (n < 0 || !buf)
        return 0;
    LONG total = 0;
    while (total < n) {
        ssize_t moved = call(fd, buf + total, static_cast<size_t>(n - total));
        if (moved <= 0)
            break;
        total += static_cast<LONG>(moved);
    }
    return total;
}

LONG prtfile::Read(unsigned char *buf, LONG n) { return is_open() ? transfer(handle_, buf, n, ::read) : -1; }

LONG prtfile::Write(const unsigned char *buf, LONG n) { return is_open() ? transfer(handle_, buf, n, ::write) : -1; }

bool prtfile::Close() {
    if (!is_open())
        return false;
    ::close(handle_);
    handle_ = closed();
    return true;
}

bool prtfile::Delete(const WCHAR *path) { return path && ::unlink(host_path(path).c_str()) == 0; }

bool prtfile::Exists(const WCHAR *path) {
    struct stat st;
    return path && ::stat(host_path(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool prtfile::GetSystemDirectoryW(WCHAR *buf, LONG n) {
    if (buf && n > 0 && !copy_out("C:\\Windows\\system32", buf, n))
        buf[0] = 0;
    return true;
}

bool prtfile_module_directory(WCHAR *buf, LONG n) {
    char exe[4096];
    ssize_t len = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (len <= 0)
        return false;
    std::string s(exe, static_cast<size_t>(len));
    size_t cut = s.rfind('/');
    if (cut != std::string::npos)
        s.resize(cut + 1);
    return copy_out(s, buf, n);
}

bool prtfile::Stamp(const WCHAR *path, int64_t *size, int64_t *mtime) {
    struct stat st;
    if (!path || ::stat(host_path(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    *size = static_cast<int64_t>(st.st_size);
    *mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}
