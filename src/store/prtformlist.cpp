#include "../foundation/units.h"
#include "../foundation/util.h"
#include "../model/model.h"
#include "../model/prtfile.h"
#include "prtform.h"

#include <new>

namespace {

// Byte-wise unsigned order of two terminated names.
int compare_names(const char *a, const char *b) {
    for (LONG i = 0; i < kFormNameSize; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
        if (!x)
            return 0;
    }
    return 0;
}

// A file's own flags are not kept: its forms are never the user form, and the
// mode alone says whether they are predefined or shared by the machine.
uint32_t flags_for_mode(LONG mode) {
    switch (mode) {
    case SFM_PREDEFINED_GLOBAL:
        return FORMF_PREDEFINED | FORMF_GLOBAL;
    case SFM_PREDEFINED:
        return FORMF_PREDEFINED;
    default:
        return FORMF_GLOBAL;
    }
}

} // namespace

prtformlist::prtformlist() : unprintable_width_(0), model_(nullptr) {}

prtformlist::prtformlist(_MODEL *model) : prtformlist() { init(model); }

prtformlist::~prtformlist() { Clear(); }

PDT *prtformlist::GetPdt() const { return model_ ? model_->GetPDT() : nullptr; }

void prtformlist::init(_MODEL *model) {
    model_ = model;
    const PDT *pdt = GetPdt();
    if (!pdt)
        return;
    unprintable_width_ = pdt->unprintable_width;
    auto *user = new (std::nothrow) prtform;
    if (!user)
        return;
    LONG margin = (pdt->form_flags & 1) ? 0 : 1270;
    user->set_width(units::tenths_mm_to_microns(pdt->default_form_width));
    user->set_height(units::tenths_mm_to_microns(pdt->default_form_length));
    user->set_left(margin);
    user->set_right(margin);
    user->set_flags(FORMF_USER);
    user->set_name(kUserFormName);
    AddHead(user);
}

prtform *prtformlist::Find(short paper_id) const {
    for (prtform *f = get_first(); f; f = f->get_next())
        if (f->get_paper_id() == static_cast<uint16_t>(paper_id))
            return f;
    return nullptr;
}

bool prtformlist::Validate() {
    // Selection by name, greatest first. Every form before the current one is
    // greater than every form after it, so after deleting the current form the
    // walk goes on from its successor: the same result as starting over from
    // the head, without walking the ordered part again.
    prtform *current = get_first();
    while (current) {
        prtform *found = current->get_next();
        while (found && compare_names(found->get_name(), current->get_name()) < 0)
            found = found->get_next();
        if (!found) {
            current = current->get_next();
            continue;
        }
        if (compare_names(found->get_name(), current->get_name()) > 0) {
            found->Remove();
            current->SetPrev(found);
            current = found;
            continue;
        }
        // Same name: a global form gives way, and the user form always stays.
        if (current->can_delete() || found->is_user()) {
            prtform *next = current->get_next();
            delete current;
            current = next;
        } else {
            delete found;
        }
    }

    // Offered: paper the printer takes, no larger than its maximum and no
    // smaller than its minimum (and never empty).
    const PDT *pdt = GetPdt();
    int64_t max_width = pdt ? int64_t(pdt->max_paper_width) * 100 : 0;
    int64_t max_length = pdt ? int64_t(pdt->max_paper_length) * 100 : 0;
    int64_t min_width = pdt && pdt->min_paper_width > 0 ? int64_t(pdt->min_paper_width) * 100 : 1;
    int64_t min_length = pdt && pdt->min_paper_length > 0 ? int64_t(pdt->min_paper_length) * 100 : 1;
    uint32_t next_id = kFirstPaperId;
    for (prtform *f = get_first(); f; f = f->get_next()) {
        f->CalculatePrintableArea();
        if (f->is_user()) {
            f->set_paper_id(kUserPaperId);
        } else if (f->get_paper_length() >= min_length && f->get_paper_width() >= min_width &&
                   f->get_paper_length() <= max_length && f->get_paper_width() <= max_width && next_id <= 0xFFFF) {
            f->set_paper_id(static_cast<uint16_t>(next_id++));
        } else {
            f->set_paper_id(0);
        }
    }
    return true;
}

LONG prtformlist::enum_paper_size(POINT *out) const {
    return for_each_offered([out](prtform *f, LONG n) { f->GetFormSize(&out[n]); }, out != nullptr);
}

