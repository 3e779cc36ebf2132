#include "prtreg.h"

#include "../foundation/memory.h"
#include "../foundation/util.h"

#include <chrono>

prtreg::prtreg() : path_flag_(false), printer_(nullptr) {}

prtreg::prtreg(void *printer) : path_flag_(false), printer_(printer) {}

prtreg::~prtreg() { close_keys(); }

void prtreg::init(void *printer, const WCHAR *printer_name) {
    printer_ = printer;
    printer_name_ = printer_name;
}

void prtreg::SetPath(const char *path) {
    close_keys();
    if (!path) {
        path_flag_ = false;
        return;
    }
    key_path_ = path;
    path_flag_ = true;
}

void prtreg::SetDriverPath() {
    close_keys();
    key_path_ = DRIVER_FILES_KEY;
    key_path_ += printer_name_;
    path_flag_ = true;
}

bool prtreg::LoadRaw(const char *name, unsigned char *buf, LONG size, bool global) {
    if (size <= 0 || !buf)
        return false;
    // The stored value may be shorter than asked for: read into a scratch block
    // so that buf changes only on success, and always by exactly size bytes.
    unsigned char *scratch = static_cast<unsigned char *>(MEMALLOC(static_cast<size_t>(size)));
    if (!scratch)
        return false;
    bool ok = GetData(name, scratch, size, kRegBinary, global);
    if (ok)
        mrl::__memcpy(buf, scratch, size);
    MEMFREE(scratch);
    return ok;
}

bool prtreg::SaveRaw(const char *name, const unsigned char *buf, LONG size, bool global) {
    if (size < 0 || (!buf && size))
        return false;
    return SetData(name, buf, size, kRegBinary, global);
}

bool prtreg::LoadStr(const char *name, unsigned char *buf, LONG size, bool global) {
    if (size <= 0 || !buf)
        return false;
    // One byte more than may be read, zeroed: a stored text without its NUL
    // still ends inside the block.
    unsigned char *scratch = static_cast<unsigned char *>(MEMALLOC(static_cast<size_t>(size) + 1));
    if (!scratch)
        return false;
    bool ok = GetData(name, scratch, size, kRegSz, global);
    if (ok) {
        LONG n = 0;
        while (n < size - 1 && scratch[n])
            ++n;
        mrl::__memcpy(buf, scratch, n);
        buf[n] = 0;
    }
    MEMFREE(scratch);
    return ok;
}

bool prtreg::SaveStr(const char *name, const unsigned char *buf, LONG size, bool global) {
    if (size < 0 || (!buf && size))
        return false;
    return SetData(name, buf, size, kRegSz, global);
}

namespace {
constexpr char kChangeStamp[] = "Change Stamp";
}

bool prtreg::LoadChangeStamp(uint64_t *stamp) {
    unsigned char raw[8];
    if (!LoadRaw(kChangeStamp, raw, 8, true))
        return false;
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | raw[i];
    *stamp = v;
    return true;
}

bool prtreg::BumpChangeStamp() {
    uint64_t stored = 0;
    LoadChangeStamp(&stored);
    auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
                   .count();
    uint64_t v = stored + 1;
    if (now > 0 && static_cast<uint64_t>(now) > v)
        v = static_cast<uint64_t>(now);
    unsigned char raw[8];
    for (int i = 0; i < 8; ++i)
        raw[i] = static_cast<unsigned char>(v >> (8 * i));
    return SaveRaw(kChangeStamp, raw, 8, true);
}
