#include "dm_helpers.h"
#include "foundation/memory.h"
#include "platform/seam.h"

#include <string>

namespace {

// An incoming device mode: the model's defaults with fields changed by the test.
struct Merge {
    explicit Merge(const TestModel &m) : model(m), dst(default_dm(m)), src(default_dm(m)) {}
    DEVMODEW *merged() {
        EXPECT_TRUE(MergeDevmode(model, dst.dm(), src.dm()));
        return dst.dm();
    }
    const TestModel &model;
    DmBuffer dst, src;
};

SHORT merged_copies(int32_t max_copies, SHORT copies) {
    TestModel model(203, max_copies);
    Merge m(model);
    m.src.dm()->dmCopies = copies;
    return m.merged()->dmCopies;
}

TEST(Defaults, PublicFieldsComeFromTheModel) {
    TestModel model(300, 0, 2);
    DmBuffer b = default_dm(model);
    DEVMODEW *dm = b.dm();
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t *>(dm->dmDeviceName)), u"Label printer");
    EXPECT_EQ(dm->dmFields, 0x6F0Fu);
    EXPECT_TRUE(dm->dmPaperSize == 256 && dm->dmPaperLength == 1524 && dm->dmPaperWidth == 1016);
    EXPECT_TRUE(dm->dmPrintQuality == 300 && dm->dmYResolution == 300);
    EXPECT_EQ(dm->dmColor, 2);
    EXPECT_EQ(dm->dmTTOption, 3);
    ASSERT_NE(GetCommonPrivateDm(dm), nullptr);
    EXPECT_EQ(GetCommonPrivateDm(dm)->ht.DevPelsDPI, 300u);

    // A name longer than 31 characters is cut and terminated.
    WCHAR longname[40] = {};
    std::fill(longname, longname + 39, WCHAR('n'));
    EXPECT_TRUE(SetDefaultDevMode(dm, longname, model.GetPDT()));
    EXPECT_TRUE(dm->dmDeviceName[30] == 'n' && dm->dmDeviceName[31] == 0);
    EXPECT_FALSE(SetDefaultDevMode(nullptr, nullptr, nullptr));
    EXPECT_FALSE(DefaultDevmode(model, nullptr, nullptr));
}

TEST(Defaults, HalftonePatternSizeFollowsResolution) {
    struct Case {
        SHORT quality, yres;
        DWORD pattern;
    } cases[] = {{179, 600, 3}, {600, 180, 5}, {399, 399, 5}, {400, 400, 7}, {2400, 2400, 15}}; // the lower wins
    for (const Case &c : cases) {
        DEVMODEW dm = {};
        dm.dmSize = sizeof dm;
        dm.dmPrintQuality = c.quality;
        dm.dmYResolution = c.yres;
        MRL_DEVHTINFO ht;
        EXPECT_TRUE(DefaultDevHTInfo(&ht, &dm));
        EXPECT_EQ(ht.HTPatternSize, c.pattern) << c.quality << "x" << c.yres;
        EXPECT_EQ(ht.DevPelsDPI, DWORD(std::min(c.quality, c.yres)));
    }
}

TEST(Merge, CopiesWithinTheModelLimit) {
    EXPECT_EQ(merged_copies(999, 5000), 999);
    EXPECT_EQ(merged_copies(0, 5000), 999);
    EXPECT_EQ(merged_copies(100000, 5000), 5000);
    EXPECT_EQ(merged_copies(100000, 32767), 32767);
    EXPECT_EQ(merged_copies(999, 0), 1);
    EXPECT_EQ(merged_copies(999, -3), 1);
    EXPECT_EQ(merged_copies(999, 999), 999);
    // A damaged table with a negative limit still gives a printable count.
    EXPECT_EQ(merged_copies(-5, 10), 1);
}

