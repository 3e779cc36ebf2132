#include "ddtmodel.h"

#include "../foundation/ostring.h"
#include "../foundation/util.h"
#include "ddtformat.h"
#include "prtres.h"

namespace ddt {

namespace {

bool long_enough(const res_node *r, size_t need) {
    return r && r->GetData() && r->GetSize() >= 0 && static_cast<size_t>(r->GetSize()) >= need;
}

} // namespace

MDT *as_directory(const res_node *r) {
    return long_enough(r, sizeof(MDT)) ? reinterpret_cast<MDT *>(r->GetData()) : nullptr;
}

PDT *as_pdt(const res_node *r) {
    return long_enough(r, sizeof(PDT)) ? reinterpret_cast<PDT *>(r->GetData()) : nullptr;
}

const char *caps_problem(const unsigned char *data, uint32_t size) {
    if (size < sizeof(VXCapabilitiesData))
        return "shorter than the capability table header";
    auto *caps = reinterpret_cast<const VXCapabilitiesData *>(data);
    if (caps->symbology_count == 0)
        return nullptr;
    if (caps->symbology_size < sizeof(VXSymbologyData))
        return "symbology records shorter than their fields";
    uint64_t end = static_cast<uint64_t>(caps->symbology_offset) +
                   static_cast<uint64_t>(caps->symbology_size) * caps->symbology_count;
    if (end > size)
        return "symbology table runs past the end";
    return nullptr;
}

const char *pdt_problem(const PDT *pdt) {
    if (pdt->dpi <= 0 || pdt->printer_dpi <= 0)
        return "resolution (dpi, printer_dpi) not positive";
    if (pdt->printable_width <= 0 || pdt->printable_length <= 0)
        return "printable area (printable_width, printable_length) not positive";
    if (pdt->unprintable_width < 0)
        return "unprintable_width negative";
    if (pdt->max_paper_width == 0 || pdt->max_paper_length == 0)
        return "largest paper (max_paper_width, max_paper_length) is 0";
    if (pdt->min_paper_width > pdt->max_paper_width || pdt->min_paper_length > pdt->max_paper_length)
        return "smallest paper (min_paper_width, min_paper_length) above the largest";
    return nullptr;
}

VXCapabilitiesData *as_caps(const res_node *r) {
    if (!long_enough(r, 0) || caps_problem(r->GetData(), static_cast<uint32_t>(r->GetSize())))
        return nullptr;
    return reinterpret_cast<VXCapabilitiesData *>(r->GetData());
}

bool Entry::named(const WCHAR *model) const {
    if (!model)
        return false;
    for (uint32_t i = 0; i < chars; ++i)
        if (!model[i] || static_cast<uint16_t>(model[i]) != le::u16(name + 2 * i))
            return false;
    return model[chars] == 0;
}

const char *Entry::name_problem() const {
    if (chars == 0)
        return "empty model name";
    if (chars > kMaxModelName)
        return "model name longer than 200 characters";
    for (uint32_t i = 0; i < chars; ++i) {
        uint16_t c = le::u16(name + 2 * i);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            return "control character in the model name";
    }
    return nullptr;
}

void Entry::name_to(OString &out) const {
    WCHAR *buf = out.wbuffer(static_cast<LONG>(chars) + 1);
    if (!buf)
        return; // out is empty
    for (uint32_t i = 0; i < chars; ++i)
        buf[i] = static_cast<WCHAR>(le::u16(name + 2 * i));
    buf[chars] = 0;
    out.commit_w();
}

directory_walk::directory_walk(const unsigned char *data, uint32_t size)
    : data_(data), size_(size), left_(0), offset_(0), broken_(false) {
    if (size >= sizeof(MDT)) {
        auto *mdt = reinterpret_cast<const MDT *>(data);
        left_ = mdt->model_count;
        offset_ = mdt->first_entry_offset;
    }
}

bool directory_walk::next(Entry *e) {
    if (left_ == 0 || broken_)
        return false;
    int32_t chars = wide_length_at(data_, size_, offset_);
    uint64_t end = chars < 0 ? UINT64_MAX : static_cast<uint64_t>(offset_) + padded_name_bytes(chars) + 4;
    if (end > size_) {
        broken_ = true;
        return false;
    }
    e->offset = offset_;
    e->name = data_ + offset_;
    e->chars = static_cast<uint32_t>(chars);
    e->pdt_id = le::i32(data_ + offset_ + padded_name_bytes(chars));
    offset_ = static_cast<uint32_t>(end);
    --left_;
    return true;
}

int32_t wide_length_at(const unsigned char *data, uint32_t size, uint32_t offset) {
    if (!data)
        return -1;
    for (uint64_t p = offset; p + 2 <= size; p += 2)
        if (le::u16(data + p) == 0)
            return static_cast<int32_t>((p - offset) / 2);
    return -1;
}

bool wide_at(const unsigned char *data, uint32_t size, uint32_t offset, OString &out) {
    int32_t chars = wide_length_at(data, size, offset);
    if (chars < 0) {
        out = "";
        return false;
    }
    Entry e{offset, data + offset, static_cast<uint32_t>(chars), 0};
    e.name_to(out);
    return true;
}

} // namespace ddt
