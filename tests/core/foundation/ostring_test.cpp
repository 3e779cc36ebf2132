#include "foundation/ostring.h"
#include "foundation/util.h"

#include <climits>
#include <gtest/gtest.h>
#include <type_traits>

namespace {
bool wide_is(const OString &s, const WCHAR *expected) {
    const WCHAR *w = s.wstring();
    return mrl::__wcslen(w) == mrl::__wcslen(expected) && !mrl::__memcmp(w, expected, mrl::__wcslen(w) * 2);
}

void expect_empty(const OString &s) {
    const char *n = s.nstring();
    const WCHAR *w = s.wstring();
    ASSERT_TRUE(n && w);
    EXPECT_TRUE(n[0] == 0 && w[0] == 0 && s.len() == 0);
    EXPECT_FALSE(s.is_valid_n() || s.is_valid_w());
}
} // namespace

TEST(OString, EmptyAndNullSourcesGiveEmptyNonNullCasts) {
    OString s, empty;
    expect_empty(s);
    s = "text";
    s = static_cast<const char *>(nullptr);
    expect_empty(s);
    s = WSTR("text");
    s = "";
    expect_empty(s);
    s = static_cast<const WCHAR *>(nullptr);
    expect_empty(s);
    s = "text";
    s = empty;
    expect_empty(s);
    for (LONG n : {0, -1, INT_MAX}) {
        s = "abc";
        EXPECT_FALSE(s.set_length(n)) << n;
        expect_empty(s);
    }
    EXPECT_TRUE(s.set_length(40)); // storage without content
    expect_empty(s);
}

TEST(OString, OtherFormIsConvertedOnDemandAndStaysValid) {
    OString s("Label 4x6");
    EXPECT_FALSE(s.is_valid_w()); // not converted until asked
    const char *first = s.nstring();
    EXPECT_TRUE(wide_is(s, WSTR("Label 4x6")));
    EXPECT_EQ(s.nstring(), first); // narrow form kept, not reconverted
    EXPECT_STREQ(first, "Label 4x6");
    EXPECT_EQ(static_cast<LONG>(OString(" -42mm")), -42);

    OString w(WSTR("caf\u00e9")), copy;
    EXPECT_FALSE(w.is_valid_n());
    EXPECT_STREQ(w.nstring(), "caf\xe9");
    copy = w; // takes the wide form only
    EXPECT_TRUE(copy.is_valid_w() && !copy.is_valid_n());
    EXPECT_STREQ(copy.nstring(), "caf\xe9");
}

TEST(OString, AppendHoldsWideFormAndOwnBuffersAreSafeSources) {
    OString s("X");
    s += static_cast<LONG>(-305);
    s += ",";
    s += static_cast<LONG>(0);
    s += WSTR(" ");
    s += 'y';
    s += static_cast<LONG>(INT_MIN);
    EXPECT_TRUE(s.is_valid_w() && !s.is_valid_n());
    EXPECT_TRUE(wide_is(s, WSTR("X-305,0 y-2147483648")));
    EXPECT_STREQ(s.nstring(), "X-305,0 y-2147483648");
    EXPECT_EQ(s.len(), 20);
    s = "ab";
    s += s;
    EXPECT_STREQ(s.nstring(), "abab");
    s = "  trimmed";
    s = s.nstring() + 2;
    EXPECT_STREQ(s.nstring(), "trimmed");
    s = s.wstring() + 4;
    s += s.nstring();
    EXPECT_TRUE(wide_is(s, WSTR("medmed")));
}

// Text enters only through assignment or a committed buffer: no writable
// pointer leaves a string, so neither the other form nor a shared empty text
// can be changed behind its back.
TEST(OString, WrittenBufferBecomesTheStringAndNoFormIsWritable) {
    EXPECT_FALSE((std::is_convertible<const OString &, WCHAR *>::value));
    EXPECT_FALSE((std::is_convertible<const OString &, char *>::value));
    EXPECT_FALSE((std::is_convertible<const OString &, unsigned char *>::value));

    OString s("old text"), other;
    EXPECT_STREQ(s.nstring(), "old text");
    WCHAR *buf = s.wbuffer(4);
    ASSERT_NE(buf, nullptr);
    const WCHAR typed[] = WSTR("new!"); // a filler that ignores the limit
    for (int i = 0; i < 4; ++i)
        buf[i] = typed[i];
    s.commit_w();
    EXPECT_STREQ(s.nstring(), "new!");
    EXPECT_TRUE(wide_is(s, WSTR("new!")));
    expect_empty(other);
    EXPECT_EQ(s.wbuffer(0), nullptr);
    expect_empty(s);
}