TEST(Merge, ScaleOrientationAndFixedFields) {
    TestModel model(203, 999);
    Merge m(model);
    m.dst.dm()->dmFields &= ~DWORD(DM_SCALE);
    DEVMODEW *src = m.src.dm();
    src->dmFields |= DM_SCALE;
    src->dmScale = 0;
    src->dmOrientation = 7;
    src->dmDuplex = 2;
    src->dmCollate = 1;
    src->dmYResolution = 77;
    src->dmTTOption = 9;
    DEVMODEW *dm = m.merged();
    EXPECT_TRUE(dm->dmScale == 100 && (dm->dmFields & DM_SCALE));
    EXPECT_EQ(dm->dmOrientation, 1);
    EXPECT_TRUE(dm->dmDuplex == 1 && dm->dmCollate == 0);
    EXPECT_EQ(dm->dmYResolution, 203); // not taken from the source
    EXPECT_EQ(dm->dmTTOption, 3);

    src->dmScale = 1000;
    src->dmOrientation = 2;
    dm = m.merged();
    EXPECT_TRUE(dm->dmScale == 1000 && dm->dmOrientation == 2);
}

TEST(Merge, PaperSizeAndFormName) {
    TestModel model(203, 999);
    auto paper_fields = [](const DEVMODEW *dm) {
        return dm->dmFields & (DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME);
    };
    Merge user(model);
    user.dst.dm()->dmFields |= DM_FORMNAME;
    user.src.dm()->dmPaperLength = 700;
    DEVMODEW *dm = user.merged();
    EXPECT_TRUE(dm->dmPaperSize == 256 && dm->dmPaperLength == 700);
    EXPECT_EQ(paper_fields(dm), DWORD(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH));

    Merge fixed(model);
    fixed.src.dm()->dmPaperSize = 120;
    dm = fixed.merged();
    EXPECT_EQ(dm->dmPaperSize, 120);
    EXPECT_EQ(paper_fields(dm), DWORD(DM_PAPERSIZE));

    Merge named(model);
    named.src.dm()->dmFields = (named.src.dm()->dmFields & ~DWORD(DM_PAPERSIZE)) | DM_FORMNAME;
    std::memcpy(named.src.dm()->dmFormName, WSTR("4x6 label"), 20);
    dm = named.merged();
    EXPECT_EQ(std::memcmp(dm->dmFormName, WSTR("4x6 label"), 20), 0);
    EXPECT_EQ(paper_fields(dm), DWORD(DM_FORMNAME));
}

TEST(Merge, ColourAndPrintQualityFollowTheModel) {
    TestModel mono(203, 999, 1);
    Merge m(mono);
    m.src.dm()->dmColor = 2;
    m.src.dm()->dmPrintQuality = 600;
    EXPECT_EQ(m.merged()->dmColor, 1);
    EXPECT_EQ(m.dst.dm()->dmPrintQuality, 203);

    TestModel colour(600, 999, 2);
    Merge c(colour);
    c.dst.dm()->dmColor = 1;
    c.src.dm()->dmColor = 2;
    EXPECT_EQ(c.merged()->dmColor, 2);
}

TEST(Merge, UnusableSourceKeepsDestinationValues) {
    TestModel model(203, 999);
    Merge m(model);
    m.dst.dm()->dmCopies = 5000; // out of range in the destination itself
    m.dst.dm()->dmDuplex = 3;
    m.dst.dm()->dmScale = 55;
    m.dst.dm()->dmFields |= DM_SCALE;
    m.src.dm()->dmSize = 0xFFFF;
    EXPECT_EQ(CheckDevmodeVersion(m.src.dm()), 0);
    // The source claims 0xFFFF bytes: give it a block that large.
    DmBuffer big(size_t(0xFFFF) + m.src.dm()->dmDriverExtra);
    std::memcpy(big.data(), m.src.data(), m.src.size());
    big.dm()->dmCopies = 2;
    EXPECT_TRUE(MergeDevmode(m.model, m.dst.dm(), big.dm()));
    DEVMODEW *dm = m.dst.dm();
    EXPECT_TRUE(dm->dmCopies == 999 && dm->dmScale == 55);
    EXPECT_TRUE(dm->dmDuplex == 1 && dm->dmCollate == 0);
}

