// Stock lists for the form tests: a stock with the fields a test cares about.
#pragma once

#include "store/prtform.h"

inline prtform *add_form(prtformlist &list, const char *name, uint32_t flags, LONG w = 50000, LONG h = 25000) {
    auto *f = new prtform;
    f->set_name(name);
    f->set_flags(flags);
    f->set_width(w);
    f->set_height(h);
    list.Add(f);
    return f;
}
