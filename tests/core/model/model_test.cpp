#include <gtest/gtest.h>

#include "ddt_bytes.h"
#include "model/ddtmodel.h"
#include "foundation/util.h"
#include "model/model.h"
#include "temp_files.h"

namespace {

class LoadedModel : public _MODEL {
public:
    LoadedModel() = default;
    // Loads bytes as the driver data file and looks the model up.
    LoadedModel(const Bytes &file, const std::u16string &model, const char *prefix = "zpl", const char *oem = "omr") {
        res_.LoadBytes(file.data(), file.size());
        WString name(model.begin(), model.end());
        model_name_ = name.c_str();
        set_codes(prefix, oem);
        resolve();
        init_new_vx();
    }
    void set_codes(const char *prefix, const char *oem) {
        mrl_copy(prefix_, prefix);
        mrl_copy(oem_, oem);
    }
    using _MODEL::build;
    using _MODEL::take_codes;
    prtres &res() { return res_; }

private:
    static void mrl_copy(char (&dst)[4], const char *src) { mrl::__strncpy(dst, src, 4); }
};

Bytes package(const std::vector<Bytes> &records) {
    Bytes f;
    for (const Bytes &r : records)
        append(f, r);
    append(f, terminator());
    return f;
}

const unsigned char *data_of(LoadedModel &m, LONG id) { return m.res().Find(id)->GetData(); }

TEST(ModelSearch, FindsTheModelInALaterDirectory) {
    Bytes f = package({
        record(510, "MDT", directory({{u"A", 1000}, {u"B", 1001}})),
        record(511, "MDT", directory({{u"X", 1002}}, u"Kes", u"Kestrel Label Systems")),
        record(1000, "A", pdt(2000, 203)),
        record(1001, "B", pdt(2000, 300)),
        record(1002, "X", pdt(2001, 600)),
        record(2000, "", caps()),
        record(2001, "", caps()),
    });
    LoadedModel x(f, u"X");
    ASSERT_TRUE(x.is_valid());
    EXPECT_EQ(x.GetMDT(), reinterpret_cast<const MDT *>(data_of(x, 511)));
    EXPECT_EQ(x.GetPDT(), reinterpret_cast<const PDT *>(data_of(x, 1002)));
    EXPECT_EQ(x.GetVXM(), reinterpret_cast<const VXCapabilitiesData *>(data_of(x, 2001)));
    EXPECT_EQ(x.GetPDT()->dpi, 600);
    EXPECT_STREQ(x.GetShortMfgName(), "Kes");
    EXPECT_STREQ(x.GetManufacturerName(), "Kestrel Label Systems");

    LoadedModel b(f, u"B");
    ASSERT_TRUE(b.is_valid());
    EXPECT_EQ(b.GetPDT()->dpi, 300);
    EXPECT_EQ(b.GetMDT(), reinterpret_cast<const MDT *>(data_of(b, 510)));
    EXPECT_STREQ(b.GetManufacturerName(), "Kestrel"); // no full name: the short one serves

    // Exact UTF-16 match only; a miss keeps the last directory seen.
    for (auto name : {u"x", u"X ", u"", u"XX"}) {
        LoadedModel miss(f, name);
        EXPECT_FALSE(miss.is_valid());
        EXPECT_EQ(miss.GetPDT(), nullptr);
        EXPECT_EQ(miss.GetMDT(), reinterpret_cast<const MDT *>(data_of(miss, 511)));
    }
}

TEST(ModelSearch, EntriesArePaddedToFourBytes) {
    Bytes dir = directory({{u"abc", 1}, {u"abcd", 2}, {u"\u00c9t\u00e9-\u65e5", 3}, {u"z", 4}});
    ddt::directory_walk walk(dir.data(), static_cast<uint32_t>(dir.size()));
    ddt::Entry e;
    std::vector<uint32_t> offsets;
    while (walk.next(&e))
        offsets.push_back(e.offset + 10 * e.pdt_id);
    EXPECT_FALSE(walk.broken());
    // Names of 3, 4, 7 and 1 units, each with its NUL padded to four bytes, then the id.
    EXPECT_EQ(offsets, (std::vector<uint32_t>{44 + 10, 56 + 20, 72 + 30, 88 + 40}));

    Bytes f = package({record(510, "", dir), record(3, "", pdt(9)), record(9, "", caps())});
    LoadedModel m(f, u"\u00c9t\u00e9-\u65e5");
    EXPECT_TRUE(m.is_valid());
}

TEST(ModelSearch, RecordsTooShortForTheirFieldsCountAsMissing) {
    // Each case spoils the first package's records; the second directory holds a
    // good copy, so the search must go on to it.
    struct Case {
        const char *what;
        Bytes dir510, pdt, caps;
        bool mdt_510;
    };
    Bytes good_dir = directory({{u"M", 100}});
    Bytes short_dir = good_dir;
    short_dir.resize(43);
    Bytes short_pdt = pdt(200);
    short_pdt.resize(sizeof(PDT) - 1);
    Bytes caps_table_past_end = caps(30);
    caps_table_past_end.resize(caps_table_past_end.size() - 1);
    Bytes caps_short_header = caps(0);
    caps_short_header.resize(sizeof(VXCapabilitiesData) - 1);
    Bytes caps_small_records = caps(2, 11);
    Bytes overflow_offset = caps(1);
    put16(overflow_offset, 4, 0xFFFF);
    // Tables long enough but without sense: the driver would serve empty or negative extents.
    auto spoilt_pdt = [](size_t at, int bytes, uint32_t v) {
        Bytes p = pdt(200);
        bytes == 2 ? put16(p, at, static_cast<uint16_t>(v)) : put32(p, at, v);
        return p;
    };
    const Case cases[] = {
        {"directory header cut", short_dir, pdt(200), caps(), false},
        {"pdt cut", good_dir, short_pdt, caps(), true},
        {"symbology table past end", good_dir, pdt(200), caps_table_past_end, true},
        {"caps header cut", good_dir, pdt(200), caps_short_header, true},
        {"symbology records of 11 bytes", good_dir, pdt(200), caps_small_records, true},
        {"symbology offset past end", good_dir, pdt(200), overflow_offset, true},
        {"dpi 0", good_dir, spoilt_pdt(offsetof(PDT, dpi), 2, 0), caps(), true},
        {"negative printable width", good_dir, spoilt_pdt(offsetof(PDT, printable_width), 4, uint32_t(-5)), caps(), true},
        {"negative unprintable width", good_dir, spoilt_pdt(offsetof(PDT, unprintable_width), 4, uint32_t(-1)), caps(), true},
        {"smallest paper above the largest", good_dir, spoilt_pdt(offsetof(PDT, min_paper_width), 2, 1181), caps(), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Bytes f = package({record(510, "", c.dir510), record(100, "", c.pdt), record(200, "", c.caps),
                           record(511, "", directory({{u"M", 101}})), record(101, "", pdt(201, 300)),
                           record(201, "", caps())});
        LoadedModel m(f, u"M");
        ASSERT_TRUE(m.is_valid());
        EXPECT_EQ(m.GetPDT()->dpi, 300);
        EXPECT_EQ(m.GetMDT(), reinterpret_cast<const MDT *>(data_of(m, 511)));
    }
    // An empty symbology table is complete.
    Bytes f = package({record(510, "", good_dir), record(100, "", pdt(200)), record(200, "", caps(0))});
    EXPECT_TRUE(LoadedModel(f, u"M").is_valid());

    // Names that cannot name a driver: the model is not usable even where the spooler hands them over.
    for (std::u16string name : {std::u16string(u"A\nB"), std::u16string(u"\x1b[31m"), std::u16string(201, u'n')}) {
        Bytes g = package({record(510, "", directory({{name, 100}})), record(100, "", pdt(200)), record(200, "", caps())});
        EXPECT_FALSE(LoadedModel(g, name).is_valid());
    }
}

TEST(ModelSearch, ABrokenEntryEndsTheWalkOfItsDirectory) {
    Bytes dir = directory({{u"A", 1}, {u"B", 2}});
    put32(dir, 8, 1000); // more entries than the record holds
    ddt::directory_walk walk(dir.data(), static_cast<uint32_t>(dir.size()));
    ddt::Entry e;
    int seen = 0;
    while (walk.next(&e))
        ++seen;
    EXPECT_TRUE(walk.broken());
    EXPECT_GE(seen, 2);

    Bytes f = package({record(510, "", dir), record(2, "", pdt(3)), record(3, "", caps())});
    EXPECT_TRUE(LoadedModel(f, u"B").is_valid());
    EXPECT_FALSE(LoadedModel(f, u"C").is_valid());

    // First entry offset past the end, and a name without its NUL.
    Bytes distant = directory({{u"A", 1}});
    put32(distant, 12, 0xFFFFFFF0u);
    Bytes open_name = directory({{u"AB", 2}});
    open_name.resize(44 + 4); // the name's NUL and the id are cut off
    for (const Bytes &d : {distant, open_name}) {
        ddt::directory_walk w(d.data(), static_cast<uint32_t>(d.size()));
        EXPECT_FALSE(w.next(&e));
        EXPECT_TRUE(w.broken());
    }
}

TEST(ModelSearch, PdtWithoutCapabilitiesLetsTheSearchGoOn) {
    Bytes f = package({record(510, "", directory({{u"M", 100}})), record(100, "", pdt(999, 203)),
                       record(511, "", directory({{u"M", 101}})), record(101, "", pdt(201, 300)),
                       record(201, "", caps())});
    LoadedModel m(f, u"M");
    ASSERT_TRUE(m.is_valid());
    EXPECT_EQ(m.GetPDT()->dpi, 300);

    Bytes only_first = package({record(510, "", directory({{u"M", 100}})), record(100, "", pdt(999, 203))});
    LoadedModel half(only_first, u"M");
    EXPECT_FALSE(half.is_valid());
    EXPECT_EQ(half.GetVXM(), nullptr);
}

TEST(ModelSearch, NoDataFileLeavesEverythingUnset) {
    LoadedModel none(Bytes{}, u"M");
    EXPECT_FALSE(none.is_valid());
    EXPECT_EQ(none.GetMDT(), nullptr);
    EXPECT_STREQ(none.GetManufacturerName(), "");
    EXPECT_EQ(none.GetEXTPDT(), nullptr);
}

TEST(ModelNames, LongNamesAreKeptAndBadOffsetsGiveEmptyNames) {
    std::u16string long_name(40, u'W');
    Bytes f = package({record(510, "", directory({{u"M", 1}}, u"Short", long_name))});
    LoadedModel m(f, u"M");
    EXPECT_EQ(std::string(m.GetManufacturerName()), std::string(40, 'W'));

    Bytes dir = directory({{u"M", 1}}, u"Short", u"Full");
    put32(dir, 40, static_cast<uint32_t>(dir.size() - 1)); // short name runs off the end
    put32(dir, 16, 0xFFFFFFFFu);
    LoadedModel bad(package({record(510, "", dir)}), u"M");
    EXPECT_STREQ(bad.GetShortMfgName(), "");
    EXPECT_STREQ(bad.GetManufacturerName(), "");
}

TEST(ModelCodes, PrefixAndOemComeFromTheDriverPaths) {
    struct Case {
        const char *driver, *data, *prefix, *oem;
    };
    const Case cases[] = {
        {"C:\\windows\\system32\\spool\\drivers\\x64\\3\\zpl32k.dll", "C:\\d\\omr32eng.dll", "zpl", "omr"},
        {"tec32k.dll", "ott32eng.dll", "tec", "ott"},
        {"C:\\d\\32k.dll", "C:\\d\\32eng.dll", "\\d\\", "\\d\\"},
        {"2k.dll", "eng.dll", "", ""},
        {"abc.dll", "xy32eng.dll", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.driver);
        LoadedModel m;
        m.take_codes(widen(c.driver).c_str(), widen(c.data).c_str());
        EXPECT_STREQ(m.GetPrefix(), c.prefix);
        EXPECT_STREQ(m.GetOEM(), c.oem);
    }
    // Only the low 8 bits of each character count.
    LoadedModel wide;
    WString path = widen("xpl32k.dll");
    path[0] = static_cast<WCHAR>(0x17A);
    wide.take_codes(path.c_str(), nullptr);
    EXPECT_EQ(static_cast<unsigned char>(wide.GetPrefix()[0]), 0x7A);
    // ... but one whose low byte is 0 leaves no code rather than a cut one.
    LoadedModel cut;
    path[1] = static_cast<WCHAR>(0x100);
    cut.take_codes(path.c_str(), path.c_str());
    EXPECT_STREQ(cut.GetPrefix(), "");
}

TEST(ModelCodes, BuildLoadsPrefixDdtFromTheDriverDirectory) {
    Bytes f = package({record(510, "", directory({{u"Kestrel KD42-203dpi", 1}})), record(1, "", pdt(2)),
                       record(2, "", caps())});
    ASSERT_TRUE(write_file(temp_path("qqq.ddt"), f));
    prtfile::SetDriverDirectory(temp_dir().c_str());
    LoadedModel m;
    m.build(widen("Kestrel KD42-203dpi").c_str(), widen("C:\\x\\qqq32k.dll").c_str(),
            widen("C:\\x\\omr32eng.dll").c_str());
    EXPECT_TRUE(m.is_valid());
    LoadedModel missing;
    missing.build(widen("Kestrel KD42-203dpi").c_str(), widen("C:\\x\\nop32k.dll").c_str(), nullptr);
    EXPECT_EQ(missing.GetMDT(), nullptr);
    prtfile::SetDriverDirectory(nullptr);
}

TEST(ModelRecords, ExtensionBlockAndSymbologyAddresses) {
    Bytes p = pdt(2, 203, 260);
    put32(p, 0, 200);
    Bytes c = caps(30, 16);
    put16(c, 4, 40); // table after 12 spare bytes
    c.resize(40 + 30 * 16);
    Bytes f = package({record(510, "", directory({{u"M", 1}})), record(1, "", p), record(2, "", c)});
    LoadedModel m(f, u"M");
    ASSERT_TRUE(m.is_valid());
    auto *base = reinterpret_cast<unsigned char *>(m.GetPDT());
    EXPECT_EQ(m.GetEXTPDT(), base + 200);
    EXPECT_EQ(m.GetEXTPDTSize(), 60);
    auto *caps_base = reinterpret_cast<unsigned char *>(m.GetVXM());
    for (LONG id : {0, 13, 23, 29})
        EXPECT_EQ(reinterpret_cast<unsigned char *>(GetSymbologyData(m.GetVXM(), id)), caps_base + 40 + 16 * id);
    EXPECT_EQ(GetSymbologyData(m.GetVXM(), 30), nullptr);
    EXPECT_EQ(GetSymbologyData(m.GetVXM(), -1), nullptr);
    EXPECT_EQ(GetSymbologyData(nullptr, 0), nullptr);

    put32(p, 0, 260); // extension offset at the very end: nothing there
    Bytes g = package({record(510, "", directory({{u"M", 1}})), record(1, "", p), record(2, "", c)});
    LoadedModel n(g, u"M");
    EXPECT_EQ(n.GetEXTPDT(), nullptr);
    EXPECT_EQ(n.GetEXTPDTSize(), 0);
}

} // namespace
