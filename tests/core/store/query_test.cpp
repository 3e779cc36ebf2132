// The printer query as it travels in a value name, and the port types. How the
// spooler's answers are judged is tested against Wine's spooler (win_store).
#include "store/printerquery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<WCHAR> request(const char *cmd, unsigned len, unsigned reply_size, unsigned min_reply) {
    std::vector<WCHAR> block(QueryRequestBytes(len) / 2, 0x7777);
    LONG bytes = BuildQueryRequest(cmd, len, reply_size, min_reply, block.data(), QueryRequestBytes(len));
    EXPECT_EQ(bytes, QueryRequestBytes(len));
    return block;
}

TEST(QueryRequest, ThreeByteCommandLayout) {
    std::vector<WCHAR> b = request("~HS", 3, 200, 82);
    ASSERT_EQ(b.size() * 2, 52u);
    // The value name, then length 3 and minimum 82 each between 0xA6 separators.
    EXPECT_EQ(std::u16string(b.begin(), b.begin() + 22), u"MRLGetPrinterData\u00A6\u0003\u00A6\u0052\u00A6");
    // Command bytes as they are, the odd byte padded with 0, then zero units to the end.
    const unsigned char *data = reinterpret_cast<const unsigned char *>(&b[22]);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(data), 8), std::string("~HS\0\0\0\0\0", 8));
}

TEST(QueryRequest, SizesAndSpecialUnits) {
    // The header, the command rounded up to whole units, two zero units.
    for (auto [len, bytes] : {std::pair<unsigned, LONG>{0, 48}, {1, 50}, {4, 52}, {5, 54}, {kQueryMaxCommand + 1, 0}})
        EXPECT_EQ(QueryRequestBytes(len), bytes) << len;

    // An empty command and a zero minimum are sent as 0xFFFF so that the name does not end there.
    std::vector<WCHAR> empty = request("", 0, 10, 0);
    EXPECT_EQ(empty[18], 0xFFFF);
    EXPECT_EQ(empty[20], 0xFFFF);
    // No reply wanted: 0xFFFE whatever the minimum.
    std::vector<WCHAR> none = request("X", 1, 0, 5);
    EXPECT_EQ(none[20], 0xFFFE);
}

TEST(QueryRequest, RefusesWhatItCannotEncode) {
    WCHAR small[25];
    EXPECT_EQ(BuildQueryRequest("~HS", 3, 1, 1, small, sizeof small), 0);
    WCHAR block[64];
    EXPECT_EQ(BuildQueryRequest(nullptr, 3, 1, 1, block, sizeof block), 0);
    EXPECT_EQ(BuildQueryRequest(nullptr, 0, 1, 1, block, sizeof block), 48);
}

TEST(QueryRequest, ParsesBackWhatWasBuilt) {
    const char cmd[] = {'~', 'H', 0, 'S', 1};
    std::vector<WCHAR> b = request(cmd, 5, 100, 0);
    QueryRequest q = {};
    ASSERT_TRUE(ParseQueryRequest(b.data(), static_cast<LONG>(b.size() * 2), &q));
    EXPECT_EQ(q.cmd_len, 5u);
    EXPECT_EQ(q.min_reply, 0u);
    EXPECT_TRUE(q.wants_reply);
    EXPECT_EQ(std::vector<unsigned char>(q.cmd, q.cmd + 5), std::vector<unsigned char>(cmd, cmd + 5));

    std::vector<WCHAR> n = request("A", 1, 0, 9);
    ASSERT_TRUE(ParseQueryRequest(n.data(), static_cast<LONG>(n.size() * 2), &q));
    EXPECT_FALSE(q.wants_reply);
    EXPECT_EQ(q.min_reply, 0u);

    // A command said to run past the bytes at hand, or another value name, is refused.
    EXPECT_FALSE(ParseQueryRequest(b.data(), 44 + 4, &q));
    b[3] = 'X';
    EXPECT_FALSE(ParseQueryRequest(b.data(), static_cast<LONG>(b.size() * 2), &q));
}

TEST(QueryOutcome, PortTypes) {
    EXPECT_EQ(GetPortType(WSTR("LPT1:")), 2);
    EXPECT_EQ(GetPortType(WSTR("COM3:")), 1);
    EXPECT_EQ(GetPortType(WSTR("FILE:")), 3);
    EXPECT_EQ(GetPortType(WSTR("\\\\server\\printer")), 4);
    for (const WCHAR *other : {WSTR("USB001"), WSTR("lpt1:"), WSTR("LP"), WSTR("\\"), static_cast<const WCHAR *>(nullptr)})
        EXPECT_EQ(GetPortType(other), 0);
}

} // namespace
