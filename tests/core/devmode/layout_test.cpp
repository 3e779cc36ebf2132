// The locators of the private part against hostile sizes; the record layouts
// themselves are fixed by the static_asserts in devmode/layout.h.
#include "dm_helpers.h"

namespace {

// A device mode of `size` + `extra` bytes whose private part ends in a tail.
DmBuffer with_tail(WORD size, WORD extra, const char *magic = nullptr, WORD block = 0) {
    DmBuffer b(std::max<size_t>(devmode::kHeaderSize, size_t(size) + extra));
    b.dm()->dmSpecVersion = 0x0401;
    b.dm()->dmDriverVersion = 0x0400;
    b.dm()->dmSize = size;
    b.dm()->dmDriverExtra = extra;
    if (magic) {
        unsigned char *end = devmode::private_part(b.dm()) + extra;
        std::memcpy(end - 8, magic, 3);
        std::memcpy(end - 5, "abc", 3);
        std::memcpy(end - 2, &block, 2);
    }
    return b;
}

TEST(Layout, DefaultDeviceModeIsFoundByEveryLocator) {
    TestModel model(203, 999, 1, "zpl");
    DmBuffer b = default_dm(model);
    DEVMODEW *dm = b.dm();
    ASSERT_TRUE(dm->dmSize == 220 && dm->dmDriverExtra == 1240);
    unsigned char *priv = devmode::private_part(dm);
    EXPECT_EQ(static_cast<void *>(GetCommonPrivateDm(dm)), priv);
    EXPECT_EQ(static_cast<void *>(prtconfig::get_cfg(dm)), priv + devmode::kCommonSize);
    EXPECT_EQ(static_cast<void *>(prtconfig::get_tail(dm)), priv + dm->dmDriverExtra - 8);
    EXPECT_EQ(std::memcmp(priv + dm->dmDriverExtra - 8, "mrlzpl", 6), 0);
}

TEST(Layout, CommonHeaderNeedsSignatureAndRoom) {
    TestModel model(203, 999);
    DmBuffer b = default_dm(model);
    EXPECT_EQ(GetCommonPrivateDm(static_cast<DEVMODEW *>(nullptr)), nullptr);
    b.data()[224] = 'X'; // another driver's private part
    EXPECT_EQ(GetCommonPrivateDm(b.dm()), nullptr);
    // The signature present, the header one byte short of dmDriverExtra or just inside it.
    for (WORD extra : {163, 164}) {
        DmBuffer cut = with_tail(220, extra);
        std::memcpy(cut.data() + 224, "MDTN", 4);
        EXPECT_EQ(GetCommonPrivateDm(cut.dm()) != nullptr, extra == 164);
    }
}

TEST(Layout, TailAndBlockAgainstHostileSizes) {
    EXPECT_EQ(prtconfig::get_tail(static_cast<DEVMODEW *>(nullptr)), nullptr);
    // Fewer than 8 private bytes: no tail, and nothing before the private part is read.
    for (WORD extra = 0; extra < 8; ++extra)
        EXPECT_EQ(prtconfig::get_tail(with_tail(220, extra).dm()), nullptr) << extra;
    DmBuffer b = with_tail(220, 1240, "mrl", 1076);
    for (WORD DEVMODEW::*f : {&DEVMODEW::dmSpecVersion, &DEVMODEW::dmDriverVersion}) {
        DmBuffer z(b.dm());
        z.dm()->*f = 0;
        EXPECT_EQ(prtconfig::get_tail(z.dm()), nullptr);
    }

    // Where the block is found from the tail's block size, or -1 for no tail / no block.
    struct Case {
        WORD extra;
        const char *magic;
        WORD block;
        int tail, cfg; // offsets in the private part
    } cases[] = {
        {1240, "mrl", 1076, 1232, 164},
        {1084, "mrl", 1076, 1076, 8},  // block size at the limit dmDriverExtra - 8
        {1084, "mrl", 1077, -1, -1},   // one above it
        {1084, "mrX", 1076, -1, -1},
        {1240, "mrl", 52, 1232, 164},  // counting only what follows the user strings
        {1000, "mrl", 52, 992, -1},    // the same in a part too short for the record
        {1240, "mrl", 1030, 1232, -1}, // the record would run past the tail
        {1300, "mrl", 1200, 1292, 100}, // a larger block is read from its start
    };
    for (const Case &c : cases) {
        DmBuffer d = with_tail(220, c.extra, c.magic, c.block);
        const unsigned char *priv = devmode::private_part(d.dm());
        const void *tail = prtconfig::get_tail(d.dm()), *cfg = prtconfig::get_cfg(d.dm());
        EXPECT_EQ(tail, c.tail < 0 ? nullptr : priv + c.tail) << c.extra << " " << c.block;
        EXPECT_EQ(cfg, c.cfg < 0 ? nullptr : priv + c.cfg) << c.extra << " " << c.block;
    }
}

} // namespace
