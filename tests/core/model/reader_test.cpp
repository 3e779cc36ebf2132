#include <gtest/gtest.h>

#include "ddt_bytes.h"
#include "model/prtres.h"
#include "foundation/memory.h"
#include "platform/seam.h"
#include "temp_files.h"
#include "model/filecache.h"

namespace {

struct Loaded {
    prtres res;
    bool ok;
};

std::vector<LONG> ids(const prtres &res) {
    std::vector<LONG> out;
    for (ONode *n = res.GetHead(); n; n = n->GetNext())
        out.push_back(static_cast<res_node *>(n)->GetID());
    return out;
}

Bytes two_records() {
    Bytes f = record(1, "one", {1, 2, 3});
    append(f, record(2, "two", {4, 5}));
    return f;
}

TEST(Reader, EndsAtZeroLengthOrEndOfFile) {
    prtres empty;
    EXPECT_TRUE(empty.LoadBytes(terminator().data(), 4) && empty.LoadBytes(nullptr, 0));
    EXPECT_EQ(empty.Count(), 0);

    // Records after the terminator are not read; without one the file's end stops.
    Bytes f = two_records();
    append(f, terminator());
    append(f, record(3, "three", {6}));
    prtres res;
    res.LoadBytes(f.data(), f.size());
    EXPECT_EQ(ids(res), (std::vector<LONG>{1, 2}));

    prtres unterminated;
    Bytes g = two_records();
    unterminated.LoadBytes(g.data(), g.size());
    EXPECT_EQ(ids(unterminated), (std::vector<LONG>{1, 2}));
}

TEST(Reader, CopiesNameIdSizeAndDataAcrossGapsAndTails) {
    Bytes f = record(7, "gap", {9, 8, 7}, /*gap=*/5, /*tail=*/3);
    append(f, record(-4, "", {}, 0, 2));
    append(f, record(8, "next", {0x55}));
    prtres res;
    ASSERT_TRUE(res.LoadBytes(f.data(), f.size()));
    ASSERT_EQ(ids(res), (std::vector<LONG>{7, -4, 8}));
    res_node *gap = res.Find(7);
    EXPECT_STREQ(gap->GetName(), "gap");
    ASSERT_EQ(gap->GetSize(), 3);
    EXPECT_EQ(Bytes(gap->GetData(), gap->GetData() + 3), (Bytes{9, 8, 7}));
    EXPECT_STREQ(res.Find(-4)->GetName(), "");
    EXPECT_EQ(res.Find(-4)->GetSize(), 0);
    EXPECT_NE(res.Find(-4)->GetData(), nullptr);
    EXPECT_EQ(res.Find(8)->GetData()[0], 0x55);
}

// Anything that would make the reader look outside a record ends the load at
// that record, keeping what came before.
TEST(Reader, TruncatedOrMalformedRecordEndsTheLoad) {
    struct Case {
        const char *what;
        void (*spoil)(Bytes &rec);
    };
    const Case cases[] = {
        {"length 16", [](Bytes &r) { put32(r, 0, 16); }},
        {"length 3", [](Bytes &r) { put32(r, 0, 3); }},
        {"no NUL in name", [](Bytes &r) { r.back() = 'x'; }},
        {"data past end", [](Bytes &r) { put32(r, 4, 6); }},
        {"offset past end", [](Bytes &r) { put32(r, 8, 0xFFFFFFF0u); }},
        {"negative size", [](Bytes &r) { put32(r, 4, 0xFFFFFFFFu); }},
        {"huge length", [](Bytes &r) { put32(r, 0, 0x7FFFFFF0u); }},
        {"length over 2 GiB", [](Bytes &r) { put32(r, 0, 0x90000000u); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Bytes f = two_records();
        // A record whose name fills it up to the last byte, with four data bytes inside the name.
        Bytes bad = record(3, "abcd", {});
        put32(bad, 4, 4);
        put32(bad, 8, 16);
        c.spoil(bad);
        append(f, bad);
        append(f, record(4, "after", {1}));
        prtres res;
        EXPECT_TRUE(res.LoadBytes(f.data(), f.size()));
        EXPECT_EQ(ids(res), (std::vector<LONG>{1, 2}));
    }
}

TEST(Reader, FindTakesFirstInFileOrderAndFoldsOnlyAscii) {
    Bytes f = record(7, "ABC", {1});
    append(f, record(7, "abc", {2}));
    append(f, record(8, "ABC", {3}));
    append(f, record(9, "\xC9t\xE9", {4}));
    prtres res;
    res.LoadBytes(f.data(), f.size());
    EXPECT_EQ(res.Find(7)->GetData()[0], 1);
    EXPECT_EQ(res.Find("abc", 7)->GetData()[0], 1);
    EXPECT_EQ(res.Find("aBc", 8)->GetData()[0], 3);
    EXPECT_EQ(res.Find("abd", 7), nullptr);
    EXPECT_EQ(res.Find("ab", 7), nullptr);
    EXPECT_EQ(res.Find(nullptr, 7), nullptr);
    EXPECT_EQ(res.Find(10), nullptr);
    EXPECT_NE(res.Find("\xC9T\xE9", 9), nullptr);
    EXPECT_EQ(res.Find("\xE9t\xE9", 9), nullptr); // accented letters are not folded
}

TEST(Reader, AddAppendsAndFailsWholeWhenAllocationFails) {
    prtres res;
    const unsigned char data[] = {1, 2};
    ASSERT_NE(res.Add("a", 1, 2, data), nullptr);
    mrl::allocation().alloc = [](size_t) -> void * { return nullptr; };
    EXPECT_EQ(res.Add("b", 2, 2, data), nullptr);
    Bytes f = record(3, "c", {1});
    res.LoadBytes(f.data(), f.size());
    platform::reset();
    EXPECT_EQ(ids(res), (std::vector<LONG>{1}));
    // Load appends and never clears.
    res.LoadBytes(f.data(), f.size());
    EXPECT_EQ(ids(res), (std::vector<LONG>{1, 3}));
}

TEST(Reader, LoadReadsFromTheDriverDirectoryAndFailsWithoutTheFile) {
    Bytes f = two_records();
    ASSERT_TRUE(write_file(temp_path("abc.ddt"), f));
    prtfile::SetDriverDirectory(temp_dir().c_str());
    prtres res;
    res.Add("kept", 99, 0, nullptr);
    EXPECT_FALSE(res.Load("missing.ddt"));
    EXPECT_EQ(ids(res), (std::vector<LONG>{99}));
    EXPECT_TRUE(res.Load("abc.ddt"));
    EXPECT_EQ(ids(res), (std::vector<LONG>{99, 1, 2}));
    EXPECT_FALSE(res.Load(nullptr));
    prtfile::SetDriverDirectory(nullptr);
}

// Create truncates, append adds, the size is taken at open; a closed file refuses.
TEST(File, CreateTruncatesAppendAddsAndClosedFilesRefuse) {
    WString path = temp_path("rw.bin");
    const unsigned char abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(prtfile(path.c_str(), prtfile::kCreate | prtfile::kWrite).Write(abc, 3), 3);
    EXPECT_EQ(prtfile(path.c_str(), prtfile::kWrite | prtfile::kAppend).Write(abc, 2), 2);
    unsigned char buf[8] = {};
    prtfile f(path.c_str(), prtfile::kRead);
    EXPECT_EQ(f.size(), 5);
    EXPECT_EQ(f.Read(buf, 8), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(buf), 5), "abcab");
    EXPECT_TRUE(f.Close());
    EXPECT_TRUE(!f.Close() && f.Read(buf, 4) == -1 && f.Write(buf, 4) == -1);
    EXPECT_EQ(prtfile(path.c_str(), prtfile::kCreate).size(), 0);
    EXPECT_TRUE(prtfile::Delete(path.c_str()));
    EXPECT_FALSE(prtfile::Exists(path.c_str()) || prtfile::Delete(path.c_str()));
    EXPECT_FALSE(f.Open(path.c_str(), prtfile::kRead));
}

TEST(File, DriverDirectoryEndsInASeparator) {
    WCHAR buf[520];
    EXPECT_FALSE(prtfile::GetDriverDirectory(nullptr, 520));
    ASSERT_TRUE(prtfile::GetDriverDirectory(buf, 520));
    WString own(buf);
    ASSERT_FALSE(own.empty());
    EXPECT_TRUE(own.back() == '\\' || own.back() == '/');
    WString custom = widen("C:\\x\\y\\");
    prtfile::SetDriverDirectory(custom.c_str());
    ASSERT_TRUE(prtfile::GetDriverDirectory(buf, 520));
    EXPECT_EQ(WString(buf), custom);
    EXPECT_FALSE(prtfile::GetDriverDirectory(buf, 4)); // does not fit
    prtfile::SetDriverDirectory(nullptr);
    ASSERT_TRUE(prtfile::GetDriverDirectory(buf, 520));
    EXPECT_EQ(WString(buf), own);
}

} // namespace

TEST(Reader, CachedFileIsReadAgainWhenItChanges) {
    filecache::Clear();
    WString path = temp_path("cached.ddt");
    Bytes cut = two_records();
    cut.resize(cut.size() - 1); // the last record cut short
    ASSERT_TRUE(write_file(path, cut));
    prtres first;
    ASSERT_TRUE(first.LoadPath(path.c_str()));
    EXPECT_EQ(ids(first), (std::vector<LONG>{1}));
    filecache::Bytes cached = filecache::Get(path.c_str());
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(filecache::Get(path.c_str()), cached); // the same block, no second read

    // A different size is a different file, whatever its time stamp says.
    Bytes changed = record(7, "x", {1, 2, 3});
    ASSERT_TRUE(write_file(path, changed));
    prtres second;
    ASSERT_TRUE(second.LoadPath(path.c_str()));
    EXPECT_EQ(ids(second), (std::vector<LONG>{7}));

    // A missing file fails as before, even though it was cached.
    ASSERT_TRUE(prtfile::Delete(path.c_str()));
    prtres third;
    EXPECT_FALSE(third.LoadPath(path.c_str()));
    EXPECT_EQ(filecache::Get(path.c_str()), nullptr);
}
