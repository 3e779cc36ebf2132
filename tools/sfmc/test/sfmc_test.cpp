// sfmc: lengths with units, the package's stock files, and dump -> build
// giving back any form-list file byte for byte.
#include "sfmc.h"

#include "model/prtfile.h"
#include "store/prtform.h"
#include "test_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

using sfmc::Bytes;
using sfmc::json;

json source(const char *name) {
    std::ifstream f(std::string(FORM_SOURCES) + "/" + name);
    Bytes text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    return tooljson::parse(text);
}

// The first `size` bytes of a record of width w and that name field.
Bytes record(int32_t w, const std::string &name_field, size_t size = 92) {
    Bytes r(92, 0);
    for (int i = 0; i < 4; ++i)
        r[i] = static_cast<uint8_t>(w >> (8 * i));
    std::copy(name_field.begin(), name_field.end(), r.begin() + 28);
    r.resize(size);
    return r;
}

Bytes file_of(uint32_t record_size, std::initializer_list<Bytes> parts) {
    Bytes f = {'S', 'F', 'M', '1'};
    for (int i = 0; i < 4; ++i)
        f.push_back(static_cast<uint8_t>(record_size >> (8 * i)));
    for (const Bytes &p : parts)
        f.insert(f.end(), p.begin(), p.end());
    return f;
}

// Loads stock bytes the way the driver does, into a list for the model.
std::string offered(const Bytes &file, _MODEL *model) {
    std::string path = "/tmp/sfmc-test-" + std::to_string(getpid()) + ".sfm";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(file.data()), file.size());
    std::basic_string<WCHAR> wpath(path.begin(), path.end());
    prtformlist list(model);
    EXPECT_TRUE(list.Load(wpath.c_str(), SFM_PREDEFINED));
    unlink(path.c_str());
    std::string out;
    for (prtform *f = list.get_first(); f; f = f->get_next())
        if (!f->is_user())
            out += std::string(f->get_name()) + "=" + std::to_string(f->get_paper_id()) + ";";
    return out;
}

TEST(Sfmc, Lengths) {
    EXPECT_EQ(sfmc::length(101600, "w"), 101600);
    EXPECT_EQ(sfmc::length("4 in", "w"), 101600);
    EXPECT_EQ(sfmc::length("0.0625 in", "w"), 1588); // 1587.5 rounds away from zero
    EXPECT_EQ(sfmc::length("1.5 mm", "w"), 1500);
    EXPECT_EQ(sfmc::length("-2mm", "w"), -2000);
    EXPECT_EQ(sfmc::length("1270 um", "w"), 1270);
    EXPECT_THROW(sfmc::length("4 ft", "w"), sfmc::Error);
    EXPECT_THROW(sfmc::length("in", "w"), sfmc::Error);
    EXPECT_THROW(sfmc::length("100000 in", "w"), sfmc::Error); // beyond 32 bits of micrometres
    EXPECT_THROW(sfmc::length(int64_t(1) << 31, "w"), sfmc::Error);
    EXPECT_THROW(sfmc::length(json(uint64_t(18446744073709551615u)), "w"), sfmc::Error); // not -1 um
    EXPECT_THROW(sfmc::length(1.5, "w"), sfmc::Error);
    for (const char *loose : {"0x10 mm", "1e3 um", "inf mm", " 4 in", "4. in", ".5 in", "1.2.3 mm", "nan in"})
        EXPECT_THROW(sfmc::length(loose, "w"), sfmc::Error) << loose;
}

TEST(Sfmc, PackageStocks) {
    TestModel narrow("omr"); // 118 mm of paper at most
    TestModel wide("omr");
    wide.pdt.max_paper_width = 2286;
    for (const char *name : {"omr.json", "oin.json", "ott.json"}) {
        Bytes file = sfmc::build(source(name));
        ASSERT_EQ((file.size() - 8) % 92, 0u) << name;
        EXPECT_GE((file.size() - 8) / 92, 5u) << name;
        // Every stock fits the wide model; exactly the landscape one is too wide for the narrow one.
        std::string on_narrow = offered(file, &narrow), on_wide = offered(file, &wide);
        EXPECT_EQ(on_wide.find("=0;"), std::string::npos) << name << ": " << on_wide;
        size_t zero = on_narrow.find("=0;");
        ASSERT_NE(zero, std::string::npos) << name;
        EXPECT_NE(on_narrow.rfind("Landscape", zero), std::string::npos) << on_narrow;
        EXPECT_EQ(on_narrow.find("=0;", zero + 1), std::string::npos) << on_narrow;
    }
}

