// The downloaded-font list as read back from the store: entries of any size
// under any index, loaded, saved and loaded again to the same fonts.
//
// Input: entries of [index][what][length][length bytes]; index 255 is
// "Font Download Count", otherwise `what` odd is "Font Download n Size" and
// even "Font Download n Data".
#include "store/dttf.h"
#include "store/prtreg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HANDLE const kPrinter = reinterpret_cast<HANDLE>(0x7A);

void store_entries(const uint8_t *data, size_t size) {
    prtreg store(kPrinter);
    size_t i = 0;
    while (i + 3 <= size) {
        uint8_t index = data[i], what = data[i + 1];
        size_t len = data[i + 2] * 2u;
        i += 3;
        if (len > size - i)
            len = size - i;
        char name[48];
        if (index == 255)
            std::snprintf(name, sizeof name, "Font Download Count");
        else
            std::snprintf(name, sizeof name, "Font Download %d %s", index, what % 2 ? "Size" : "Data");
        store.SaveRaw(name, data + i, static_cast<LONG>(len), false);
        i += len;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    prtreg_host_clear();
    store_entries(data, size);
    prtreg store(kPrinter);
    prtdttf_list list;
    list.Load(store);
    int32_t total = 0;
    long n = 0;
    for (prtdttf_node *f = list.get_first(); f; f = f->get_next(), ++n) {
        if (f->info.status == 1 || f->info.status == 3)
            std::abort();
        total += f->info.font.data_size > 0 && f->info.status != 2 ? 1 : 0;
    }
    if (n != list.count() || list.total_size() < 0 || (total == 0 && list.total_size() != 0))
        std::abort();
    list.Save(store);
    prtdttf_list again;
    again.Load(store);
    if (again.count() != list.count() || again.total_size() != list.total_size())
        std::abort();
    for (prtdttf_node *a = list.get_first(), *b = again.get_first(); a; a = a->get_next(), b = b->get_next()) {
        unsigned char ha[kCacheHeaderSize], hb[kCacheHeaderSize];
        a->write(ha);
        b->write(hb);
        if (std::memcmp(&a->info, &b->info, sizeof a->info) != 0 || std::memcmp(ha, hb, sizeof ha) != 0)
            std::abort();
    }
    while (list.get_first())
        delete list.get_first();
    if (list.count() != 0 || list.total_size() != 0)
        std::abort();
    return 0;
}
