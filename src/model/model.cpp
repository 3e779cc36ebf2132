#include "model.h"

#include "../foundation/util.h"
#include "ddtmodel.h"

#include <initializer_list>

// The records point into res_, which the member destructors free with the strings.
_MODEL::~_MODEL() {}

namespace {

// The three characters right before the first `marker` in path, low 8 bits each.
// A character whose low byte is 0 would cut the code short: no code at all.
void code_before(const WCHAR *path, const WCHAR *marker, char (&out)[4]) {
    const WCHAR *at = mrl::tstrstr(path, marker);
    if (!at || at - path < 3)
        return;
    for (int i = 0; i < 3; ++i)
        if (!(at[i - 3] & 0xFF))
            return;
    for (int i = 0; i < 3; ++i)
        out[i] = static_cast<char>(at[i - 3] & 0xFF);
    out[3] = 0;
}

} // namespace

void _MODEL::take_codes(const WCHAR *driver_path, const WCHAR *data_file) {
    code_before(driver_path, WSTR("32k"), prefix_);
    code_before(data_file, WSTR("32eng"), oem_);
}

void _MODEL::build(const WCHAR *model_name, const WCHAR *driver_path, const WCHAR *data_file) {
    model_name_ = model_name;
    take_codes(driver_path, data_file);
    if (!prefix_[0])
        return;
    char file[8];
    mrl::__memcpy(file, prefix_, 3);
    mrl::__memcpy(file + 3, ".ddt", 5);
    if (res_.Load(file))
        resolve();
}

void _MODEL::resolve() {
    const WCHAR *wanted = model_name_.wstring();
    for (LONG id = ddt::kFirstDirectory; id <= ddt::kLastDirectory; ++id) {
        res_node *dir = res_.Find(id);
        MDT *mdt = ddt::as_directory(dir);
        if (!mdt)
            continue;
        mdt_ = mdt;
        mdt_size_ = static_cast<uint32_t>(dir->GetSize());
        ddt::directory_walk walk(dir->GetData(), mdt_size_);
        ddt::Entry e;
        bool listed = false;
        while (walk.next(&e))
            if (e.named(wanted)) {
                listed = true;
                break;
            }
        // A model whose name or table makes no sense counts as missing.
        if (!listed || e.name_problem())
            continue;
        res_node *pdt_res = res_.Find(e.pdt_id);
        PDT *pdt = ddt::as_pdt(pdt_res);
        if (!pdt || ddt::pdt_problem(pdt))
            continue;
        pdt_ = pdt;
        pdt_size_ = static_cast<uint32_t>(pdt_res->GetSize());
        if (VXCapabilitiesData *caps = ddt::as_caps(res_.Find(pdt->capabilities_id))) {
            caps_ = caps;
            return;
        }
    }
}

unsigned char *_MODEL::GetEXTPDT() const {
    if (!pdt_ || pdt_->ext_offset >= pdt_size_)
        return nullptr;
    return reinterpret_cast<unsigned char *>(pdt_) + pdt_->ext_offset;
}

LONG _MODEL::GetEXTPDTSize() const {
    return GetEXTPDT() ? static_cast<LONG>(pdt_size_ - pdt_->ext_offset) : 0;
}

void _MODEL::init_new_vx() {
    const unsigned char *dir = reinterpret_cast<const unsigned char *>(mdt_);
    if (mdt_) {
        ddt::wide_at(dir, mdt_size_, mdt_->short_name_offset, short_mfg_name_);
        if (mdt_->manufacturer_name_offset)
            ddt::wide_at(dir, mdt_size_, mdt_->manufacturer_name_offset, manufacturer_name_);
        else
            manufacturer_name_ = short_mfg_name_;
    }

    // A built model is read without a lock: convert every name now, so that a
    // later read never fills a buffer.
    for (const OString *name : {&short_mfg_name_, &manufacturer_name_, &model_name_}) {
        name->nstring();
        name->wstring();
    }
}

VXSymbologyData *GetSymbologyData(VXCapabilitiesData *caps, LONG id) {
    if (!caps || id < 0 || id >= caps->symbology_count)
        return nullptr;
    return reinterpret_cast<VXSymbologyData *>(reinterpret_cast<unsigned char *>(caps) + caps->symbology_offset +
                                               static_cast<size_t>(caps->symbology_size) * id);
}
