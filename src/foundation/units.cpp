#include "units.h"

namespace units {

int32_t scale(int32_t a, int32_t b, int32_t c) {
    if (c == 0)
        return 0;
    // |a x b| < 2^62 and |c| <= 2^31: the rounded quotient fits in 64 bits.
    int64_t p = int64_t(a) * b;
    bool negative = (p < 0) != (c < 0);
    uint64_t up = p < 0 ? uint64_t(0) - uint64_t(p) : uint64_t(p);
    uint64_t uc = c < 0 ? uint64_t(0) - uint64_t(int64_t(c)) : uint64_t(c);
    uint64_t q = (up + uc / 2) / uc;
    if (q > uint64_t(INT32_MAX) + (negative ? 1 : 0))
        return negative ? INT32_MIN : INT32_MAX;
    return negative ? int32_t(int64_t(0) - int64_t(q)) : int32_t(q);
}

} // namespace units
