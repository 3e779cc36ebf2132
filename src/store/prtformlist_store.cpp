// The form list in the printer data store: the user form and the unprintable
// width per printer, custom stocks machine-wide, predefined stocks per OEM.
#include "../foundation/ostring.h"
#include "../foundation/util.h"
#include "../model/model.h"
#include "prtform.h"
#include "prtreg.h"

#include <cstdio>
#include <new>

namespace {

constexpr char kUnprintableWidth[] = "Unprintable Width";
constexpr char kUserForm[] = "User Form";
constexpr char kFormCount[] = "Form Count";
// A count beyond this is not a list this module wrote: reading that many
// values would only stall the caller.
constexpr LONG kMaxStoredForms = 1024;

void form_value_name(char (&out)[32], LONG n) { std::snprintf(out, sizeof out, "Form %ld", static_cast<long>(n)); }

bool load_le32(prtreg &store, const char *name, bool global, int32_t *value) {
    unsigned char raw[4];
    if (!store.LoadRaw(name, raw, 4, global))
        return false;
    *value = static_cast<int32_t>(raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<uint32_t>(raw[3]) << 24);
    return true;
}

bool save_le32(prtreg &store, const char *name, bool global, int32_t value) {
    auto v = static_cast<uint32_t>(value);
    unsigned char raw[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    return store.SaveRaw(name, raw, 4, global);
}

bool save_form(prtreg &store, const char *name, bool global, const prtform &form) {
    FormRecord rec;
    unsigned char bytes[kFormRecordSize];
    form.get_record(&rec);
    FormRecordToBytes(rec, bytes);
    return store.SaveRaw(name, bytes, kFormRecordSize, global);
}

// Per-printer route: the printer data, or the key path while one is set.
void load_form(prtformlist &list, prtreg &store, const char *name) {
    unsigned char bytes[kFormRecordSize];
    if (!store.LoadRaw(name, bytes, kFormRecordSize, false))
        return;
    auto *form = new (std::nothrow) prtform;
    if (!form)
        return;
    FormRecord rec;
    FormRecordFromBytes(bytes, kFormRecordSize, &rec);
    form->set_record(rec);
    list.Add(form);
}

// "Form Count" and "Form 1".. below the store's current key path.
void load_numbered(prtformlist &list, prtreg &store) {
    int32_t count = 0;
    if (!load_le32(store, kFormCount, false, &count))
        count = 0;
    if (count > kMaxStoredForms)
        count = kMaxStoredForms;
    for (LONG n = count; n >= 1; --n) {
        char name[32];
        form_value_name(name, n);
        load_form(list, store, name);
    }
}

// The non-user forms that are (or are not) predefined, numbered from 1, then their count.
void save_numbered(const prtformlist &list, prtreg &store, bool predefined, bool global) {
    LONG n = 0;
    for (prtform *f = list.get_first(); f; f = f->get_next()) {
        if (f->is_user() || f->is_predefined() != predefined)
            continue;
        char name[32];
        form_value_name(name, ++n);
        save_form(store, name, global, *f);
    }
    save_le32(store, kFormCount, global, n);
}

// GLOBAL_KEY + "\" + OEM code; false without a model or OEM code.
bool oem_key(const prtformlist &list, OString &key) {
    const _MODEL *model = list.get_model();
    if (!model || !model->GetOEM()[0])
        return false;
    key = GLOBAL_KEY;
    key += "\\";
    key += model->GetOEM();
    return true;
}

} // namespace

bool prtformlist::Load(prtreg &store) {
    int32_t width;
    if (load_le32(store, kUnprintableWidth, false, &width))
        unprintable_width_ = width;

    load_form(*this, store, kUserForm);

    store.SetPath(GLOBAL_KEY);
    load_numbered(*this, store);
    OString key;
    if (oem_key(*this, key)) {
        store.SetPath(key);
        load_numbered(*this, store);
    }
    store.SetPath(nullptr);
    Validate();
    return true;
}

bool prtformlist::Save(prtreg &store) {
    save_le32(store, kUnprintableWidth, false, unprintable_width_);
    for (prtform *f = get_first(); f; f = f->get_next()) {
        if (f->is_user()) {
            save_form(store, kUserForm, false, *f);
            break;
        }
    }

    save_numbered(*this, store, false, true);
    OString key;
    if (oem_key(*this, key)) {
        store.SetPath(key);
        save_numbered(*this, store, true, false);
        store.SetPath(nullptr);
    }
    return true;
}
