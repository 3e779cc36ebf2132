#include "ostring.h"

#include "util.h"

#include <new>

namespace {
const char empty_narrow[1] = {0};
const WCHAR empty_wide[1] = {0};
} // namespace

OString::OString() : narrow_(nullptr), wide_(nullptr), capacity_(0) {}
OString::OString(const char *s) : OString() { *this = s; }
OString::OString(const WCHAR *s) : OString() { *this = s; }
OString::~OString() {
    clear_nstring();
    clear_wstring();
}

void OString::clear_nstring() {
    delete[] narrow_;
    narrow_ = nullptr;
}

void OString::clear_wstring() {
    delete[] wide_;
    wide_ = nullptr;
}

bool OString::set_length(LONG n) {
    clear_nstring();
    clear_wstring();
    capacity_ = 0;
    if (n < 1)
        return false;
    if (n > (INT32_MAX - 2) / 2)
        return false;
    LONG cap = 2 * n + 2;
    narrow_ = new (std::nothrow) char[cap];
    wide_ = new (std::nothrow) WCHAR[cap];
    if (!narrow_ || !wide_) {
        clear_nstring();
        clear_wstring();
        return false;
    }
    capacity_ = cap;
    narrow_[0] = 0;
    wide_[0] = 0;
    return true;
}

// Assignments build into a fresh string and then take its storage: the source
// may point into this string's own buffers (s = (char *)s + 1), which set_length
// would free before the copy.
OString &OString::operator=(const char *s) {
    OString fresh;
    LONG n = mrl::__strlen(s);
    if (n > 0 && fresh.set_length(n))
        mrl::__memcpy(fresh.narrow_, s, n + 1);
    take(fresh);
    return *this;
}

OString &OString::operator=(const unsigned char *s) { return *this = reinterpret_cast<const char *>(s); }

OString &OString::operator=(const WCHAR *s) {
    OString fresh;
    LONG n = mrl::__wcslen(s);
    if (n > 0 && fresh.set_length(n))
        mrl::__memcpy(fresh.wide_, s, (n + 1) * 2);
    take(fresh);
    return *this;
}

void OString::take(OString &other) {
    clear_nstring();
    clear_wstring();
    narrow_ = other.narrow_;
    wide_ = other.wide_;
    capacity_ = other.capacity_;
    other.narrow_ = nullptr;
    other.wide_ = nullptr;
    other.capacity_ = 0;
}

OString &OString::operator=(const OString &other) {
    if (this == &other)
        return *this;
    return *this = other.wstring();
}

bool OString::append_wide(const WCHAR *tail, LONG taillen) {
    const WCHAR *head = wstring();
    LONG headlen = mrl::__wcslen(head);
    LONG total = headlen + taillen;
    if (total == 0 || total > (INT32_MAX - 2) / 2)
        return total == 0;
    // Build the new storage before touching the old, so failure leaves the string as it was.
    LONG cap = 2 * total + 2;
    char *narrow = new (std::nothrow) char[cap];
    WCHAR *wide = new (std::nothrow) WCHAR[cap];
    if (!narrow || !wide) {
        delete[] narrow;
        delete[] wide;
        return false;
    }
    mrl::__memcpy(wide, head, headlen * 2);
    mrl::__memcpy(wide + headlen, tail, taillen * 2);
    wide[total] = 0;
    narrow[0] = 0;
    clear_nstring();
    clear_wstring();
    narrow_ = narrow;
    wide_ = wide;
    capacity_ = cap;
    return true;
}

OString &OString::operator+=(const OString &other) {
    if (this == &other) {
        OString copy;
        copy = other;
        return *this += copy;
    }
    const WCHAR *t = other.wstring();
    append_wide(t, mrl::__wcslen(t));
    return *this;
}

OString &OString::operator+=(const char *s) {
    OString tmp(s);
    return *this += tmp;
}

OString &OString::operator+=(const WCHAR *s) {
    OString tmp(s);
    return *this += tmp;
}

OString &OString::operator+=(char c) {
    WCHAR w[2] = {static_cast<WCHAR>(static_cast<unsigned char>(c)), 0};
    if (c) {
        char n[2] = {c, 0};
        MultiByteToWideChar(CP_ACP, 0, n, -1, w, 2);
    }
    return *this += w;
}

OString &OString::operator+=(LONG value) {
    char digits[16];
    int i = 15;
    digits[i] = 0;
    uint32_t u = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[--i] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u);
    if (value < 0)
        digits[--i] = '-';
    return *this += static_cast<const char *>(digits + i);
}

LONG OString::nlen() const { return is_valid_n() ? mrl::__strlen(narrow_) : 0; }
LONG OString::wlen() const { return is_valid_w() ? mrl::__wcslen(wide_) : 0; }

LONG OString::len() const {
    if (is_valid_w())
        return wlen();
    if (is_valid_n())
        return nlen();
    return 0;
}

bool OString::n_to_w() const {
    if (!narrow_ || !wide_)
        return false;
    return MultiByteToWideChar(CP_ACP, 0, narrow_, -1, wide_, capacity_) > 0;
}

bool OString::w_to_n() const {
    if (!narrow_ || !wide_)
        return false;
    return WideCharToMultiByte(CP_ACP, 0, wide_, -1, narrow_, capacity_, nullptr, nullptr) > 0;
}

const char *OString::nstring() const {
    if (!is_valid_n() && wide_ && narrow_)
        w_to_n();
    return narrow_ ? narrow_ : empty_narrow;
}

const WCHAR *OString::wstring() const {
    if (!is_valid_w() && narrow_ && wide_)
        n_to_w();
    return wide_ ? wide_ : empty_wide;
}

OString::operator LONG() const { return mrl::atol(nstring()); }

WCHAR *OString::wbuffer(LONG n) {
    if (!set_length(n))
        return nullptr;
    return wide_;
}

void OString::commit_w() {
    if (!wide_ || !narrow_)
        return;
    // The caller wrote at most n units; storage holds 2n + 2, so index n ends them.
    wide_[capacity_ / 2 - 1] = 0;
    narrow_[0] = 0;
}
