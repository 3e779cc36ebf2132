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
#include <functional>
#include <string>

namespace {

std::string n(const WCHAR *s) { return std::string(s, s + std::char_traits<WCHAR>::length(s)); }

constexpr LONG kIn = prtlocale::kInches, kMm = prtlocale::kMillimetres, kCm = prtlocale::kCentimetres;

// A locale in a given region whose unit strings are already cached, as if a
// language module had supplied them.
class TestLocale : public prtlocale {
public:
    explicit TestLocale(LONG units, char sep = '.', bool leading_zero = true) {
        const char *texts[] = {"479in", "482mm", "471cm", "481mils", "472dpi", "473dpmm"};
        for (const char *t : texts) {
            WString unit = widen(t + 3);
            strings_.Add(("ID_" + std::string(t, 3)).c_str(), 0xA002, static_cast<LONG>(unit.size() + 1) * 2,
                         reinterpret_cast<const unsigned char *>(unit.c_str()));
        }
        decimal_[0] = sep;
        leading_zero_ = leading_zero;
        SetNewUnits(units);
    }
    void set_unit(const char *name) { unit_name_ = name; }
    void set_language(const char *field, const char *system_name) {
        std::memcpy(language_, field, std::strlen(field) + 1);
        std::memcpy(system_language_, system_name, std::strlen(system_name) + 1);
    }
    std::string text(LONG microns) { return n(microns_to_string(microns)); }
    LONG parse(const char *s) { return string_to_microns(widen(s).c_str()); }
};

TEST(Units, LengthToText) {
    const struct {
        LONG units;
        char sep;
        bool lz;
        LONG microns;
        const char *text;
    } rows[] = {
        {kIn, '.', 1, 25400, "1.00 in"},   {kMm, '.', 1, 5000, "5.0 mm"},       {kCm, '.', 1, 5000, "0.50 cm"},
        {kIn, '.', 1, -12700, "-0.50 in"}, {kIn, '.', 1, 126, "0.00 in"},       {kIn, '.', 1, 127, "0.01 in"},
        {kCm, '.', 0, 5000, ".50 cm"},     {kCm, '.', 0, -5000, "-.50 cm"},     {kMm, ',', 1, 1234567, "1234,6 mm"},
        {kMm, '.', 1, -50, "-0.1 mm"},     {kMm, '.', 1, INT32_MIN, "-2147483.6 mm"},
        {kIn, '.', 1, INT32_MAX, "84546.60 in"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(TestLocale(r.units, r.sep, r.lz).text(r.microns), r.text) << r.microns;
}

TEST(Units, TextToLength) {
    const struct {
        LONG units;
        const char *text;
        LONG microns;
    } rows[] = {
        {kMm, "25.4", 25400},     {kMm, "1.5 in", 38100},     {kMm, "2,54 cm", 25400},   {kMm, " - 3", -3000},
        {kMm, "--3", 3000},       {kMm, ".5", 500},           {kMm, "12.5mm", 12500},    {kMm, "0.001 in", 25},
        {kMm, "abc", 0},          {kMm, "7 x", 7000},         {kCm, "3.14159", 31410},   {kCm, "999999", 25400000},
        {kIn, "12.3456", 313563}, {kIn, "1000.5", 25412700}, // at the limit, not beyond: the fraction is read
        {kIn, "2000 mm", 25400000},                           // clamped whole part: the unit is not read
        {kMm, "-25400.999 in", -645185375},                   // beyond 32 bits before the division
    };
    for (const auto &r : rows)
        EXPECT_EQ(TestLocale(r.units, ',').parse(r.text), r.microns) << r.text;
    EXPECT_EQ(TestLocale(kMm).string_to_microns(nullptr), 0);

    // 100 dots at 203 dpi show as 0.49 in, which reads back one dot short.
    TestLocale inch(kIn);
    EXPECT_EQ(inch.text(prtlocale::dots_to_microns(100, 203)), "0.49 in");
    EXPECT_EQ(prtlocale::microns_to_dots(inch.parse("0.49"), 203), 99);
}

TEST(Units, RingOf121Slots) {
    TestLocale loc(kMm);
    const WCHAR *first = loc.microns_to_string(1000);
    for (int i = 2; i <= 121; ++i)
        loc.microns_to_string(2000);
    EXPECT_EQ(n(first), "1.0 mm");
    EXPECT_EQ(loc.microns_to_string(3000), first); // the 122nd call reuses the first slot

    // A unit name too long for a slot is cut; the neighbouring slot stays intact.
    loc.set_unit("millimetres-of-a-very-long-unit-name-indeed");
    const WCHAR *before = loc.microns_to_string(-123456789);
    std::string kept = n(before);
    EXPECT_EQ(n(loc.microns_to_string(INT32_MIN)), "-2147483.6 millimetres-of-a-ver");
    EXPECT_EQ(n(before), kept);
}

TEST(Units, BarWidthsAndResolutions) {
    TestLocale mm(kMm), cm_comma(kCm, ',', false), inch(kIn);
    auto shown = [](std::function<void(OString &)> f) {
        OString out;
        out = "=";
        f(out);
        return std::string((out).nstring());
    };
    EXPECT_EQ(shown([&](OString &o) { mm.xdimension_to_string(2, 203, o); }), "=0.25 mm"); // micron digit cut
    EXPECT_EQ(shown([&](OString &o) { cm_comma.xdimension_to_string(2, 203, o); }), "=,25 mm");
    EXPECT_EQ(shown([&](OString &o) { mm.xdimension_to_string(30, 300, o); }), "=2.54 mm");
    EXPECT_EQ(shown([&](OString &o) { inch.xdimension_to_string(2, 203, o); }), "=9.9 mils");
    EXPECT_EQ(shown([&](OString &o) { mm.dpi_to_string(o, 203); }), "=8.0 dpmm");
    EXPECT_EQ(shown([&](OString &o) { mm.dpi_to_string(o, 1); }), "=0.0 dpmm");
    EXPECT_EQ(shown([&](OString &o) { cm_comma.dpi_to_string(o, 300, 600); }), "=11,8 dpmm x 23,6 dpmm");
    EXPECT_EQ(shown([&](OString &o) { inch.dpi_to_string(o, 203, 300); }), "=203 dpi x 300 dpi");
}

TEST(Language, SystemNamesAndCurrentLanguage) {
    const char *rows[][2] = {{"DEU", "ger"}, {"THA", "eng"}, {"PTB", "ptb"}, {"PTG", "ptg"},
                             {"ENU", "eng"}, {"CHS", "chs"}, {"nlb", "nld"}, {"", "eng"}};
    TestLocale loc(kMm);
    for (const auto &r : rows) {
        loc.set_language(r[0], "eng");
        EXPECT_STREQ(loc.ConvertSystemLanguage(), r[1]) << r[0];
    }
    loc.set_language("sys", "jpn");
    EXPECT_STREQ(loc.GetCurrentLanguage(), "jpn");
    EXPECT_EQ(loc.GetCurrentCP(), 932);
    loc.set_language("SYS", "kor"); // only the exact field follows the system
    EXPECT_STREQ(loc.GetCurrentLanguage(), "SYS");
    EXPECT_EQ(loc.GetCurrentCP(), 1252);

    // Neither the system's own language nor one without a system locale asks.
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
    void choose(const char *lang4, LONG units) {
        const unsigned char m[4] = {static_cast<unsigned char>(units), 0, 0, 0};
        reg.SaveRaw("Language", reinterpret_cast<const unsigned char *>(lang4), 4, false);
        reg.SaveRaw("Measurement System", m, 4, false);
    }
    std::string in_dir(const char *name) { return std::string(temp_dir().begin(), temp_dir().end()) + name; }
    prtreg reg;
    TestModel model{"omr"};
};

struct Names : prtlocale {
    std::string common() const { return (common_module_).nstring(); }
    std::string oem() const { return (oem_module_).nstring(); }
};

TEST_F(LoadTest, LanguageListedOrPresent) {
    write_file(temp_path("mrl32fre.dll"), std::string("x"));
    // No list: the file decides.
    EXPECT_TRUE(prtlocale::LanguageExists(reg, "fre"));
    EXPECT_FALSE(prtlocale::LanguageExists(reg, "ita"));
    EXPECT_TRUE(prtlocale::LanguageExists(reg, "ENG"));
    // A readable list decides alone, ignoring case; it may fill its whole block unterminated.
    const char list[] = "PREFIX.ddt\0MRL32GER.DLL\0";
    dependent_files(list, sizeof list);
    EXPECT_TRUE(prtlocale::LanguageExists(reg, "ger"));
    EXPECT_FALSE(prtlocale::LanguageExists(reg, "fre"));
    dependent_files(std::string(1024, 'a').data(), 1024);
    EXPECT_FALSE(prtlocale::LanguageExists(reg, "ger"));
    EXPECT_FALSE(reg.is_path()); // the store points at the printer again
    // The host has no installed Windows locales.
    dependent_files("mrl32jpn.dll\0", 14);
    EXPECT_FALSE(prtlocale::LanguageExists(reg, "jpn"));
}

TEST_F(LoadTest, StoredChoicesAndFileNames) {
    const char list[] = "mrl32ger.dll\0";
    dependent_files(list, sizeof list);
    write_file(temp_path("omrxxger.lic"), std::string("x"));
    write_file(temp_path("mrl32ger.dll"), std::string("x"));
    choose("ger", kIn);
    Names loc;
    EXPECT_FALSE(loc.Load(reg, &model)); // no modules on the host
    EXPECT_STREQ(loc.GetCurrentLanguage(), "ger");
    EXPECT_FALSE(loc.is_metric());
    EXPECT_EQ(loc.common(), "mrl32ger.dll");
    EXPECT_EQ(loc.oem(), "omr32eng.dll"); // not there in German
    EXPECT_EQ(std::string(loc.GetLicenseFile().nstring()), in_dir("omrxxger.lic"));
    EXPECT_EQ(std::string(loc.GetHelpFile().nstring()), in_dir((std::string(model.GetPrefix()) + "32eng.hlp").c_str()));

    // A language that is not offered loads English but stays chosen; stored
    // values that are not codes are not trusted.
    choose("fren", 7);
    Names other;
    other.Load(reg, &model);
    EXPECT_STREQ(other.GetLanguage(), "fre");
    EXPECT_EQ(other.common(), "mrl32eng.dll");
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
