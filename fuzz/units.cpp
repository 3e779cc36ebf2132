// Extreme stored stocks and model limits through the unit conversions and the
// printable-area arithmetic: every result is the exact value, saturated at the
// 32-bit limits. Input: dpi (2 bytes), unprintable width, printable width and
// length (4 each), paper loading (2), then 92-byte form records.
#include "foundation/lebytes.h"
#include "foundation/units.h"
#include "store/prtform.h"
#include "test_model.h"

#include <cstdlib>
#include <initializer_list>

namespace {

int32_t saturate(__int128 v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v); }

// Rounded to nearest, halves away from zero, in exact arithmetic.
int32_t exact_scale(int64_t a, int64_t b, int64_t c) {
    __int128 p = __int128(a) * b;
    bool negative = (p < 0) != (c < 0);
    __int128 up = p < 0 ? -p : p, uc = c < 0 ? -__int128(c) : __int128(c);
    __int128 q = (up + uc / 2) / uc;
    return saturate(negative ? -q : q);
}

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    constexpr size_t kHead = 16;
    if (size < kHead)
        return 0;
    TestModel model;
    int16_t dpi = int16_t(le::u16(data));
    model.pdt.dpi = dpi;
    model.pdt.unprintable_width = le::i32(data + 2);
    model.pdt.printable_width = le::i32(data + 6);
    model.pdt.printable_length = le::i32(data + 10);
    model.pdt.paper_loading = le::u16(data + 14) % 4;

    prtformlist list(&model);
    for (size_t at = kHead; at + kFormRecordSize <= size && at < kHead + 16 * kFormRecordSize; at += kFormRecordSize) {
        FormRecord rec;
        FormRecordFromBytes(data + at, kFormRecordSize, &rec);
        auto *form = new prtform;
        form->set_record(rec);
        list.Add(form);
    }
    list.Validate();
    for (prtform *f = list.get_first(); f; f = f->get_next()) {
        __int128 w = __int128(f->get_width()) + f->get_left() + f->get_right();
        __int128 h = __int128(f->get_height()) + f->get_top() + f->get_bottom();
        check(f->get_paper_width() == saturate(w) && f->get_paper_length() == saturate(h));
        POINT tenths;
        f->GetFormSize(&tenths);
        check(tenths.x == saturate((w + 50) / 100) && tenths.y == saturate((h + 50) / 100));
        for (int32_t v : {f->get_width(), f->get_printable_width(), f->get_left_offset(), f->get_bottom_offset()}) {
            check(units::microns_to_dots(v, dpi) == (dpi ? exact_scale(v, dpi, 25400) : 0));
            check(units::dots_to_microns(v, dpi) == (dpi ? exact_scale(v, 25400, dpi) : 0));
            check(units::scale(v, dpi, v | 1) == exact_scale(v, dpi, v | 1));
        }
    }
    return 0;
}
