#include "memory.h"

#include <cstdlib>

namespace mrl {
namespace {

#ifdef _WIN32
void *real_alloc(size_t size) { return GlobalAlloc(GMEM_ZEROINIT, size); }
void real_free(void *p) {
    if (p)
        GlobalFree(p);
}
#else
void *real_alloc(size_t size) { return calloc(1, size ? size : 1); }
void real_free(void *p) { free(p); }
#endif

Allocation current = {real_alloc, real_free};

} // namespace

Allocation &allocation() { return current; }
void reset_allocation() { current = {real_alloc, real_free}; }

void *MEMALLOC(size_t size) { return current.alloc(size); }
void MEMFREE(void *p) {
    if (p)
        current.free(p);
}

} // namespace mrl
