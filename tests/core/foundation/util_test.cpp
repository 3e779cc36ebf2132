#include "foundation/units.h"
#include "foundation/util.h"

#include <climits>
#include <gtest/gtest.h>

using namespace mrl;

TEST(Numbers, AtolTakesSignsAnywhereAndStopsAtOtherCharacters) {
    EXPECT_EQ(mrl::atol(nullptr), 0);
    EXPECT_EQ(mrl::atol("  \t42abc"), 42);
    EXPECT_EQ(mrl::atol("1-2"), -12);
    EXPECT_EQ(mrl::atol("-+-5"), 5);
    EXPECT_EQ(mrl::atol("-"), 0);
    EXPECT_EQ(mrl::atol(" - 7"), 0); // the blank after the sign ends the number
    EXPECT_EQ(mrl::atol("4294967297"), 1);
}

TEST(Numbers, RoundByDivisorHalvesAwayFromZeroMuldivWraps) {
    EXPECT_EQ(roundbydivisor(5, 2), 3);
    EXPECT_EQ(roundbydivisor(-5, 2), -3);
    EXPECT_EQ(roundbydivisor(4, 3), 1);
    EXPECT_EQ(roundbydivisor(7, -2), -4);
    EXPECT_EQ(roundbydivisor(-7, -2), 4);
    EXPECT_EQ(roundbydivisor(1, 0), 0);
    EXPECT_EQ(roundbydivisor(INT_MIN, 1), INT_MIN);
    EXPECT_EQ(roundbydivisor(INT_MAX, INT_MIN), -1);
    // __muldiv is the plain 32-bit formula (a * b + c / 2) / c.
    EXPECT_EQ(__muldiv(3, 5, 2), 8);
    EXPECT_EQ(__muldiv(-3, 5, 2), -7); // (-15 + 1) / 2, not a rounded -7.5
    EXPECT_EQ(__muldiv(3, 5, -2), -7);  // (15 + -1) / -2
    EXPECT_EQ(__muldiv(65536, 65536, 1), 0);           // product wraps
    EXPECT_EQ(__muldiv(65536, 32768, 2), -1073741823); // INT_MIN + 1, halved toward zero
    EXPECT_EQ(__muldiv(INT_MIN, 1, -1), INT_MIN);
}

// Lengths scale in 64 bits: 990 mm at 2400 dpi is 93543 dots, where a 32-bit
// product (2 376 000 000) would wrap; results beyond 32 bits saturate.
TEST(Numbers, UnitScalingNeitherWrapsNorOverflows) {
    EXPECT_EQ(units::microns_to_dots(990000, 2400), 93543);
    EXPECT_EQ(units::microns_to_dots(-990000, 2400), -93543);
    EXPECT_EQ(units::dots_to_microns(100, 203), 12512);
    EXPECT_EQ(units::microns_to_dots(12446, 203), 99); // rounds like roundbydivisor
    EXPECT_EQ(units::dots_to_microns(INT_MAX, 203), INT_MAX);
    EXPECT_EQ(units::dots_to_microns(INT_MIN, 1), INT_MIN);
    EXPECT_EQ(units::scale(INT_MIN, -1, 1), INT_MAX);
    EXPECT_EQ(units::microns_to_dots(5, 0), 0);
    EXPECT_EQ(units::tenths_mm_to_microns(-32768), -3276800);
}

TEST(Memory, CompareIsADifferenceTestAndNullsAreTolerated) {
    char a[4] = {1, 2, 3, 4}, b[4] = {1, 2, 3, 5};
    EXPECT_FALSE(__memcmp(a, b, 3));
    EXPECT_TRUE(__memcmp(a, b, 4));
    EXPECT_TRUE(__memcmp(nullptr, b, 0) && __memcmp(a, nullptr, 0));
}

TEST(Strings, StrncpyTruncatesAndPads) {
    char buf[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    __strncpy(buf, "ABCDEF", 4);
    EXPECT_FALSE(__memcmp(buf, "ABC\0x", 5)); // nothing written past n
    __strncpy(buf, "Z", 5);
    EXPECT_FALSE(__memcmp(buf, "Z\0\0\0\0x", 6));
    __strncpy(buf, "Q", 0);
    __strncpy(buf, nullptr, 5);
    EXPECT_EQ(buf[0], 'Z');
}

TEST(Strings, ComparisonsFoldAsciiOnlyAndOrderHighBytesBelow) {
    EXPECT_EQ(__stricmp("ab", "abc"), -1);   // runs while either side has a character
    EXPECT_EQ(__stricmp("\xe9", "A"), -1);   // signed: 0xE9 is below ASCII
    EXPECT_EQ(__stricmp("\xe9", "\xc9"), 1); // no folding beyond ASCII
    EXPECT_EQ(__stricmp("[", "a"), 1);       // 'a' folds to 'A' (65), below '[' (91)
    EXPECT_EQ(__stricmp(nullptr, "a"), -1);
    EXPECT_EQ(__strnicmp("abcX", "ABCy", 3), 0);
    EXPECT_EQ(__strnicmp("ab", "AB", 10), 0);
    EXPECT_EQ(__strnicmp("\x80", "\x7f", 1), -1);
    EXPECT_EQ(__strncmp("abc", "ABC", 3), 1);
    EXPECT_EQ(__strncmp(nullptr, nullptr, 1), -1);
}

TEST(Strings, Searches) {
    const char *s = "Paper Stock", *t = "a\xe9";
    EXPECT_EQ(__stristr(s, "STOCK"), s + 6);
    EXPECT_EQ(__stristr(s, ""), s);
    EXPECT_EQ(__stristr("", ""), nullptr);
    EXPECT_EQ(__stristr("ab", "abc"), nullptr);
    const WCHAR *w = WSTR("Label");
    EXPECT_EQ(tstrstr(w, WSTR("bel")), w + 2);
    EXPECT_EQ(tstrstr(w, WSTR("BEL")), nullptr);
    EXPECT_EQ(tstrstr(w, WSTR("")), w);
    EXPECT_EQ(tstrstr(WSTR(""), WSTR("")), nullptr);
    EXPECT_EQ(__strchr(t, 0xe9), t + 1);
    EXPECT_EQ(__strchr(t, 0), nullptr);
    EXPECT_EQ(__strchr(nullptr, 'a'), nullptr);
}
