#include "devmode/sdm.h"
#include "dm_helpers.h"

namespace {

struct SdmCase {
    TestModel model{203, 999, 1, "abc"};
    DmBuffer working = default_dm(model);
    DmBuffer saved = default_dm(model);

    SdmCase() {
        saved.dm()->dmCopies = 42;
        saved.dm()->dmDeviceName[0] = 'Z';
        prtconfig::get_cfg(saved.dm())->image_flags = prtconfig::kMirror;
        prtconfig::get_cfg(saved.dm())->set_user("from file", 0);
    }
    std::vector<unsigned char> file() { return sdm::Save(saved.dm()); }
    bool load(const std::vector<unsigned char> &f, const char *prefix = "abc") {
        // Exactly the file's bytes on the heap.
        std::vector<unsigned char> exact(f);
        exact.shrink_to_fit();
        return sdm::Load(exact.data(), exact.size(), working.dm(), prefix);
    }
    const prtconfig *cfg() { return prtconfig::get_cfg(working.dm()); }
};

TEST(Sdm, SaveWritesMagicLengthAndDeviceMode) {
    SdmCase c;
    std::vector<unsigned char> f = c.file();
    ASSERT_EQ(f.size(), 8u + 1460);
    EXPECT_EQ(std::memcmp(f.data(), "DM32", 4), 0);
    EXPECT_EQ(f[4] | f[5] << 8 | f[6] << 16 | f[7] << 24, 1460);
    EXPECT_EQ(std::memcmp(f.data() + 8, c.saved.data(), 1460), 0);
    EXPECT_TRUE(sdm::Save(nullptr).empty());
}

// The public fields only from "DM32" files, the block only of the same prefix
// and version; the device name always stays.
TEST(Sdm, LoadTakesPublicFieldsAndBlockOfTheSameModelAndVersion) {
    SdmCase c;
    ASSERT_TRUE(c.load(c.file()));
    EXPECT_EQ(c.working.dm()->dmCopies, 42);
    EXPECT_EQ(c.working.dm()->dmDeviceName[0], 'L');
    EXPECT_EQ(c.cfg()->image_flags, prtconfig::kMirror);
    EXPECT_STREQ(c.cfg()->get_user(0), "from file");
    EXPECT_NE(prtconfig::get_tail(c.working.dm()), nullptr);

    SdmCase m;
    std::vector<unsigned char> f = m.file();
    f[2] = '1';
    f[3] = '6';
    ASSERT_TRUE(m.load(f));
    EXPECT_EQ(m.working.dm()->dmCopies, 1);
    EXPECT_EQ(m.cfg()->image_flags, prtconfig::kMirror);
    f[1] = 'X';
    EXPECT_FALSE(m.load(f) || m.load({'D'}));

    SdmCase p;
    ASSERT_TRUE(p.load(p.file(), "xyz"));
    EXPECT_EQ(p.working.dm()->dmCopies, 42);
    EXPECT_EQ(p.cfg()->image_flags, 0);
    SdmCase v;
    prtconfig::get_cfg(v.saved.dm())->version = 1000;
    ASSERT_TRUE(v.load(v.file()));
    EXPECT_EQ(v.cfg()->image_flags, 0);
}

TEST(Sdm, WholeTakesOnlyExactlyOneDeviceModeAndMergeKeepsTheModelsLimits) {
    SdmCase c;
    c.saved.dm()->dmCopies = -6827;
    c.saved.dm()->dmOrientation = 6564;
    c.saved.dm()->dmPrintQuality = 300;
    std::vector<unsigned char> f = c.file(), longer = f, dm16 = f, other = f;
    longer.push_back(0);
    dm16[8 + offsetof(DEVMODEW, dmSize)] = 16;
    other[3] = '2' + 1;
    const char *why = nullptr;
    for (const auto &bad : {std::vector<unsigned char>(f.begin(), f.begin() + 2),
                            std::vector<unsigned char>(f.begin(), f.end() - 1), longer, dm16, other}) {
        EXPECT_EQ(sdm::Whole(bad.data(), bad.size(), &why), nullptr);
        EXPECT_NE(why, nullptr);
    }
    const DEVMODEW *in = sdm::Whole(f.data(), f.size(), &why);
    ASSERT_NE(in, nullptr) << why;
    ASSERT_TRUE(MergeDevmode(c.model, c.working.dm(), in));
    EXPECT_EQ(c.working.dm()->dmCopies, 1);
    EXPECT_EQ(c.working.dm()->dmOrientation, 1);
    EXPECT_EQ(c.working.dm()->dmPrintQuality, 203);
    EXPECT_EQ(c.cfg()->image_flags, prtconfig::kMirror); // same prefix: the block is carried
}

} // namespace
