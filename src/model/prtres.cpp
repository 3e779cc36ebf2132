#include "prtres.h"

#include "filecache.h"

#include "../foundation/memory.h"
#include "../foundation/util.h"
#include "ddtformat.h"
#include "prtfile.h"

#include <new>

res_node::res_node(const char *name, LONG id, LONG size, const unsigned char *data)
    : name_(name), id_(id), size_(size < 0 ? 0 : size),
      // An empty block still gets an address; otherwise exactly the data's size,
      // so that memory checkers see any read past it.
      data_(MemBlock<unsigned char>::alloc(size_ ? static_cast<size_t>(size_) : 1)) {
    if (data_ && data)
        mrl::__memcpy(data_.get(), data, size_);
}

res_node::~res_node() {}

namespace {

class file_source : public res_source {
public:
    explicit file_source(prtfile &f) : f_(f) {}
    LONG read(unsigned char *buf, LONG n) override {
        LONG got = f_.Read(buf, n);
        if (got < 0)
            return 0;
        done_ += got;
        return got;
    }
    int64_t remaining() const override { return f_.size() < 0 ? -1 : f_.size() - done_; }

private:
    prtfile &f_;
    int64_t done_ = 0;
};

class bytes_source : public res_source {
public:
    bytes_source(const unsigned char *p, size_t n) : p_(p), left_(n) {}
    LONG read(unsigned char *buf, LONG n) override {
        if (n <= 0 || !p_)
            return 0;
        size_t take = static_cast<size_t>(n) < left_ ? static_cast<size_t>(n) : left_;
        mrl::__memcpy(buf, p_, static_cast<int32_t>(take));
        p_ += take;
        left_ -= take;
        return static_cast<LONG>(take);
    }
    int64_t remaining() const override { return static_cast<int64_t>(left_); }

private:
    const unsigned char *p_;
    size_t left_;
};

bool ascii_equal_nocase(const char *a, const char *b) {
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

} // namespace

MemBlock<unsigned char> prtres::ReadNextResource(res_source &src) {
    unsigned char head[4] = {0, 0, 0, 0};
    src.read(head, 4);
    uint32_t length = le::u32(head);
    // 0 ends the sequence. A length too small for the header and the name's NUL,
    // or beyond the reader's signed sizes, is malformed: it ends the sequence
    // like a truncated record.
    if (length < ddt::kMinRecord || length > static_cast<uint32_t>(INT32_MAX))
        return {};
    // A record longer than what is left is truncated: no need to allocate for it.
    int64_t left = src.remaining();
    if (left >= 0 && static_cast<int64_t>(length) - 4 > left)
        return {};
    auto block = MemBlock<unsigned char>::alloc(length);
    if (!block)
        return {};
    le::put32(block.get(), length);
    LONG want = static_cast<LONG>(length) - 4;
    LONG got = src.read(block.get() + 4, want);
    if (got < want || ddt::parse_record(block.get(), length, nullptr) != ddt::Fault::none)
        return {};
    return block;
}

void prtres::load_from(res_source &src) {
    while (MemBlock<unsigned char> rec = ReadNextResource(src)) {
        ddt::Record r;
        ddt::parse_record(rec.get(), le::u32(rec.get()), &r);
        if (!Add(r.name, r.id, r.data_size, r.data))
            break;
    }
}

bool prtres::Load(const char *file_name) {
    WCHAR path[520];
    if (!file_name || !prtfile::GetDriverDirectory(path, 520))
        return false;
    int32_t dir = mrl::__wcslen(path);
    int32_t name = mrl::__strlen(file_name);
    if (dir + name >= 520)
        return false;
    if (name > 0 && MultiByteToWideChar(CP_ACP, 0, file_name, name, path + dir, 520 - dir) != name)
        return false;
    path[dir + name] = 0;
    return LoadPath(path);
}

bool prtres::LoadPath(const WCHAR *path) {
    // The same records as reading the file record by record, without the reads.
    if (filecache::Bytes bytes = filecache::Get(path))
        return LoadBytes(bytes->data(), bytes->size());
    prtfile f;
    if (!f.Open(path, prtfile::kRead))
        return false;
    file_source src(f);
    load_from(src);
    f.Close();
    return true;
}

bool prtres::LoadBytes(const unsigned char *bytes, size_t n) {
    bytes_source src(bytes, n);
    load_from(src);
    return true;
}

res_node *prtres::Find(LONG id) const {
    for (ONode *n = GetHead(); n; n = n->GetNext()) {
        auto *r = static_cast<res_node *>(n);
        if (r->GetID() == id)
            return r;
    }
    return nullptr;
}

res_node *prtres::Find(const char *name, LONG id) const {
    if (!name)
        return nullptr;
    for (ONode *n = GetHead(); n; n = n->GetNext()) {
        auto *r = static_cast<res_node *>(n);
        if (r->GetID() == id && ascii_equal_nocase(r->GetName(), name))
            return r;
    }
    return nullptr;
}

res_node *prtres::Add(const char *name, LONG id, LONG size, const unsigned char *data) {
    res_node *node = new (std::nothrow) res_node(name, id, size, data);
    if (!node)
        return nullptr;
    if (!node->GetData()) {
        delete node;
        return nullptr;
    }
    AddTail(node);
    return node;
}
