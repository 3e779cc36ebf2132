#include "util.h"

#include <new>

namespace mrl {

void __memcpy(void *dst, const void *src, int32_t n) {
    if (!dst || !src)
        return;
    auto *d = static_cast<unsigned char *>(dst);
    auto *s = static_cast<const unsigned char *>(src);
    for (int32_t i = 0; i < n; ++i)
        d[i] = s[i];
}

bool __memcmp(const void *a, const void *b, int32_t n) {
    if (!a || !b)
        return true;
    auto *p = static_cast<const unsigned char *>(a);
    auto *q = static_cast<const unsigned char *>(b);
    for (int32_t i = 0; i < n; ++i)
        if (p[i] != q[i])
            return true;
    return false;
}

void __memset(void *p, int c, int32_t n) {
    auto *d = static_cast<unsigned char *>(p);
    for (int32_t i = 0; i < n; ++i)
        d[i] = static_cast<unsigned char>(c);
}

void __strncpy(char *dst, const char *src, int32_t n) {
    if (!dst || !src || n < 1)
        return;
    int32_t i = 0;
    for (; i < n - 1 && src[i]; ++i)
        dst[i] = src[i];
    for (; i < n; ++i)
        dst[i] = 0;
}

static inline signed char fold(char c) {
    signed char s = static_cast<signed char>(c);
    return (s >= 'a' && s <= 'z') ? static_cast<signed char>(s - 32) : s;
}

static inline int order(signed char x, signed char y) { return x < y ? -1 : 1; }

int __stricmp(const char *a, const char *b) {
    if (!a || !b)
        return -1;
    for (;; ++a, ++b) {
        signed char x = fold(*a), y = fold(*b);
        if (x != y)
            return order(x, y);
        if (!x)
            return 0;
    }
}

static int bounded_compare(const char *a, const char *b, int32_t n, bool nocase) {
    if (!a || !b)
        return -1;
    for (int32_t i = 0; i < n; ++i) {
        signed char x = static_cast<signed char>(a[i]), y = static_cast<signed char>(b[i]);
        if (nocase) {
            x = fold(a[i]);
            y = fold(b[i]);
        }
        if (x != y)
            return order(x, y);
        if (!x)
            return 0;
    }
    return 0;
}

int __strncmp(const char *a, const char *b, int32_t n) { return bounded_compare(a, b, n, false); }
int __strnicmp(const char *a, const char *b, int32_t n) { return bounded_compare(a, b, n, true); }

const char *__strchr(const char *s, int c) {
    if (!s)
        return nullptr;
    for (; *s; ++s)
        if (*s == static_cast<char>(c))
            return s;
    return nullptr;
}

int32_t __strlen(const char *s) {
    int32_t n = 0;
    if (s)
        while (s[n])
            ++n;
    return n;
}

int32_t __wcslen(const WCHAR *s) {
    int32_t n = 0;
    if (s)
        while (s[n])
            ++n;
    return n;
}

const char *__stristr(const char *s, const char *t) {
    if (!s || !t)
        return nullptr;
    int32_t n = __strlen(t);
    for (; *s; ++s)
        if (__strnicmp(s, t, n) == 0)
            return s;
    return nullptr;
}

const WCHAR *tstrstr(const WCHAR *s, const WCHAR *t) {
    if (!s || !t)
        return nullptr;
    int32_t n = __wcslen(t);
    for (; *s; ++s) {
        int32_t i = 0;
        while (i < n && s[i] == t[i])
            ++i;
        if (i == n)
            return s;
    }
    return nullptr;
}

int32_t atol(const char *s) {
    if (!s)
        return 0;
    while (*s == ' ' || *s == '\t')
        ++s;
    uint32_t value = 0; // wraps in 32 bits, without signed overflow
    bool negative = false;
    for (; *s; ++s) {
        if (*s >= '0' && *s <= '9')
            value = value * 10u + static_cast<uint32_t>(*s - '0');
        else if (*s == '-')
            negative = !negative;
        else if (*s != '+')
            break;
    }
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

int32_t __abs(int32_t v) { return v < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(v)) : v; }

int32_t roundbydivisor(int32_t a, int32_t b) {
    int sign = 1;
    if (a < 0)
        sign = -sign;
    if (b < 0)
        sign = -sign;
    uint32_t ua = static_cast<uint32_t>(__abs(a)), ub = static_cast<uint32_t>(__abs(b));
    if (ub == 0)
        return 0;
    uint32_t q = (ua + ub / 2) / ub;
    // Unsigned negation: (INT32_MIN, 1) wraps as in 32-bit arithmetic instead of overflowing.
    return static_cast<int32_t>(sign < 0 ? 0u - q : q);
}

int32_t fitrange(int32_t v, int32_t lo, int32_t hi) {
    if (v < lo)
        return lo;
    if (v > hi)
        return hi;
    return v;
}

int32_t __muldiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0)
        return 0; // callers guarantee a divisor; an integer fault here would take down the spooler
    // 32-bit product and sum, wrapping on overflow: no wider intermediate.
    uint32_t p = static_cast<uint32_t>(a) * static_cast<uint32_t>(b);
    uint32_t sum = p + static_cast<uint32_t>(c / 2);
    int32_t s = static_cast<int32_t>(sum);
    if (c == -1 && s == INT32_MIN)
        return s; // the one quotient that does not fit; wraps
    return s / c;
}

void *allocmemcpy(const void *src, int32_t n) {
    if (n < 0)
        return nullptr;
    auto *p = static_cast<unsigned char *>(::operator new(static_cast<size_t>(n ? n : 1), std::nothrow));
    if (!p)
        return nullptr;
    if (src)
        __memcpy(p, src, n);
    return p;
}

} // namespace mrl
