// The bar-font list in the host store: value names, both groups, damaged values.
#include "barfont_model.h"
#include "foundation/lebytes.h"
#include "store/prtreg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HANDLE const kPrinter = reinterpret_cast<HANDLE>(0x61);

} // namespace

TEST(BarFontStore, GroupsValueNamesAndDamage) {
    prtreg_host_clear();
    BarFontModel model("oin");
    prtreg store(kPrinter);
    barfontlist list;
    for (int i = 0; i < 13; ++i) {
        auto *n = new barfontnode(model.GetPDT());
        n->font.set_name(("F" + std::to_string(i)).c_str());
        if (i == 12)
            n->font.set_flags(BFF_PREDEFINED);
        list.AddTail(n);
    }
    ASSERT_TRUE(list.Save(store, &model));

    unsigned char raw[4];
    EXPECT_TRUE(store.LoadRaw("BCF07 Data Size", raw, 4, true));
    EXPECT_TRUE(store.LoadRaw("BCF11 Data Size", raw, 4, true) && le::i32(raw) == kBarFontSize);
    EXPECT_FALSE(store.LoadRaw("BCF12 Data Size", raw, 4, true));
    store.SetPath((std::string(GLOBAL_KEY) + "\\oin").c_str());
    EXPECT_TRUE(store.LoadRaw("BCF00 Data Size", raw, 4, false));
    EXPECT_TRUE(store.LoadRaw("BC Font Count", raw, 4, false) && le::i32(raw) == 1);
    store.SetPath(nullptr);

    // Each group comes back in descending index order.
    barfontlist back;
    back.Load(store, &model);
    std::vector<std::string> expected;
    for (int i = 11; i >= 0; --i)
        expected.push_back("F" + std::to_string(i));
    expected.push_back("F12");
    EXPECT_EQ(font_names(back), expected);

    // A longer stored record keeps its first 164 bytes; a value that is missing
    // keeps the defaults at 203 dpi.
    const barfont &f0 = static_cast<barfontnode *>(back.GetTail()->GetPrev())->font;
    std::vector<unsigned char> big(f0.bytes(), f0.bytes() + kBarFontSize);
    big.resize(400, 0x55);
    le::put32(raw, 400);
    store.SaveRaw("BCF00 Data Size", raw, 4, true);
    store.SaveRaw("BCF00 Data", big.data(), 400, true);
    le::put32(raw, 5000);
    store.SaveRaw("BCF01 Data Size", raw, 4, true);
    back.Load(store, &model);
    EXPECT_EQ(back.Count(), 13);
    EXPECT_STREQ(static_cast<barfontnode *>(back.GetTail()->GetPrev())->font.get_name(), "F0");

    // A count no list can have loads what it can and is never saved over.
    le::put32(raw, 100000);
    store.SaveRaw("BC Font Count", raw, 4, true);
    back.Load(store, &model);
    EXPECT_FALSE(back.Save(store, &model));
    EXPECT_TRUE(store.LoadRaw("BC Font Count", raw, 4, true) && le::i32(raw) == 100000);
}
