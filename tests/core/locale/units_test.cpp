// Lengths, bar widths and resolutions as the user sees and types them, in the
// three measurement systems with the region's separator and leading zero; and
// the language choices that need no language module.
#include "locale/prtlocale.h"
#include "store/prtreg.h"
#include "temp_files.h"
#include "test_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

using WText = std::basic_string<WCHAR>;

WText w(const char *s) { return WText(s, s + std::char_traits<char>::length(s)); }
std::string n(const WCHAR *s) { return std::string(s, s + std::char_traits<WCHAR>::length(s)); }

constexpr LONG kIn = prtlocale::kInches, kMm = prtlocale::kMillimetres, kCm = prtlocale::kCentimetres;

// A locale in a given region whose unit strings are already cached, as if a
// language module had supplied them.
class TestLocale : public prtlocale {
public:
    TestLocale(LONG units, char sep = '.', bool leading_zero = true) {
        const struct {
            LONG id;
            const char *text;
        } units_text[] = {{479, "in"}, {482, "mm"}, {471, "cm"}, {481, "mils"}, {472, "dpi"}, {473, "dpmm"}};
        for (const auto &u : units_text)
            put_string(u.id, u.text);
        decimal_[0] = sep;
        leading_zero_ = leading_zero;
        SetNewUnits(units);
    }
    void put_string(LONG id, const char *text) {
        WText t = w(text);
        std::string key = "ID_" + std::to_string(id);
        strings_.Add(key.c_str(), 0xA002, static_cast<LONG>((t.size() + 1) * sizeof(WCHAR)),
                     reinterpret_cast<const unsigned char *>(t.c_str()));
    }
    void set_unit(const char *name) { unit_name_ = name; }
    void set_system(LONG m) { system_measurement_ = m; }
    void set_language(const char *field, const char *system_name) {
        std::memcpy(language_, field, std::strlen(field) + 1);
        std::memcpy(system_language_, system_name, std::strlen(system_name) + 1);
    }
    std::string text(LONG microns) { return n(microns_to_string(microns)); }
    LONG parse(const char *s) { return string_to_microns(w(s).c_str()); }
};

TEST(Units, LengthToText) {
    const struct {
        LONG units;
        char sep;
        bool lz;
        LONG microns;
        const char *text;
    } rows[] = {
        {kIn, '.', true, 25400, "1.00 in"},
        {kMm, '.', true, 5000, "5.0 mm"},
        {kCm, '.', true, 5000, "0.50 cm"},
        {kIn, '.', true, -12700, "-0.50 in"},
        {kIn, '.', true, 126, "0.00 in"},
        {kIn, '.', true, 127, "0.01 in"},
        {kCm, '.', false, 5000, ".50 cm"},
        {kCm, '.', false, -5000, "-.50 cm"},
        {kMm, ',', true, 1234567, "1234,6 mm"},
        {kMm, '.', true, -50, "-0.1 mm"}, // halves away from zero
        {kMm, '.', true, 49, "0.0 mm"},
        {kMm, '.', true, INT32_MIN, "-2147483.6 mm"},
        {kIn, '.', true, INT32_MAX, "84546.60 in"},
    };
    for (const auto &r : rows) {
        TestLocale loc(r.units, r.sep, r.lz);
        EXPECT_EQ(loc.text(r.microns), r.text) << r.microns;
    }
    // Measurement 0 follows the system.
    TestLocale follow(prtlocale::kFollowSystem);
    follow.set_system(kIn);
    follow.SetNewUnits(prtlocale::kFollowSystem);
    EXPECT_FALSE(follow.is_metric());
    EXPECT_EQ(follow.text(25400), "1.00 in");
}

TEST(Units, TextToLength) {
    const struct {
        LONG units;
        char sep;
        const char *text;
        LONG microns;
    } rows[] = {
        {kMm, '.', "25.4", 25400},
        {kMm, '.', "1.5 in", 38100},
        {kMm, ',', "2,54 cm", 25400},
        {kMm, ',', "2.54 cm", 25400}, // the full stop is always accepted
        {kMm, '.', " - 3", -3000},
        {kMm, '.', "--3", 3000},
        {kMm, '.', "+.5", 500},
        {kMm, '.', "12.5mm", 12500},
        {kMm, '.', "0.001 in", 25},
        {kMm, '.', "abc", 0},
        {kMm, '.', "", 0},
        {kMm, '.', "7 x", 7000},
        {kIn, '.', "2000 mm", 25400000}, // clamped whole part: the unit is not read
        {kIn, '.', "1000.5", 25412700},  // at the limit, not beyond: fraction read
        {kIn, '.', "12.3456", 313563},
        {kCm, '.', "3.14159", 31410},
        {kCm, '.', "999999", 25400000},
        {kMm, '.', "25400.999 in", 645185375}, // larger than 32 bits before the division
        {kMm, '.', "-25400.999in", -645185375},
    };
    for (const auto &r : rows) {
        TestLocale loc(r.units, r.sep);
        EXPECT_EQ(loc.parse(r.text), r.microns) << r.text;
    }
    EXPECT_EQ(TestLocale(kMm).string_to_microns(nullptr), 0);
}

