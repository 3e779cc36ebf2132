// Host stand-in for the ANSI code page conversions: Latin-1, '?' for the rest.
#include "compat.h"

namespace {
// Code units to convert: a negative length means up to and including the terminator.
template <typename C> int units(const C *src, int srclen) {
    if (!src)
        return 0;
    if (srclen >= 0)
        return srclen;
    int n = 0;
    while (src[n++]) {
    }
    return n;
}
} // namespace

int MultiByteToWideChar(UINT, DWORD, const char *src, int srclen, WCHAR *dst, int dstlen) {
    int n = units(src, srclen);
    if (n <= 0 || dstlen == 0)
        return n;
    if (!dst || n > dstlen)
        return 0;
    for (int i = 0; i < n; ++i)
        dst[i] = static_cast<unsigned char>(src[i]);
    return n;
}

int WideCharToMultiByte(UINT, DWORD, const WCHAR *src, int srclen, char *dst, int dstlen, const char *,
                        BOOL *useddef) {
    int n = units(src, srclen);
    if (n <= 0 || dstlen == 0)
        return n;
    if (!dst || n > dstlen)
        return 0;
    for (int i = 0; i < n; ++i) {
        bool fits = src[i] < 256;
        dst[i] = fits ? static_cast<char>(src[i]) : '?';
        if (!fits && useddef)
            *useddef = TRUE;
    }
    return n;
}