TEST(Merge, ForeignPrivatePartIsIgnored) {
    TestModel model(203, 999, 1, "abc");
    TestModel other(203, 999, 1, "xyz");
    Merge m(model);
    DmBuffer foreign = default_dm(other);
    prtconfig::get_cfg(foreign.dm())->image_flags = prtconfig::kMirror;
    prtconfig::get_cfg(foreign.dm())->set_user("other model", 0);
    ASSERT_TRUE(MergeDevmode(model, m.dst.dm(), foreign.dm()));
    EXPECT_EQ(prtconfig::get_cfg(m.dst.dm())->image_flags, 0);
    EXPECT_STREQ(prtconfig::get_cfg(m.dst.dm())->get_user(0), "");

    // Same model, other block version: ignored too.
    DmBuffer old = default_dm(model);
    prtconfig::get_cfg(old.dm())->version = 1026;
    prtconfig::get_cfg(old.dm())->image_flags = prtconfig::kMirror;
    ASSERT_TRUE(MergeDevmode(model, m.dst.dm(), old.dm()));
    EXPECT_EQ(prtconfig::get_cfg(m.dst.dm())->image_flags, 0);

    // Same model and block version behind a public part of a size and driver
    // version this module does not know: the whole source carries nothing.
    DmBuffer known = default_dm(model);
    prtconfig::get_cfg(known.dm())->image_flags = prtconfig::kMirror;
    DmBuffer unknown(216 + 1240);
    std::memcpy(unknown.data(), known.data(), 216);
    std::memcpy(unknown.data() + 216, known.data() + 220, 1240);
    unknown.dm()->dmSize = 216;
    unknown.dm()->dmDriverVersion = 0x0600;
    ASSERT_NE(prtconfig::get_cfg(unknown.dm()), nullptr);
    ASSERT_TRUE(MergeDevmode(model, m.dst.dm(), unknown.dm()));
    EXPECT_EQ(prtconfig::get_cfg(m.dst.dm())->image_flags, 0);

    // Same model and version: carried, all but the tail.
    DmBuffer same = default_dm(model);
    prtconfig *cfg = prtconfig::get_cfg(same.dm());
    cfg->image_flags = prtconfig::kNegative;
    cfg->option_value = 9;
    cfg->set_user("operator", 3);
    cfg->dither.method = dithercfg::kDiffusion;
    ASSERT_TRUE(MergeDevmode(model, m.dst.dm(), same.dm()));
    const prtconfig *got = prtconfig::get_cfg(m.dst.dm());
    EXPECT_TRUE(got->image_flags == prtconfig::kNegative && got->option_value == 9);
    EXPECT_STREQ(got->get_user(3), "operator");
    EXPECT_EQ(got->dither.method, dithercfg::kDiffusion);
}

TEST(Merge, CarriedUserStringsAreTerminated) {
    TestModel model(203, 999);
    Merge m(model);
    std::memset(prtconfig::get_cfg(m.src.dm())->user, 'x', 1024);
    m.merged();
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(std::strlen(prtconfig::get_cfg(m.dst.dm())->get_user(slot)), 255u);
}

TEST(Merge, CommonHeaderOnlyFromSameVersion) {
    TestModel model(203, 999);
    Merge m(model);
    GetCommonPrivateDm(m.src.dm())->ca.caContrast = 40;
    m.merged();
    EXPECT_EQ(GetCommonPrivateDm(m.dst.dm())->ca.caContrast, 40);

    Merge v(model);
    GetCommonPrivateDm(v.src.dm())->version = 2;
    GetCommonPrivateDm(v.src.dm())->ca.caContrast = 40;
    v.merged();
    EXPECT_EQ(GetCommonPrivateDm(v.dst.dm())->ca.caContrast, 0);
}

TEST(Merge, NullArguments) {
    TestModel model(203, 999);
    DmBuffer dst = default_dm(model);
    EXPECT_FALSE(MergeDevmode(model, dst.dm(), nullptr));
    EXPECT_FALSE(MergeDevmode(model, nullptr, dst.dm()));
    EXPECT_EQ(ValidateSetDevMode(dst.dm(), nullptr, model.GetPDT()), 1);
    EXPECT_EQ(ValidateSetPrivateDevMode(nullptr, dst.dm()), 1);
    EXPECT_FALSE(CopyDevmode(nullptr, dst.dm()));
}

