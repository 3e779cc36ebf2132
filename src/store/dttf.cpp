// The downloaded-font list and its stored form.
#include "dttf.h"

#include "../foundation/lebytes.h"
#include "../foundation/memory.h"
#include "prtreg.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr char kCount[] = "Font Download Count";

void value_name(char (&out)[64], const char *prefix, const char *what) {
    std::snprintf(out, sizeof out, "%s%s", prefix, what);
}

void node_prefix(char (&out)[40], LONG index) {
    std::snprintf(out, sizeof out, "Font Download %ld ", static_cast<long>(index));
}

// Sizes come from outside: a sum past 2 GB stays at the top, and a node keeps
// what it really added so that removing it takes back no more.
int32_t add_capped(int32_t &total, int32_t size) {
    int32_t added = size > INT32_MAX - total ? INT32_MAX - total : size;
    total += added;
    return added;
}

} // namespace

prtcachenode::prtcachenode() {
    std::memset(header_, 0, sizeof header_);
    le::put32(header_ + 8, 1);
}

prtcachenode::~prtcachenode() { Remove(); }

LONG prtcachenode::write(unsigned char *out) const {
    if (out)
        std::memcpy(out, header_, kCacheHeaderSize);
    return kCacheHeaderSize;
}

LONG prtcachenode::read(const unsigned char *in) {
    if (in)
        std::memcpy(header_, in, kCacheHeaderSize);
    return kCacheHeaderSize;
}

int32_t prtcachenode::cache_size() const { return le::i32(header_); }
void prtcachenode::set_cache_size(int32_t size) { le::put32(header_, static_cast<uint32_t>(size)); }

prtdttf_node::prtdttf_node() {
    header_[12] = 1;
    std::memset(&info, 0, sizeof info);
}

prtdttf_node::~prtdttf_node() {
    if (auto *list = static_cast<prtdttf_list *>(GetOwner())) {
        --list->count_;
        list->total_ -= added_;
    }
}

bool prtdttf_node::Load(prtreg &store, const char *prefix) {
    char name[64];
    unsigned char raw[4];
    value_name(name, prefix, "Size");
    if (!store.LoadRaw(name, raw, 4, false) || le::i32(raw) != kDttfStoredSize)
        return false;
    unsigned char block[kDttfStoredSize];
    value_name(name, prefix, "Data");
    if (!store.LoadRaw(name, block, kDttfStoredSize, false))
        return false;
    read(block);
    std::memcpy(&info, block + kCacheHeaderSize, sizeof info);
    if (info.status == 1 || info.status == 3)
        info.status = 0;
    return true;
}

bool prtdttf_node::Save(prtreg &store, const char *prefix) const {
    unsigned char block[kDttfStoredSize];
    write(block);
    std::memcpy(block + kCacheHeaderSize, &info, sizeof info);
    char name[64];
    unsigned char raw[4];
    value_name(name, prefix, "Data");
    store.SaveRaw(name, block, kDttfStoredSize, false);
    le::put32(raw, kDttfStoredSize);
    value_name(name, prefix, "Size");
    store.SaveRaw(name, raw, 4, false);
    return true;
}

void prtdttf_list::AddFont(prtdttf_node *node) {
    if (!node)
        return;
    AddTail(node);
    ++count_;
    int32_t size = node->info.font.data_size;
    node->set_cache_size(size);
    node->added_ = add_capped(total_, size > 0 ? size : 0);
}

void prtdttf_list::RefreshInfo() {
    count_ = 0;
    total_ = 0;
    for (prtdttf_node *n = get_first(); n; n = n->get_next()) {
        ++count_;
        int32_t size = n->info.font.data_size;
        n->set_cache_size(size);
        n->added_ = add_capped(total_, size > 0 && n->info.status != 2 ? size : 0);
    }
}

void prtdttf_list::Load(prtreg &store) {
    Clear();
    unsigned char raw[4];
    int32_t count = store.LoadRaw(kCount, raw, 4, false) ? le::i32(raw) : 0;
    if (count > kMaxDownloadedFonts)
        count = kMaxDownloadedFonts;
    for (LONG i = 0; i < count; ++i) {
        auto *node = new (std::nothrow) prtdttf_node;
        if (!node)
            continue;
        char prefix[40];
        node_prefix(prefix, i);
        if (node->Load(store, prefix))
            AddFont(node);
        else
            delete node;
    }
    RefreshInfo();
}

void prtdttf_list::Save(prtreg &store) {
    RefreshInfo();
    LONG saved = 0;
    for (prtdttf_node *n = get_first(); n; n = n->get_next()) {
        char prefix[40];
        node_prefix(prefix, saved);
        saved += n->Save(store, prefix);
    }
    unsigned char raw[4];
    le::put32(raw, static_cast<uint32_t>(saved));
    store.SaveRaw(kCount, raw, 4, false);
}
