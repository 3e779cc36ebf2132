// The downloaded-font list in the host store: damaged entries are skipped,
// transient states are dropped, the total counts what the printer holds.
#include "foundation/lebytes.h"
#include "store/dttf.h"
#include "store/prtreg.h"

#include <gtest/gtest.h>

namespace {

HANDLE const kPrinter = reinterpret_cast<HANDLE>(0x62);

prtdttf_node *font(uint16_t status, int32_t size) {
    auto *n = new prtdttf_node;
    n->info.type = size < 0 ? 2 : 1;
    n->info.status = status;
    n->info.font.data_size = size;
    return n;
}

} // namespace

TEST(DownloadedFonts, StoreSkipsDamageAndCountsWhatThePrinterHolds) {
    prtreg_host_clear();
    prtreg store(kPrinter);
    {
        prtdttf_list list;
        list.AddFont(font(3, 1000));
        list.AddFont(font(0, -1)); // a bitmap font adds nothing to the total
        list.AddFont(font(2, 500)); // counted by AddFont, not by RefreshInfo
        list.AddFont(font(1, 70));
        EXPECT_EQ(list.total_size(), 1570);
        delete list.get_first()->get_next(); // the bitmap font
        EXPECT_TRUE(list.count() == 3 && list.total_size() == 1570);
        list.Save(store);
    }
    unsigned char raw[4];
    ASSERT_TRUE(store.LoadRaw("Font Download Count", raw, 4, false) && le::i32(raw) == 3);
    ASSERT_TRUE(store.LoadRaw("Font Download 2 Size", raw, 4, false) && le::i32(raw) == 354);

    le::put32(raw, 353);
    store.SaveRaw("Font Download 1 Size", raw, 4, false);
    prtdttf_list back;
    back.Load(store);
    ASSERT_EQ(back.count(), 2);
    prtdttf_node *first = back.get_first(), *second = first->get_next();
    EXPECT_TRUE(first->info.status == 0 && first->info.font.data_size == 1000 && first->cache_size() == 1000);
    EXPECT_EQ(second->info.status, 0); // status 1 never survives a load
    EXPECT_EQ(back.total_size(), 1070);
    unsigned char header[kCacheHeaderSize];
    first->write(header);
    EXPECT_TRUE(le::i32(header + 8) == 1 && header[12] == 1);
}