// What is shown reads back to the same length within the shown resolution,
// whatever the separator and leading-zero convention.
TEST(Units, TextReadsBack) {
    for (LONG units : {kIn, kMm, kCm})
        for (char sep : {'.', ','})
            for (bool lz : {true, false}) {
                TestLocale loc(units, sep, lz);
                LONG half = units == kIn ? 127 : 50;
                for (LONG um : {0, 1, 49, 50, 127, 999, 12700, 101600, -38100, 990000, 25400000}) {
                    LONG back = loc.string_to_microns(loc.microns_to_string(um));
                    EXPECT_LE(std::abs(back - um), half) << loc.text(um);
                }
            }
    // 100 dots at 203 dpi show as 0.49 in, which reads back one dot short.
    TestLocale inch(kIn);
    LONG um = prtlocale::dots_to_microns(100, 203);
    EXPECT_EQ(um, 12512);
    EXPECT_EQ(inch.text(um), "0.49 in");
    EXPECT_EQ(prtlocale::microns_to_dots(inch.parse("0.49 in"), 203), 99);
    EXPECT_EQ(prtlocale::microns_to_dots(-12700, 300), -150);
}

TEST(Units, RingOf121Slots) {
    TestLocale loc(kMm);
    const WCHAR *first = loc.microns_to_string(1000);
    for (int i = 2; i <= 121; ++i)
        loc.microns_to_string(2000);
    EXPECT_EQ(n(first), "1.0 mm");
    EXPECT_EQ(loc.microns_to_string(3000), first); // the 122nd call reuses the first slot
    EXPECT_EQ(n(first), "3.0 mm");

    // A unit name too long for a slot is cut; the neighbouring slot stays intact.
    loc.set_unit("millimetres-of-a-very-long-unit-name-indeed");
    const WCHAR *before = loc.microns_to_string(-123456789);
    std::string kept = n(before);
    const WCHAR *next = loc.microns_to_string(INT32_MIN);
    EXPECT_EQ(n(before), kept);
    EXPECT_LT(std::char_traits<WCHAR>::length(next), 32u);
    EXPECT_EQ(n(next).substr(0, 14), "-2147483.6 mil");
}

TEST(Units, BarWidthsAndResolutions) {
    OString out;
    TestLocale mm(kMm), cm_nolz(kCm, ',', false), inch(kIn);
    out = "w=";
    mm.xdimension_to_string(2, 203, out);
    EXPECT_EQ(n(out), "w=0.25 mm"); // appends, micron digit cut
    out = "";
    cm_nolz.xdimension_to_string(2, 203, out);
    EXPECT_EQ(n(out), ",25 mm");
    out = "";
    mm.xdimension_to_string(30, 300, out);
    EXPECT_EQ(n(out), "2.54 mm");
    out = "";
    inch.xdimension_to_string(2, 203, out);
    EXPECT_EQ(n(out), "9.9 mils");

    const struct {
        LONG dpi;
        const char *text;
    } dpmm[] = {{203, "8.0 dpmm"}, {300, "11.8 dpmm"}, {600, "23.6 dpmm"}, {1, "0.0 dpmm"}};
    for (const auto &r : dpmm) {
        out = "";
        mm.dpi_to_string(out, r.dpi);
        EXPECT_EQ(n(out), r.text);
    }
    out = "";
    inch.dpi_to_string(out, 203, 300);
    EXPECT_EQ(n(out), "203 dpi x 300 dpi");
    out = "";
    cm_nolz.dpi_to_string(out, 300, 600);
    EXPECT_EQ(n(out), "11,8 dpmm x 23,6 dpmm");
}

TEST(Language, SystemNamesAndCurrentLanguage) {
    const struct {
        const char *system_name;
        const char *lang;
    } rows[] = {{"DEU", "ger"}, {"THA", "eng"}, {"PTB", "ptb"}, {"PTG", "ptg"}, {"ENU", "eng"},
                {"ENG", "eng"}, {"CHS", "chs"}, {"NOR", "nor"}, {"nlb", "nld"}, {"", "eng"}};
    TestLocale loc(kMm);
    for (const auto &r : rows) {
        loc.set_language(r.system_name, "eng");
        EXPECT_STREQ(loc.ConvertSystemLanguage(), r.lang) << r.system_name;
    }
    loc.set_language("sys", "jpn");
    EXPECT_STREQ(loc.GetCurrentLanguage(), "jpn");
    EXPECT_EQ(loc.GetCurrentCP(), 932);
    loc.set_language("SYS", "jpn"); // only the exact field follows the system
    EXPECT_STREQ(loc.GetCurrentLanguage(), "SYS");
    loc.set_language("KOR", "eng");
    EXPECT_EQ(loc.GetCurrentCP(), 949);
    loc.set_language("xyz", "eng");
    EXPECT_EQ(loc.GetCurrentCP(), 1252);

    // Neither the system's own language nor one without a system locale asks.
    loc.set_language("sys", "kor");
    loc.SetNewLanguage(nullptr, "kor");
    EXPECT_STREQ(loc.GetLanguage(), "kor");
    loc.SetNewLanguage(nullptr, "fre");
    EXPECT_STREQ(loc.GetLanguage(), "fre");
}