TEST(Merge, FailedScratchAllocationFails) {
    TestModel model(203, 999);
    DmBuffer dst = default_dm(model), src = default_dm(model);
    mrl::allocation().alloc = [](size_t) -> void * { return nullptr; };
    EXPECT_EQ(ValidateSetDevMode(dst.dm(), src.dm(), model.GetPDT()), 0);
    EXPECT_FALSE(MergeDevmode(model, dst.dm(), src.dm()));
    EXPECT_FALSE(NewDevmode(model, nullptr));
    platform::reset();
}

TEST(Version, BySize) {
    DEVMODEW dm = {};
    EXPECT_EQ(CheckDevmodeVersion(nullptr), 0);
    dm.dmSpecVersion = 0x0123;
    for (auto [size, version] : {std::pair<WORD, WORD>{188, 0x0320}, {212, 0x0400}, {220, 0x0401}, {156, 0x0123},
                                 {0xFFFF, 0}, {0, 0}, {71, 0}, {72, 0x0123}}) {
        dm.dmSize = size;
        EXPECT_EQ(CheckDevmodeVersion(&dm), version) << size;
    }
    dm.dmSize = 156;
    dm.dmDriverVersion = 0x0501;
    EXPECT_EQ(CheckDevmodeVersion(&dm), 0);
    dm.dmSize = 220;
    EXPECT_EQ(CheckDevmodeVersion(&dm), 0x0401); // known sizes ignore the driver version
}

TEST(Convert, SizesAndVersions) {
    TestModel model(203, 999);
    DmBuffer a = default_dm(model), b = default_dm(model);
    a.dm()->dmCopies = 7;
    EXPECT_EQ(ConvertDevmode(a.dm(), b.dm()), 1460);
    EXPECT_EQ(std::memcmp(a.data(), b.data(), 1460), 0);

    // A 3.51 (188-byte) source into the current layout.
    DmBuffer old(188 + 1240);
    std::memcpy(old.data(), a.data(), 188);
    std::memcpy(old.data() + 188, a.data() + 220, 1240);
    old.dm()->dmSize = 188;
    old.dm()->dmSpecVersion = 0x0320;
    std::memset(b.data() + 188, 0x55, 32);
    EXPECT_EQ(ConvertDevmode(old.dm(), b.dm()), 188 + 1240);
    EXPECT_TRUE(b.dm()->dmSpecVersion == 0x0401 && b.dm()->dmSize == 220 && b.dm()->dmCopies == 7);
    EXPECT_EQ(std::vector<unsigned char>(b.data() + 188, b.data() + 220), std::vector<unsigned char>(32, 0));
    EXPECT_EQ(std::memcmp(b.data() + 220, a.data() + 220, 1240), 0);

    // Current layout into a 188-byte buffer with a shorter private part.
    DmBuffer small(188 + 100);
    small.dm()->dmSpecVersion = 0x0320;
    small.dm()->dmDriverVersion = 0x0350;
    small.dm()->dmSize = 188;
    small.dm()->dmDriverExtra = 100;
    EXPECT_EQ(ConvertDevmode(a.dm(), small.dm()), 188 + 100);
    EXPECT_TRUE(small.dm()->dmSpecVersion == 0x0320 && small.dm()->dmDriverVersion == 0x0350);
    EXPECT_EQ(std::memcmp(small.data() + 188, a.data() + 220, 100), 0);

    // Unusable source: 1 and out untouched; unusable destination: -1.
    DmBuffer before(b.dm());
    a.dm()->dmSize = 0xFFFF;
    EXPECT_EQ(ConvertDevmode(a.dm(), b.dm()), 1);
    EXPECT_EQ(std::memcmp(before.data(), b.data(), 1460), 0);
    a.dm()->dmSize = 220;
    b.dm()->dmDriverVersion = 0x0600;
    b.dm()->dmSize = 200;
    EXPECT_EQ(ConvertDevmode(a.dm(), b.dm()), -1);
    EXPECT_EQ(ConvertDevmode(nullptr, b.dm()), 1);

    // The same buffer in and out converts to itself.
    DmBuffer self = default_dm(model);
    DmBuffer copy(self.dm());
    EXPECT_EQ(ConvertDevmode(self.dm(), self.dm()), 1460);
    EXPECT_EQ(std::memcmp(self.data(), copy.data(), 1460), 0);
}

} // namespace
