// Host stand-in: a region with millimetres, a full stop and a leading zero, no
// installed Windows locales, and no language modules (lookups find nothing).
#include "prtlocale.h"

#include "../foundation/util.h"

bool prtlocale::read_region(Region what, char *buf, LONG n) {
    static const char *const answers[] = {"0", "1", "ENU", ".", ","};
    mrl::__strncpy(buf, answers[what], n);
    return true;
}

bool prtlocale::IsValidLocale(LCID) { return false; }

HINSTANCE prtlocale::LoadLanguage(const char *) { return nullptr; }

void prtlocale::free_module(HINSTANCE) {}

LONG prtlocale::module_string(HINSTANCE, LONG, WCHAR *buf, LONG n) {
    if (n > 0)
        buf[0] = 0;
    return 0;
}

// Nobody to ask on the host: the change is not confirmed.
bool prtlocale::confirm(HWND, const WCHAR *, const WCHAR *) { return false; }
