// Colour settings: heads and modes from the model's colour flags, the
// subtractive palette, presets, and the stored record.
#include "store/prtreg.h"
#include "store/scolor.h"
#include "test_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(SpotColor, HeadsModesAndPalette) {
    EXPECT_EQ(0x0000FFu, AddColors(0xFFFFFF, 0x0000FF));
    EXPECT_EQ(0x00FF00u, AddColors(0x00FFFF, 0xFFFF00));
    EXPECT_EQ(0x000000u, AddColors(0x0000FF, 0xFF0000));

    // Later flags override earlier ones; bits 3 and 4 keep four-colour mode.
    const struct {
        WORD flags;
        LONG heads, mode;
    } cases[] = {{0, 1, 1}, {0x01, 2, 1}, {0x03, 3, 1}, {0x07, 4, 1}, {0x08, 3, 2}, {0x05, 4, 1}, {0x10, 4, 2}};
    for (auto c : cases) {
        TestModel model;
        model.pdt.color_flags = c.flags;
        SCOLOR s;
        s.Init(&model);
        EXPECT_EQ(c.heads, s.GetHeads()) << c.flags;
        EXPECT_EQ(c.mode, s.GetMode()) << c.flags;
        EXPECT_EQ(c.mode == 1 ? c.heads - 1 : 3, s.GetLastPlane()) << c.flags;
        for (LONG p = 0; p < 4; ++p)
            EXPECT_EQ(p < c.heads, s.GetColorUsed(p) != 0) << c.flags << " plane " << p;
    }

    SCOLOR one;
    one.InitFlags(0);
    DWORD pal[16];
    one.GeneratePalette(pal);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(i < 8 ? 0xFFFFFFu : 0u, pal[i]) << i;

    SCOLOR four;
    four.InitFlags(0x10);
    EXPECT_EQ(0xFFFFFFu, four.GetColor(3)); // black plane unused in mode 2
    four.GeneratePalette(pal);
    EXPECT_EQ(0x00FF00u, pal[12]); // cyan over yellow
    EXPECT_EQ(0x000000u, pal[14]);
    four.SetMode(3, false);
    EXPECT_EQ(0u, four.GetColor(3));

    // Three heads in spot mode: blue, red, black; the blue plane names preset 2206.
    SCOLOR three;
    three.InitFlags(0x02);
    EXPECT_EQ(2206, three.GetColorPlaneID(0));
    three.SetColorPlane(0, 0x123456);
    EXPECT_EQ(2225, three.GetColorPlaneID(0));
    DWORD colour = 0;
    LONG id = 0;
    EXPECT_TRUE(SCOLOR::EnumColorPreset(23, &colour, &id));
    EXPECT_EQ(0x5F5F5Fu, colour);
    EXPECT_EQ(2224, id);
    EXPECT_FALSE(SCOLOR::EnumColorPreset(24, &colour, &id));
}

#ifndef _WIN32
// Over the host's store (the Windows suite stores through the spooler).
TEST(SpotColor, StoredRecord) {
    prtreg_host_clear();
    prtreg reg(reinterpret_cast<HANDLE>(0x61));
    SCOLOR s;
    s.InitFlags(0x01);
    s.SetColorPlane(0, 0x00FF00);
    s.Plane(1)->x_offset = -7;
    ASSERT_TRUE(s.Save(reg));
    SCOLOR back;
    back.InitFlags(0);
    ASSERT_TRUE(back.Load(reg));
    EXPECT_EQ(2, back.GetHeads());
    EXPECT_EQ(0x00FF00u, back.GetColorPlane(0));
    EXPECT_EQ(-7, back.Plane(1)->x_offset);

    // A record claiming nine heads is not taken.
    std::vector<unsigned char> bad(76, 0);
    bad[0] = 1, bad[72] = 9;
    ASSERT_TRUE(reg.SaveRaw("Spot Color", bad.data(), 76, false));
    ASSERT_TRUE(back.Load(reg));
    EXPECT_EQ(2, back.GetHeads());
}
#endif

} // namespace
