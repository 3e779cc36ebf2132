// Scaling of lengths between micrometres, dots and tenths of a millimetre.
// Stored lengths may be any 32-bit value and micrometres x dpi leave 32 bits
// at about 990 mm and 2400 dpi: products are taken in 64 bits and results
// saturate at the 32-bit limits. (__muldiv keeps its 32-bit product.)
#pragma once

#include <cstdint>

namespace units {

inline int32_t clamp32(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v); }

// a x b / c rounded to nearest, halves away from zero (roundbydivisor's rule),
// saturated; 0 for c == 0.
int32_t scale(int32_t a, int32_t b, int32_t c);

inline int32_t microns_to_dots(int32_t microns, int32_t dpi) { return scale(microns, dpi, 25400); }
inline int32_t dots_to_microns(int32_t dots, int32_t dpi) { return scale(dots, 25400, dpi); }
inline int32_t tenths_mm_to_microns(int32_t tenths) { return clamp32(int64_t(tenths) * 100); }

} // namespace units
