// Host stand-in for the ANSI code page conversions: Latin-1, '?' for the rest.
#include "compat.h"

int MultiByteToWideChar(UINT, DWORD, const char *src, int srclen, WCHAR *dst, int dstlen) {
    if (!src)
        return 0;
    int n = 0;
    if (srclen < 0)
        while (src[n++]) {
        }
    else
        n = srclen;
    if (dstlen == 0)
        return n;
    if (!dst || n > dstlen)
        return 0;
    for (int i = 0; i < n; ++i)
        dst[i] = static_cast<unsigned char>(src[i]);
    return n;
}

int WideCharToMultiByte(UINT, DWORD, const WCHAR *src, int srclen, char *dst, int dstlen, const char *,
                        BOOL *useddef) {
    if (!src)
        return 0;
    int n = 0;
    if (srclen < 0)
        while (src[n++]) {
        }
    else
        n = srclen;
    if (dstlen == 0)
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
