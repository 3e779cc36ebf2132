#include "foundation/ostring.h"
#include "foundation/util.h"

#include <climits>
#include <gtest/gtest.h>

namespace {
bool wide_is(const OString &s, const WCHAR *expected) {
    const WCHAR *w = s;
    return mrl::__wcslen(w) == mrl::__wcslen(expected) && !mrl::__memcmp(w, expected, mrl::__wcslen(w) * 2);
}

void expect_empty(const OString &s) {
    const char *n = s;
    const WCHAR *w = s;
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
    const char *first = s;
    EXPECT_TRUE(wide_is(s, WSTR("Label 4x6")));
    EXPECT_EQ(static_cast<const char *>(s), first); // narrow form kept, not reconverted
    EXPECT_STREQ(first, "Label 4x6");
    EXPECT_EQ(static_cast<LONG>(OString(" -42mm")), -42);

    OString w(WSTR("caf\u00e9")), copy;
    EXPECT_FALSE(w.is_valid_n());
    EXPECT_STREQ(static_cast<char *>(w), "caf\xe9");
    copy = w; // takes the wide form only
    EXPECT_TRUE(copy.is_valid_w() && !copy.is_valid_n());
    EXPECT_STREQ(static_cast<char *>(copy), "caf\xe9");
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
    EXPECT_STREQ(static_cast<char *>(s), "X-305,0 y-2147483648");
    EXPECT_EQ(s.len(), 20);
    s = "ab";
    s += s;
    EXPECT_STREQ(static_cast<char *>(s), "abab");
    s = "  trimmed";
    s = static_cast<char *>(s) + 2;
    EXPECT_STREQ(static_cast<char *>(s), "trimmed");
    s = static_cast<WCHAR *>(s) + 4;
    s += static_cast<char *>(s);
    EXPECT_TRUE(wide_is(s, WSTR("medmed")));
}