LONG prtformlist::enum_paper_id(unsigned short *out) const {
    return for_each_offered([out](prtform *f, LONG n) { out[n] = f->get_paper_id(); }, out != nullptr);
}

LONG prtformlist::enum_paper_name(WCHAR *out) const {
    return for_each_offered(
        [out](prtform *f, LONG n) {
            WCHAR *slot = out + n * kFormNameSize;
            mrl::__memset(slot, 0, kFormNameSize * static_cast<int32_t>(sizeof(WCHAR)));
            // A name holds at most 63 bytes and its NUL: it always fits the slot.
            MultiByteToWideChar(CP_ACP, 0, f->get_name(), -1, slot, kFormNameSize);
            slot[kFormNameSize - 1] = 0;
        },
        out != nullptr);
}

bool prtformlist::Load(const WCHAR *path, LONG mode) {
    prtfile file(path, prtfile::kRead);
    if (!file.is_open())
        return false;
    unsigned char header[kSfmHeaderSize] = {};
    if (file.Read(header, 4) != 4 || !SfmReadHeader(header, kSfmHeaderSize, nullptr))
        return false;
    uint32_t record_size = 0;
    if (file.Read(header + 4, 4) == 4)
        SfmReadHeader(header, kSfmHeaderSize, &record_size);
    // Shorter records than ours leave their missing fields 0; longer ones are
    // from a layout this module does not know, and an empty one would never end.
    if (record_size > 0 && record_size <= static_cast<uint32_t>(kFormRecordSize)) {
        LONG r = static_cast<LONG>(record_size);
        // A file of more stocks than a list may hold is refused whole rather
        // than cut short without a word.
        if (file.size() > 0 && (file.size() - kSfmHeaderSize) / r > kMaxForms)
            return false;
        unsigned char buf[kFormRecordSize] = {};
        uint32_t flags = flags_for_mode(mode);
        for (LONG taken = 0; taken < kMaxForms && file.Read(buf, r) == r; ++taken) {
            auto *form = new (std::nothrow) prtform;
            if (!form)
                break;
            FormRecord rec;
            FormRecordFromBytes(buf, kFormRecordSize, &rec);
            rec.flags = flags;
            form->set_record(rec);
            AddTail(form);
        }
    }
    Validate();
    return true;
}

bool prtformlist::Save(const WCHAR *path) {
    prtfile file(path, prtfile::kCreate | prtfile::kWrite);
    if (!file.is_open())
        return false;
    unsigned char header[kSfmHeaderSize];
    SfmWriteHeader(header);
    bool ok = file.Write(header, kSfmHeaderSize) == kSfmHeaderSize;
    for (prtform *f = get_first(); f && ok; f = f->get_next()) {
        if (f->is_user())
            continue;
        FormRecord rec;
        unsigned char bytes[kFormRecordSize];
        f->get_record(&rec);
        FormRecordToBytes(rec, bytes);
        ok = file.Write(bytes, kFormRecordSize) == kFormRecordSize;
    }
    return file.Close() && ok;
}

namespace {

bool same_stock(const prtform &a, const prtform &b) {
    return a.get_width() == b.get_width() && a.get_height() == b.get_height() && a.get_left() == b.get_left() &&
           a.get_right() == b.get_right() && a.get_top() == b.get_top() && a.get_bottom() == b.get_bottom() &&
           compare_names(a.get_name(), b.get_name()) == 0;
}

} // namespace

bool prtformlist::Import(const WCHAR *path, FormImport &report) {
    prtformlist incoming;
    if (!incoming.Load(path, SFM_IMPORT))
        return false;
    while (prtform *in = incoming.get_first()) {
        in->Remove();
        prtform *listed = get_first();
        while (listed && compare_names(listed->get_name(), in->get_name()) != 0)
            listed = listed->get_next();
        if (!listed) {
            AddTail(in);
            ++report.added;
        } else if (same_stock(*listed, *in)) {
            // An exported list read back: the listed stock keeps its kind.
            delete in;
            ++report.unchanged;
        } else {
            // The duplicate rule of Validate, made explicit so it can be told.
            bool replace = listed->can_delete() && !listed->is_user();
            if (report.note)
                report.note(report.context, *listed, replace);
            if (replace) {
                delete listed;
                AddTail(in);
                ++report.replaced;
            } else {
                delete in;
                ++report.kept;
            }
        }
    }
    Validate();
    return true;
}