#ifndef _WIN32
// Load and Save over the host's store and files; the language modules
// themselves are tested under Wine.
class LoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        prtreg_host_clear();
        prtfile::SetDriverDirectory(temp_dir().c_str());
        reg.init(reinterpret_cast<HANDLE>(0x77), WSTR("Locale Printer"));
    }
    void TearDown() override { prtfile::SetDriverDirectory(nullptr); }
    void dependent_files(const char *list, LONG size) {
        reg.SetDriverPath();
        reg.SaveRaw("Dependent Files", reinterpret_cast<const unsigned char *>(list), size, false);
        reg.SetPath(nullptr);
    }
    prtreg reg;
};

std::string dir_text() { return std::string(temp_dir().begin(), temp_dir().end()); }

struct Names : prtlocale {
    std::string module(int i) const {
        return static_cast<const char *>(i == 0 ? common_module_ : i == 1 ? model_module_ : oem_module_);
    }
};

TEST_F(LoadTest, LanguageListedOrPresent) {
    write_file(temp_path("mrl32fre.dll"), std::string("x"));
    // No list: the file decides.
    EXPECT_TRUE(prtlocale::LanguageExists(reg, "fre"));
    EXPECT_FALSE(prtlocale::LanguageExists(reg, "ita"));
    EXPECT_TRUE(prtlocale::LanguageExists(reg, "ENG"));
    // A readable list decides alone, ignoring case; it may fill its whole block unterminated.
    const char list[] = "PREFIX.ddt\0MRL32GER.DLL\0\0";
    dependent_files(list, sizeof list);
    EXPECT_TRUE(prtlocale::LanguageExists(reg, "ger"));
    EXPECT_FALSE(prtlocale::LanguageExists(reg, "fre"));
    std::string full(1024, 'a');
    dependent_files(full.data(), 1024);
    EXPECT_FALSE(prtlocale::LanguageExists(reg, "ger"));
    EXPECT_FALSE(reg.is_path()); // the store points at the printer again
    // The host has no installed Windows locales.
    dependent_files("mrl32jpn.dll\0", 14);
    EXPECT_FALSE(prtlocale::LanguageExists(reg, "jpn"));
}

TEST_F(LoadTest, StoredChoicesAndFileNames) {
    TestModel model("omr");
    const char list[] = "mrl32ger.dll\0";
    dependent_files(list, sizeof list);
    write_file(temp_path("omrxxger.lic"), std::string("x"));
    write_file(temp_path("mrl32ger.dll"), std::string("x"));
    const unsigned char ger[4] = {'g', 'e', 'r', 0}, inch[4] = {1, 0, 0, 0};
    reg.SaveRaw("Language", ger, 4, false);
    reg.SaveRaw("Measurement System", inch, 4, false);

    Names loc;
    EXPECT_FALSE(loc.Load(reg, &model)); // no modules on the host
    EXPECT_STREQ(loc.GetCurrentLanguage(), "ger");
    EXPECT_FALSE(loc.is_metric());
    EXPECT_EQ(loc.module(0), "mrl32ger.dll");
    EXPECT_EQ(loc.module(2), "omr32eng.dll"); // not there in German
    EXPECT_EQ(std::string(static_cast<const char *>(loc.GetLicenseFile())), dir_text() + "omrxxger.lic");
    EXPECT_EQ(std::string(static_cast<const char *>(loc.GetHelpFile())), dir_text() + "32eng.hlp");

    // A language that is not offered loads English but stays chosen; values
    // that are not codes are not trusted.
    const unsigned char fren[4] = {'f', 'r', 'e', 'n'}, bad[4] = {7, 0, 0, 0};
    reg.SaveRaw("Language", fren, 4, false);
    reg.SaveRaw("Measurement System", bad, 4, false);
    Names other;
    other.Load(reg, &model);
    EXPECT_STREQ(other.GetLanguage(), "fre");
    EXPECT_EQ(other.module(0), "mrl32eng.dll");
    EXPECT_EQ(other.GetMeasurement(), prtlocale::kFollowSystem);
    EXPECT_TRUE(other.is_mm()); // the host's region is metric

    other.SetNewUnits(kCm);
    other.SetNewLanguage(nullptr, "kor"); // asked, not confirmed on the host
    other.Save(reg);
    Names again;
    again.Load(reg, &model);
    EXPECT_STREQ(again.GetLanguage(), "fre");
    EXPECT_TRUE(again.is_cm());
}
#endif

} // namespace
