#include "devmode/views.h"
#include "dm_helpers.h"
#include "store/prtform.h"

#include <tuple>

namespace {

TEST(ConfigBlock, ResetAndValidate) {
    TestModel model(300, 999);
    DmBuffer b = default_dm(model);
    auto *cfg = static_cast<extconfig *>(prtconfig::get_cfg(b.dm()));
    ASSERT_NE(cfg, nullptr);

    // Word 7 left automatic follows the resolution: the steps at 180 and 400 dpi.
    for (auto [dpi, size] : {std::pair<int16_t, SHORT>{179, 1}, {180, 2}, {399, 2}, {400, 3}}) {
        model.pdt.dpi = dpi;
        cfg->dither.Reset();
        cfg->Validate(&model);
        EXPECT_EQ(cfg->dither.cluster_size, size) << dpi;
    }

    // Every range is clamped at both ends; words 9 to 11 are left alone.
    cfg->dither = {-5, -101, 101, -200, 200, 0, 3, 4, 2, 77, 0x70, 9};
    cfg->option_value = 0;
    cfg->Validate(&model);
    const dithercfg want = {0, -100, 100, -100, 100, 0, 2, 3, 1, 77, 0x70, 9};
    EXPECT_EQ(std::memcmp(&cfg->dither, &want, sizeof want), 0);
    EXPECT_EQ(cfg->option_value, 1);

    // Image flags the model cannot print are cleared, and reported.
    cfg->image_flags = prtconfig::kMirror | prtconfig::kNegative | prtconfig::kRotate180;
    EXPECT_FALSE(cfg->Validate(&model));
    model.pdt.image_flags = 1;
    EXPECT_TRUE(cfg->Validate(model.GetPDT()));
    EXPECT_EQ(cfg->image_flags, prtconfig::kRotate180);
    EXPECT_FALSE(cfg->Validate(&model));

    cfg->set_user("a", 2);
    cfg->distance = 1;
    cfg->option_flags = 3;
    prtconfig::Reset(cfg, &model);
    prtconfig::Reset(nullptr, &model);
    EXPECT_STREQ(cfg->get_user(2), "");
    EXPECT_EQ(cfg->distance, 6350);
    EXPECT_EQ(cfg->image_flags, 0);
    EXPECT_EQ(cfg->option_flags, 2); // only the switch is cleared
    EXPECT_EQ(cfg->option_value, 4);
}

TEST(ConfigBlock, UserStrings) {
    TestModel model(203, 999);
    DmBuffer b = default_dm(model);
    prtconfig *cfg = prtconfig::get_cfg(b.dm());
    std::string longtext(300, 'q');
    cfg->set_user(longtext.c_str(), 1);
    EXPECT_EQ(std::strlen(cfg->get_user(1)), 255u);
    EXPECT_EQ(cfg->user[2][0], 0); // nothing spilled into the next slot
    cfg->set_user("x", 4);        // no such slot
    cfg->set_user("x", -1);
    EXPECT_STREQ(cfg->get_user(4), "");
}

TEST(PageView, OrientationAndImageFlags) {
    TestModel model(203, 999);
    DmBuffer b = default_dm(model);
    cfgpage page(b.dm());
    ASSERT_NE(page.get_cfg(), nullptr);
    // Four orientations: portrait or landscape, each turned by 180 degrees or not.
    for (auto [set, public_value, rotated] : {std::tuple<int, SHORT, bool>{0, 1, false}, {2, 1, true}, {1, 2, false},
                                              {3, 2, true}}) {
        page.set_orientation(set);
        EXPECT_EQ(b.dm()->dmOrientation, public_value) << set;
        EXPECT_EQ((page.get_cfg()->image_flags & prtconfig::kRotate180) != 0, rotated) << set;
        EXPECT_EQ(page.get_orientation(), set);
    }
    b.dm()->dmFields &= ~DWORD(DM_ORIENTATION);
    EXPECT_EQ(page.get_orientation(), 2); // portrait when the field is not in force

    page.set_mirror(true);
    page.set_inverse(true);
    page.set_mirror(false);
    EXPECT_TRUE(!page.get_mirror() && page.get_inverse());
}

TEST(PageView, FormByValueAndFromALabelStock) {
    TestModel model(203, 999);
    DmBuffer b = default_dm(model);
    cfgpage page(b.dm());
    b.dm()->dmFields = DM_COPIES;
    page.set_form(140, 1016, 1524, false, WSTR("4 x 6"));
    EXPECT_TRUE(b.dm()->dmPaperSize == 140 && b.dm()->dmPaperWidth == 1016 && b.dm()->dmPaperLength == 1524);
    EXPECT_EQ(b.dm()->dmFields, DWORD(DM_COPIES | DM_PAPERSIZE | DM_FORMNAME));
    EXPECT_EQ(std::memcmp(b.dm()->dmFormName, WSTR("4 x 6"), 12), 0);

    WCHAR longname[40] = {};
    std::fill(longname, longname + 39, WCHAR('L'));
    page.set_form(256, 500, 600, true, longname);
    EXPECT_EQ(b.dm()->dmFields & (DM_PAPERLENGTH | DM_PAPERWIDTH), DWORD(DM_PAPERLENGTH | DM_PAPERWIDTH));
    EXPECT_EQ(b.dm()->dmFormName[31], 'L');
    EXPECT_EQ(b.dm()->dmICMMethod, 0u); // nothing written past the name
    b.dm()->dmFields &= ~DWORD(DM_PAPERLENGTH | DM_PAPERWIDTH);

    // 4 x 2 in on a liner with 1.5 mm side margins and a 3 mm gap: the paper in 0.1 mm, rounded.
    prtform stock;
    stock.set_name("4 x 2 in");
    stock.set_width(101600);
    stock.set_height(50800);
    stock.set_left(1500);
    stock.set_right(1500);
    stock.set_bottom(3000);
    stock.set_paper_id(258);
    page.set_form(&stock);
    EXPECT_TRUE(b.dm()->dmPaperSize == 258 && b.dm()->dmPaperWidth == 1046 && b.dm()->dmPaperLength == 538);
    EXPECT_EQ(b.dm()->dmFields & (DM_PAPERLENGTH | DM_PAPERWIDTH), 0u);
    EXPECT_EQ(std::memcmp(b.dm()->dmFormName, WSTR("4 x 2 in"), 18), 0);

    // A user stock longer than the field holds saturates and marks its size.
    prtform user;
    user.set_flags(FORMF_USER);
    user.set_name("USER");
    user.set_width(50000);
    user.set_height(4000000);
    user.set_paper_id(256);
    page.set_form(&user);
    EXPECT_TRUE(b.dm()->dmPaperSize == 256 && b.dm()->dmPaperWidth == 500 && b.dm()->dmPaperLength == 32767);
    EXPECT_EQ(b.dm()->dmFields & (DM_PAPERLENGTH | DM_PAPERWIDTH), DWORD(DM_PAPERLENGTH | DM_PAPERWIDTH));
    page.set_form(static_cast<const prtform *>(nullptr));
    EXPECT_EQ(b.dm()->dmPaperSize, 256);
}

TEST(PageView, MissingPartsReadAsDefaults) {
    cfgpage none(nullptr);
    EXPECT_TRUE(none.get_size() == 256 && none.get_copies() == 1 && none.get_orientation() == 0);
    EXPECT_FALSE(none.get_mirror());
    none.set_orientation(3);
    none.set_form(1, 2, 3, true, WSTR("x"));

    // A foreign device mode: public fields work, image flags are missing.
    DmBuffer foreign(220 + 20);
    foreign.dm()->dmSize = 220;
    foreign.dm()->dmDriverExtra = 20;
    foreign.dm()->dmSpecVersion = 0x0401;
    foreign.dm()->dmDriverVersion = 0x0400;
    cfgpage page(foreign.dm());
    EXPECT_EQ(page.get_cfg(), nullptr);
    page.set_orientation(3);
    EXPECT_EQ(page.get_orientation(), 1);

    // A short public part: fields beyond its dmSize are neither read nor written.
    DmBuffer tiny(80);
    tiny.dm()->dmSize = 80;
    tiny.dm()->dmFields = DM_COPIES;
    cfgpage small(tiny.dm());
    small.set_copies(3);
    EXPECT_EQ(small.get_copies(), 1);
    small.set_form(1, 2, 3, true, WSTR("x"));
    cfggfx gfx(tiny.dm());
    EXPECT_EQ(gfx.get_color(), 1);
    gfx.set_color(2);

    // A public part that ends between dmPaperLength and dmPaperWidth.
    DmBuffer b(82);
    b.dm()->dmSize = 82;
    cfgpage cut(b.dm());
    cut.set_form(7, 100, 200, true, WSTR("x"));
    EXPECT_EQ(b.dm()->dmPaperSize, 7);
    EXPECT_EQ(b.dm()->dmFields, DWORD(DM_PAPERSIZE));
}

TEST(GraphicsView, ColourAndIntent) {
    TestModel model(203, 999, 2);
    DmBuffer b = default_dm(model);
    cfggfx gfx(b.dm());
    EXPECT_EQ(gfx.get_color(), 2);
    b.dm()->dmFields = 0;
    gfx.set_color(1);
    EXPECT_EQ(b.dm()->dmColor, 1);
    EXPECT_EQ(b.dm()->dmFields, DWORD(DM_COLOR));

    b.dm()->dmICMIntent = 3;
    EXPECT_EQ(gfx.get_icmintent(), 1u); // switch off after init
    gfx.set_icmintent(4);
    EXPECT_EQ(b.dm()->dmICMIntent, 3u);
    gfx.set_icm(true);
    EXPECT_EQ(gfx.get_icmintent(), 3u);
    gfx.set_icmintent(4);
    EXPECT_EQ(b.dm()->dmICMIntent, 4u);
    EXPECT_EQ(b.dm()->dmFields, DWORD(DM_COLOR));
    gfx.init(b.dm());
    EXPECT_FALSE(gfx.get_icm());
    EXPECT_EQ(cfggfx(nullptr).get_color(), 1);
}

} // namespace
