// Blocks from MEMALLOC (zero-filled, null on failure; freed only with MEMFREE)
// and their owner. The allocator is the allocation part of the seam: tests
// swap its members to drive failure paths, platform::reset() restores it.
#pragma once

#include "compat.h"

namespace mrl {

struct Allocation {
    void *(*alloc)(size_t size); // zero-filled
    void (*free)(void *p);
};
Allocation &allocation();
void reset_allocation();

void *MEMALLOC(size_t size);
void MEMFREE(void *p);

// Owns one MEMALLOC block (or null) and frees it with MEMFREE.
template <class T> class MemBlock {
public:
    MemBlock() = default;
    // Takes a block from MEMALLOC or from a function documented to return one.
    explicit MemBlock(void *block) : p_(static_cast<T *>(block)) {}
    ~MemBlock() { MEMFREE(p_); }
    MemBlock(MemBlock &&other) noexcept : p_(other.release()) {}
    MemBlock &operator=(MemBlock &&other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    MemBlock(const MemBlock &) = delete;
    MemBlock &operator=(const MemBlock &) = delete;

    // A new zero-filled block of n bytes; null when it cannot be had.
    static MemBlock alloc(size_t n) { return MemBlock(MEMALLOC(n)); }

    T *get() const { return p_; }
    T *operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T *release() {
        T *p = p_;
        p_ = nullptr;
        return p;
    }
    void reset(void *block = nullptr) {
        MEMFREE(p_);
        p_ = static_cast<T *>(block);
    }

private:
    T *p_ = nullptr;
};

} // namespace mrl

using mrl::MEMALLOC;
using mrl::MEMFREE;
using mrl::MemBlock;
