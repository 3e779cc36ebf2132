#include "dm_helpers.h"

namespace {

// Writes a tail at the end of the claimed private part.
void put_tail(DEVMODEW *dm, const char *magic, const char *prefix, WORD size) {
    unsigned char *end = devmode::private_part(dm) + dm->dmDriverExtra;
    std::memcpy(end - 8, magic, 3);
    std::memcpy(end - 5, prefix, 3);
    std::memcpy(end - 2, &size, 2);
}

DmBuffer sized(WORD size, WORD extra) {
    DmBuffer b(std::max<size_t>(devmode::kHeaderSize, size_t(size) + extra));
    b.dm()->dmSpecVersion = 0x0401;
    b.dm()->dmDriverVersion = 0x0400;
    b.dm()->dmSize = size;
    b.dm()->dmDriverExtra = extra;
    return b;
}

TEST(Layout, DefaultDeviceModePlacesEveryBlock) {
    TestModel model(203, 999, 1, "zpl");
    DmBuffer b = default_dm(model);
    DEVMODEW *dm = b.dm();
    ASSERT_TRUE(dm->dmSize == 220 && dm->dmDriverExtra == 1240);
    EXPECT_TRUE(dm->dmSpecVersion == 0x0401 && dm->dmDriverVersion == 0x0400);

    const unsigned char *raw = b.data();
    EXPECT_EQ(std::memcmp(raw + 224, "MDTN", 4), 0);
    EXPECT_EQ(static_cast<const void *>(GetCommonPrivateDm(dm)), raw + 220);
    // Tail: "mrl", prefix, block size 1076 in the last 8 bytes.
    EXPECT_EQ(std::memcmp(raw + 1452, "mrlzpl", 6), 0);
    EXPECT_EQ(raw[1458] | raw[1459] << 8, 1076);
    EXPECT_EQ(static_cast<const void *>(prtconfig::get_tail(dm)), raw + 1452);
    EXPECT_EQ(static_cast<const void *>(prtconfig::get_cfg(dm)), raw + 384);

    // The block's own size and version words, as stored little-endian bytes.
    EXPECT_EQ(raw[384 + 1024] | raw[384 + 1025] << 8, 1068);
    EXPECT_EQ(raw[384 + 1026] | raw[384 + 1027] << 8, 1027);
}

TEST(Layout, CommonHeaderNeedsSignatureAndRoom) {
    TestModel model(203, 999);
    DmBuffer b = default_dm(model);
    EXPECT_EQ(GetCommonPrivateDm(static_cast<DEVMODEW *>(nullptr)), nullptr);
    b.data()[224] = 'X'; // another driver's private part
    EXPECT_EQ(GetCommonPrivateDm(b.dm()), nullptr);

    // Signature present but the header cut short by dmDriverExtra.
    DmBuffer small = sized(220, 163);
    std::memcpy(small.data() + 224, "MDTN", 4);
    EXPECT_EQ(GetCommonPrivateDm(small.dm()), nullptr);
    DmBuffer exact = sized(220, 164);
    std::memcpy(exact.data() + 224, "MDTN", 4);
    EXPECT_NE(GetCommonPrivateDm(exact.dm()), nullptr);
}

TEST(Layout, TailRejectsHostileSizes) {
    EXPECT_EQ(prtconfig::get_tail(static_cast<DEVMODEW *>(nullptr)), nullptr);
    // Fewer than 8 private bytes: no tail, and nothing before the private part is read.
    for (WORD extra = 0; extra < 8; ++extra) {
        DmBuffer b = sized(220, extra);
        EXPECT_EQ(prtconfig::get_tail(b.dm()), nullptr) << extra;
    }
    DmBuffer b = sized(220, 1240);
    put_tail(b.dm(), "mrl", "abc", 1076);
    EXPECT_NE(prtconfig::get_tail(b.dm()), nullptr);
    for (WORD DEVMODEW::*f : {&DEVMODEW::dmSpecVersion, &DEVMODEW::dmDriverVersion}) {
        DmBuffer z(b.dm());
        z.dm()->*f = 0;
        EXPECT_EQ(prtconfig::get_tail(z.dm()), nullptr);
    }
    // Block size at the limit dmDriverExtra - 8, and one above it.
    DmBuffer edge = sized(220, 1084);
    put_tail(edge.dm(), "mrl", "abc", 1076);
    EXPECT_NE(prtconfig::get_tail(edge.dm()), nullptr);
    put_tail(edge.dm(), "mrl", "abc", 1077);
    EXPECT_EQ(prtconfig::get_tail(edge.dm()), nullptr);
    put_tail(edge.dm(), "mrX", "abc", 1076);
    EXPECT_EQ(prtconfig::get_tail(edge.dm()), nullptr);
}

TEST(Layout, ConfigurationBlockFromTail) {
    // A tail counting only the part after the user strings (52) places the
    // block 1076 bytes before its end.
    DmBuffer b = sized(220, 1240);
    put_tail(b.dm(), "mrl", "abc", 52);
    EXPECT_EQ(static_cast<const void *>(prtconfig::get_cfg(b.dm())), b.data() + 220 + 1240 - 1076);

    // The same tail in a private part too short for the block: missing.
    DmBuffer tight = sized(220, 1000);
    put_tail(tight.dm(), "mrl", "abc", 52);
    EXPECT_EQ(prtconfig::get_cfg(tight.dm()), nullptr);

    // A block size that would make the record run past the tail: missing.
    DmBuffer short_block = sized(220, 1240);
    put_tail(short_block.dm(), "mrl", "abc", 1030);
    EXPECT_NE(prtconfig::get_tail(short_block.dm()), nullptr);
    EXPECT_EQ(prtconfig::get_cfg(short_block.dm()), nullptr);

    // A larger block is read from its start, wholly inside the private part.
    DmBuffer large = sized(220, 1300);
    put_tail(large.dm(), "mrl", "abc", 1200);
    EXPECT_EQ(static_cast<const void *>(prtconfig::get_cfg(large.dm())), large.data() + 220 + 100);
    EXPECT_EQ(prtconfig::GetTotalSize(), 1076);
}

} // namespace