TEST(Sfmc, DumpKeepsEveryByte) {
    std::string garbage_tail = std::string("ab\0", 3) + std::string(61, '\x7F');
    std::string full_name(64, 'N'); // no NUL at all
    std::string latin = "\xC9tiquette 50 \xD7 30";
    Bytes odd_records = file_of(88, {record(5, latin, 88), record(6, garbage_tail, 88), Bytes{1, 2, 3}});
    Bytes full = file_of(92, {record(7, full_name), record(8, "x"), Bytes(91, 0xAA)});
    Bytes unreadable = file_of(93, {record(9, "y"), Bytes{4}});
    Bytes empty_size = file_of(0, {Bytes{5, 6}});
    Bytes header_only = file_of(92, {});
    for (const Bytes &file : {odd_records, full, unreadable, empty_size, header_only}) {
        json j = sfmc::dump(file);
        json reparsed = json::parse(j.dump());
        EXPECT_EQ(sfmc::build(reparsed), file) << j.dump();
    }
    json j = sfmc::dump(odd_records);
    EXPECT_EQ(j["record_size"], 88);
    EXPECT_EQ(j["forms"].size(), 2u);
    EXPECT_EQ(j["forms"][0]["name"], "\u00C9tiquette 50 \u00D7 30");
    EXPECT_FALSE(j["forms"][0].contains("name_field"));
    EXPECT_TRUE(j["forms"][1].contains("name_field"));
    EXPECT_EQ(j["trailing"], "010203");
    EXPECT_EQ(sfmc::dump(unreadable)["forms"].size(), 0u);

    EXPECT_THROW(sfmc::dump(Bytes{'S', 'F', 'M', '2', 92, 0, 0, 0}), sfmc::Error);
    EXPECT_THROW(sfmc::dump(Bytes{'S', 'F', 'M', '1'}), sfmc::Error);
}

TEST(Sfmc, BuildRefusesWhatTheFileCannotHold) {
    auto one = [](json form, uint32_t size = 92) {
        return json{{"record_size", size}, {"forms", json::array({form})}};
    };
    EXPECT_NO_THROW(sfmc::build(one({{"name", std::string(63, 'n')}})));
    EXPECT_THROW(sfmc::build(one({{"name", std::string(64, 'n')}})), sfmc::Error);
    EXPECT_THROW(sfmc::build(one({{"name", "\u20AC label"}})), sfmc::Error); // not Latin-1
    EXPECT_THROW(sfmc::build(one({{"width", 5}})), sfmc::Error);             // no name
    EXPECT_THROW(sfmc::build(one({{"name", "a"}, {"flags", -1}})), sfmc::Error);
    EXPECT_THROW(sfmc::build(one({{"name", "a"}}, 93)), sfmc::Error);
    EXPECT_THROW(sfmc::build(one({{"name", "a"}}, 0)), sfmc::Error);
    EXPECT_THROW(sfmc::build(one({{"name", "a"}, {"name_field", "00"}})), sfmc::Error);
    EXPECT_THROW(sfmc::build(one({{"name", "a"}, {"name_field", std::string(128, '0')}})), sfmc::Error);
    EXPECT_THROW(sfmc::build(json{{"trailing", "abc"}}), sfmc::Error);

    // The same strict reading as ddtc; record_size defaults to what build writes.
    auto text = [](const char *s) { return sfmc::build_text(Bytes(s, s + strlen(s))); };
    EXPECT_EQ(text(R"({"forms": [{"name": "a", "width": "2 in"}]})").size(), 8u + 92);
    for (const char *bad : {R"({"forms": [{"name": "a", "widht": 5}]})", R"({"record_size": 92, "form": []})",
                            "// comment\n{\"forms\": []}", R"({"forms": [], "forms": []})",
                            R"({"forms": [{"name": "a", "flags": "0x100000000"}]})"})
        EXPECT_THROW(text(bad), sfmc::Error) << bad;
}

} // namespace
