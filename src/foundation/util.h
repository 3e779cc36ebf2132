// Small free routines the whole module uses instead of the C library: their
// behaviour at null pointers and rounding boundaries is relied on by callers.
#pragma once

#include "compat.h"

namespace mrl {

void __memcpy(void *dst, const void *src, int32_t n);
// True when the blocks differ (or either is null): a difference test, not an order.
bool __memcmp(const void *a, const void *b, int32_t n);
void __memset(void *p, int c, int32_t n);
void __strncpy(char *dst, const char *src, int32_t n);
int __stricmp(const char *a, const char *b);
int __strncmp(const char *a, const char *b, int32_t n);
int __strnicmp(const char *a, const char *b, int32_t n);
const char *__strchr(const char *s, int c);
const char *__stristr(const char *s, const char *t);
const WCHAR *tstrstr(const WCHAR *s, const WCHAR *t);
int32_t __strlen(const char *s);
int32_t __wcslen(const WCHAR *s);
int32_t atol(const char *s);
int32_t roundbydivisor(int32_t a, int32_t b);
int32_t fitrange(int32_t v, int32_t lo, int32_t hi);
int32_t __muldiv(int32_t a, int32_t b, int32_t c);
int32_t __abs(int32_t v);
void *allocmemcpy(const void *src, int32_t n);

} // namespace mrl
