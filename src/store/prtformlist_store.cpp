// The form list in the printer data store: the user form and the unprintable
// width per printer, custom stocks machine-wide, predefined stocks per OEM.
#include "../foundation/lebytes.h"
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

// Where a value lives: the printer's own data, the machine-wide key, the OEM's key.
enum Place : char { kPrinter = 'P', kMachine = 'G', kOem = 'O' };

// FNV-1a over one value; summed, so the order values are read in does not matter.
uint64_t value_digest(Place place, const char *name, const unsigned char *bytes, LONG n) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](unsigned char c) { h = (h ^ c) * 1099511628211ull; };
    mix(static_cast<unsigned char>(place));
    for (; *name; ++name)
        mix(static_cast<unsigned char>(*name));
    mix(0);
    for (LONG i = 0; i < n; ++i)
        mix(bytes[i]);
    return h;
}

// Reads and writes of one Load or Save, with the digest of the values that went through.
struct Values {
    prtreg &store;
    uint64_t digest = 0;
    bool dry_run = false; // only take the digest

    bool load(Place place, const char *name, unsigned char *buf, LONG n, bool global) {
        if (!store.LoadRaw(name, buf, n, global))
            return false;
        digest += value_digest(place, name, buf, n);
        return true;
    }
    void save(Place place, const char *name, const unsigned char *buf, LONG n, bool global) {
        digest += value_digest(place, name, buf, n);
        if (!dry_run)
            store.SaveRaw(name, buf, n, global);
    }
};

void form_value_name(char (&out)[32], LONG n) { std::snprintf(out, sizeof out, "Form %ld", static_cast<long>(n)); }

bool load_le32(Values &v, Place place, const char *name, bool global, int32_t *value) {
    unsigned char raw[4];
    if (!v.load(place, name, raw, 4, global))
        return false;
    *value = le::i32(raw);
    return true;
}

void save_le32(Values &v, Place place, const char *name, bool global, int32_t value) {
    unsigned char raw[4];
    le::put32(raw, static_cast<uint32_t>(value));
    v.save(place, name, raw, 4, global);
}

void save_form(Values &v, Place place, const char *name, bool global, const prtform &form) {
    FormRecord rec;
    unsigned char bytes[kFormRecordSize];
    form.get_record(&rec);
    FormRecordToBytes(rec, bytes);
    v.save(place, name, bytes, kFormRecordSize, global);
}

// Per-printer route: the printer data, or the key path while one is set.
// False when the value cannot be read or kept.
bool load_form(prtformlist &list, Values &v, Place place, const char *name) {
    unsigned char bytes[kFormRecordSize];
    if (!v.load(place, name, bytes, kFormRecordSize, false))
        return false;
    auto *form = new (std::nothrow) prtform;
    if (!form)
        return false;
    FormRecord rec;
    FormRecordFromBytes(bytes, kFormRecordSize, &rec);
    form->set_record(rec);
    list.Add(form);
    return true;
}

// "Form Count" and "Form 1".. below the store's current key path; false when
// some counted stock was not read.
bool load_numbered(prtformlist &list, Values &v, Place place) {
    int32_t count = 0;
    if (!load_le32(v, place, kFormCount, false, &count))
        count = 0;
    bool whole = count >= 0 && count <= kMaxForms;
    if (count > kMaxForms)
        count = kMaxForms;
    for (LONG n = count; n >= 1; --n) {
        char name[32];
        form_value_name(name, n);
        whole &= load_form(list, v, place, name);
    }
    return whole;
}

// The non-user forms that are (or are not) predefined, numbered from 1, then their count.
void save_numbered(const prtformlist &list, Values &v, Place place, bool predefined, bool global) {
    LONG n = 0;
    for (prtform *f = list.get_first(); f; f = f->get_next()) {
        if (f->is_user() || f->is_predefined() != predefined)
            continue;
        char name[32];
        form_value_name(name, ++n);
        save_form(v, place, name, global, *f);
    }
    save_le32(v, place, kFormCount, global, n);
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
    Values v{store};
    int32_t width;
    if (load_le32(v, kPrinter, kUnprintableWidth, false, &width))
        unprintable_width_ = width;

    load_form(*this, v, kPrinter, kUserForm);

    store.SetPath(GLOBAL_KEY);
    read_whole_ = load_numbered(*this, v, kMachine);
    OString key;
    if (oem_key(*this, key)) {
        store.SetPath(key.nstring());
        read_whole_ &= load_numbered(*this, v, kOem);
    }
    store.SetPath(nullptr);
    Validate();
    loaded_from_ = &store;
    loaded_digest_ = v.digest;
    return true;
}

// Writes (or, on a dry run, only digests) every value the list stores.
static void save_all(const prtformlist &list, Values &v, LONG unprintable_width) {
    save_le32(v, kPrinter, kUnprintableWidth, false, unprintable_width);
    for (prtform *f = list.get_first(); f; f = f->get_next()) {
        if (f->is_user()) {
            save_form(v, kPrinter, kUserForm, false, *f);
            break;
        }
    }
    save_numbered(list, v, kMachine, false, true);
    OString key;
    if (oem_key(list, key)) {
        v.store.SetPath(key.nstring());
        save_numbered(list, v, kOem, true, false);
        v.store.SetPath(nullptr);
    }
}

LONG prtformlist::CountStored(bool predefined) const {
    LONG n = 0;
    for (prtform *f = get_first(); f; f = f->get_next())
        n += !f->is_user() && f->is_predefined() == predefined;
    return n;
}

bool prtformlist::can_save() const {
    return read_whole_ && CountStored(false) <= kMaxForms && CountStored(true) <= kMaxForms;
}

bool prtformlist::Save(prtreg &store) {
    if (!can_save())
        return false;
    Values v{store};
    save_all(*this, v, unprintable_width_);
    // Last: a reader that sees the new stamp finds the whole list written.
    store.BumpChangeStamp();
    return true;
}

bool prtformlist::SaveIfChanged(prtreg &store) {
    Values plan{store};
    plan.dry_run = true;
    save_all(*this, plan, unprintable_width_);
    if (loaded_from_ == &store && plan.digest == loaded_digest_)
        return true;
    return Save(store);
}
