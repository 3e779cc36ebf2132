// The bar-font list in the printer data store: fonts users made machine-wide,
// the package's predefined fonts below the OEM's key.
#include "../foundation/lebytes.h"
#include "../foundation/memory.h"
#include "../foundation/ostring.h"
#include "../model/model.h"
#include "barfont.h"
#include "prtreg.h"

#include <cstdio>
#include <new>

namespace {

constexpr char kCount[] = "BC Font Count";
// A stored "Data Size" is read up to this many bytes; only the record's part is kept.
constexpr LONG kMaxStoredSize = 4096;

void value_name(char (&out)[48], const char *prefix, const char *what) {
    std::snprintf(out, sizeof out, "%s%s", prefix, what);
}

bool load_count(prtreg &store, bool global, LONG *count) {
    unsigned char raw[4];
    if (!store.LoadRaw(kCount, raw, 4, global))
        return false;
    *count = le::i32(raw);
    return true;
}

void save_count(prtreg &store, bool global, LONG count) {
    unsigned char raw[4];
    le::put32(raw, static_cast<uint32_t>(count));
    store.SaveRaw(kCount, raw, 4, global);
}

// One group, count − 1 down to 0; false when the stored count is not one a list can have.
bool load_group(barfontlist &list, prtreg &store, bool global) {
    LONG count = 0;
    if (!load_count(store, global, &count))
        count = 0;
    bool whole = count >= 0 && count <= kMaxBarFonts;
    if (count > kMaxBarFonts)
        count = kMaxBarFonts;
    for (LONG i = count - 1; i >= 0; --i) {
        auto *node = new (std::nothrow) barfontnode;
        if (!node)
            return false;
        node->Load(store, i, global);
        list.AddTail(node);
    }
    return whole;
}

void save_group(const barfontlist &list, prtreg &store, bool predefined, bool global) {
    LONG n = 0;
    for (barfontnode *f = list.get_first(); f; f = f->get_next())
        if (((f->font.get_flags() & BFF_PREDEFINED) != 0) == predefined)
            f->Save(store, n++, global);
    save_count(store, global, n);
}

bool oem_key(const _MODEL *model, OString &key) {
    if (!model || !model->GetOEM()[0])
        return false;
    key = GLOBAL_KEY;
    key += "\\";
    key += model->GetOEM();
    return true;
}

void node_prefix(char (&out)[24], LONG index) {
    std::snprintf(out, sizeof out, "BCF%ld%ld ", static_cast<long>(index / 10), static_cast<long>(index % 10));
}

} // namespace

bool barfont::Load(prtreg &store, const char *prefix, bool global) {
    set_dpi(203);
    init();
    char name[48];
    unsigned char raw[4];
    value_name(name, prefix, "Data Size");
    if (!store.LoadRaw(name, raw, 4, global))
        return false;
    LONG size = le::i32(raw);
    if (size <= 0)
        return false;
    if (size > kMaxStoredSize)
        size = kMaxStoredSize;
    MemBlock<unsigned char> data = MemBlock<unsigned char>::alloc(size);
    value_name(name, prefix, "Data");
    if (!data || !store.LoadRaw(name, data.get(), size, global))
        return false;
    set_bytes(data.get(), static_cast<size_t>(size));
    return true;
}

bool barfont::Save(prtreg &store, const char *prefix, bool global) const {
    char name[48];
    unsigned char raw[4];
    le::put32(raw, kBarFontSize);
    value_name(name, prefix, "Data Size");
    bool ok = store.SaveRaw(name, raw, 4, global);
    value_name(name, prefix, "Data");
    return store.SaveRaw(name, rec_, kBarFontSize, global) && ok;
}

bool barfontnode::Load(prtreg &store, LONG index, bool global) {
    shown = true;
    char prefix[24];
    node_prefix(prefix, index);
    return font.Load(store, prefix, global);
}

bool barfontnode::Save(prtreg &store, LONG index, bool global) const {
    char prefix[24];
    node_prefix(prefix, index);
    font.Save(store, prefix, global);
    return true;
}

bool barfontlist::Load(prtreg &store, _MODEL *model) {
    Clear();
    read_whole_ = load_group(*this, store, true);
    OString key;
    if (oem_key(model, key)) {
        store.SetPath(key.nstring());
        read_whole_ &= load_group(*this, store, false);
        store.SetPath(nullptr);
    }
    return true;
}

bool barfontlist::Save(prtreg &store, _MODEL *model) {
    // A group cut short on loading would be lost for good by saving it.
    if (!read_whole_ || CountStored(false) > kMaxBarFonts || CountStored(true) > kMaxBarFonts)
        return false;
    save_group(*this, store, false, true);
    OString key;
    if (oem_key(model, key)) {
        store.SetPath(key.nstring());
        save_group(*this, store, true, false);
        store.SetPath(nullptr);
    }
    return true;
}
