#include <gtest/gtest.h>

#include "ddtc.h"
#include "model/ddtformat.h"
#include "model/model.h"

#include <dirent.h>
#include <fstream>
#include <iterator>

using ddtc::Bytes;
using ddtc::json;

namespace {

std::vector<std::string> samples() {
    std::vector<std::string> out;
    if (DIR *d = opendir(PACKAGE_SOURCES)) {
        while (dirent *e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 5 && n.substr(n.size() - 5) == ".json")
                out.push_back(std::string(PACKAGE_SOURCES) + "/" + n);
        }
        closedir(d);
    }
    return out;
}

json load(const std::string &path) {
    std::ifstream f(path);
    return json::parse(f);
}

std::string text_of(const std::vector<ddtc::Problem> &ps) {
    std::string s;
    for (auto &p : ps)
        s += (p.error ? "error: " : "warning: ") + p.text + "\n";
    return s;
}

size_t errors(const std::vector<ddtc::Problem> &ps) {
    size_t n = 0;
    for (auto &p : ps)
        n += p.error;
    return n;
}

json small_source() {
    return json::parse(R"({"records": [
      {"id": 510, "name": "MDT", "directory": {"short_name": "Kestrel", "models": [
         {"name": "A", "pdt": 1}, {"name": "Bee", "pdt": 2}]}},
      {"id": 1, "name": "A", "pdt": {"dpi": 203, "printer_dpi": 203, "printable_width": 104000,
         "printable_length": 990000, "min_paper_width": 150, "max_paper_width": 1180, "max_paper_length": 9900,
         "capabilities_id": 3}},
      {"id": 2, "name": "B", "pdt": {"dpi": 300, "printer_dpi": 300, "printable_width": 104000,
         "printable_length": 990000, "max_paper_width": 1180, "max_paper_length": 9900, "capabilities_id": 3,
         "image_flags": "0x5"}},
      {"id": 3, "name": "caps", "capabilities": {"symbology_count": 30, "line_command": 1,
         "symbologies": [{"id": 3, "supported": 1, "options": "0x2"}]}}
    ]})");
}

// Loads the model of that name from the bytes through the driver's own code.
class Model : public _MODEL {
public:
    Model(const Bytes &file, const WCHAR *name) {
        res_.LoadBytes(file.data(), file.size());
        model_name_ = name;
        resolve();
        init_new_vx();
    }
};

TEST(Ddtc, SamplesRoundTripAndPassTheCheck) {
    auto files = samples();
    ASSERT_GE(files.size(), 3u);
    for (const std::string &path : files) {
        SCOPED_TRACE(path);
        Bytes first = ddtc::build(load(path));
        json dumped = ddtc::dump(first);
        EXPECT_EQ(ddtc::build(dumped), first);
        // Every record of a sample decodes into its named fields.
        for (const json &r : dumped["records"])
            EXPECT_FALSE(r.contains("hex") || r.contains("record")) << r.dump();
        auto problems = ddtc::check(first);
        EXPECT_EQ(errors(problems), 0u) << text_of(problems);
    }
}

TEST(Ddtc, BuiltFileReadsBackThroughTheModelLookup) {
    Bytes file = ddtc::build(small_source());
    Model b(file, WSTR("Bee"));
    ASSERT_TRUE(b.is_valid());
    EXPECT_EQ(b.GetPDT()->dpi, 300);
    EXPECT_EQ(b.GetPDT()->image_flags, 5);
    EXPECT_EQ(b.GetPDT()->ext_offset, sizeof(PDT));
    EXPECT_EQ(b.GetVXM()->symbology_count, 30);
    EXPECT_EQ(b.GetVXM()->symbology_size, sizeof(VXSymbologyData));
    EXPECT_EQ(GetSymbologyData(b.GetVXM(), 3)->options, 2u);
    EXPECT_EQ(GetSymbologyData(b.GetVXM(), 4)->supported, 0);
    EXPECT_STREQ(b.GetManufacturerName(), "Kestrel");
}

TEST(Ddtc, DumpKeepsEveryByteOfOddFiles) {
    Bytes base = ddtc::build(small_source());
    std::vector<std::pair<const char *, Bytes>> cases;
    cases.push_back({"no end marker", Bytes(base.begin(), base.end() - 4)});
    Bytes garbage = base;
    garbage.insert(garbage.end(), {1, 2, 3, 4, 5});
    cases.push_back({"bytes after the end marker", garbage});
    Bytes cut = Bytes(base.begin(), base.end() - 9);
    cases.push_back({"truncated last record", cut});
    // A PDT too short for its fields stays hex.
    json src = small_source();
    src["records"][2].erase("pdt");
    src["records"][2]["hex"] = "0102";
    cases.push_back({"pdt as hex", ddtc::build(src)});
    json odd = small_source();
    odd["records"][0]["before_data"] = "eeee";
    odd["records"][0]["after_data"] = "dd";
    odd["records"][1]["name_hex"] = "c9ff";
    odd["records"][1].erase("name");
    odd["records"][3]["capabilities"]["gap"] = "0000abcd";
    odd["records"][3]["capabilities"]["tail"] = "99";
    odd["records"][3]["capabilities"]["opaque14"] = "0102030405060708090a0b0c";
    cases.push_back({"gaps, tails, odd names", ddtc::build(odd)});
    Bytes overlap = base;
    le::put32(&overlap[8], 4); // data of the first record over its own header
    cases.push_back({"data over the header", overlap});
    Bytes lone_surrogate = base;
    // The first entry's name "A" becomes a lone high surrogate: the directory stays hex.
    size_t entry = le::u32(&base[8]) + 44;
    le::put16(&lone_surrogate[entry], 0xD800);
    cases.push_back({"unpaired surrogate", lone_surrogate});
    for (auto &c : cases) {
        SCOPED_TRACE(c.first);
        json d = ddtc::dump(c.second);
        EXPECT_EQ(ddtc::build(d), c.second);
        EXPECT_EQ(ddtc::build(json::parse(d.dump())), c.second);
    }
}

TEST(Ddtc, CheckReportsContainerFaultsWithTheirOffset) {
    Bytes base = ddtc::build(small_source());
    size_t second = le::u32(&base[0]); // file offset of record 2
    char at[16];
    snprintf(at, sizeof at, "0x%zx", second);

    Bytes truncated(base.begin(), base.end() - 9);
    auto p = ddtc::check(truncated);
    EXPECT_GE(errors(p), 1u);
    EXPECT_NE(text_of(p).find("cut short"), std::string::npos) << text_of(p);

    Bytes bad_offset = base;
    le::put32(&bad_offset[second + 8], 0x10000);
    p = ddtc::check(bad_offset);
    std::string t = text_of(p);
    EXPECT_NE(t.find("data lies outside the record"), std::string::npos) << t;
    EXPECT_NE(t.find(std::string("file offset ") + at), std::string::npos) << t;
    // The reader stops there: the model in record 1 loses its PDT.
    EXPECT_NE(t.find("printer data table 1 is missing"), std::string::npos) << t;

    Bytes short_len = base;
    le::put32(&short_len[second], 12);
    EXPECT_NE(text_of(ddtc::check(short_len)).find("below 17"), std::string::npos);

    Bytes open_name = base;
    for (size_t i = second + 16; i < second + le::u32(&base[second]); ++i)
        open_name[i] = 'x';
    EXPECT_NE(text_of(ddtc::check(open_name)).find("no NUL"), std::string::npos);
}

TEST(Ddtc, CheckReportsModelRecordsTooShortOrMissing) {
    struct Case {
        const char *what;
        void (*spoil)(json &src);
        const char *expect;
    };
    const Case cases[] = {
        {"no directory", [](json &s) { s["records"][0]["id"] = 530; }, "no model directory"},
        {"missing pdt", [](json &s) { s["records"][0]["directory"]["models"][1]["pdt"] = 77; },
         "printer data table 77 is missing"},
        {"short pdt", [](json &s) { s["records"][2].erase("pdt"), s["records"][2]["hex"] = "00"; },
         "is 1 bytes, needs 116"},
        {"missing caps", [](json &s) { s["records"][1]["pdt"]["capabilities_id"] = 9; },
         "capability table 9"},
        {"caps header cut",
         [](json &s) {
             s["records"][3].erase("capabilities");
             s["records"][3]["hex"] = "00000c001c001e00";
         },
         "shorter than the capability table header"},
        {"short directory", [](json &s) { s["records"][0].erase("directory"), s["records"][0]["hex"] = "0000"; },
         "needs 44"},
        {"bad short name", [](json &s) { s["records"][0]["directory"]["opaque0"] = "0000000000000000"; }, nullptr},
        // Tables and names without sense: the driver would serve negative extents or cannot install them.
        {"dpi 0", [](json &s) { s["records"][1]["pdt"]["dpi"] = 0; }, "resolution (dpi, printer_dpi) not positive"},
        {"negative printable width", [](json &s) { s["records"][1]["pdt"]["printable_width"] = -104000; },
         "printable area (printable_width, printable_length) not positive"},
        {"smallest paper above the largest", [](json &s) { s["records"][1]["pdt"]["min_paper_width"] = 1200; },
         "smallest paper (min_paper_width, min_paper_length) above the largest"},
        {"empty name", [](json &s) { s["records"][0]["directory"]["models"][0]["name"] = ""; }, "empty model name"},
        {"escape in name", [](json &s) { s["records"][0]["directory"]["models"][0]["name"] = "A\u001b[2J\n"; },
         "entry \"A\\x1b[2J\\x0a\" at 0x2c: control character in the model name"},
        {"300 characters", [](json &s) { s["records"][0]["directory"]["models"][0]["name"] = std::string(300, 'n'); },
         "model name longer than 200 characters"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        json src = small_source();
        c.spoil(src);
        auto p = ddtc::check(ddtc::build(src));
        if (!c.expect) {
            EXPECT_EQ(errors(p), 0u) << text_of(p);
            continue;
        }
        EXPECT_NE(text_of(p).find(c.expect), std::string::npos) << text_of(p);
    }

    // A table whose records run past its end, and a directory whose count overruns it.
    Bytes caps(sizeof(VXCapabilitiesData) + 12, 0);
    le::put16(&caps[2], 12);
    le::put16(&caps[4], sizeof(VXCapabilitiesData));
    le::put16(&caps[6], 30);
    json src = small_source();
    src["records"][3].erase("capabilities");
    src["records"][3]["hex"] = ddtc::to_hex(caps.data(), caps.size());
    std::string t = text_of(ddtc::check(ddtc::build(src)));
    EXPECT_NE(t.find("symbology table runs past the end"), std::string::npos) << t;
    EXPECT_NE(t.find("30 records of 12"), std::string::npos) << t;

    Bytes base = ddtc::build(small_source());
    le::put32(&base[le::u32(&base[8]) + 8], 5); // model_count of directory 510
    t = text_of(ddtc::check(base));
    EXPECT_NE(t.find("runs past the directory's end (model_count 5)"), std::string::npos) << t;
}

TEST(Ddtc, DuplicateIdsAndNamesAreWarnings) {
    json src = small_source();
    src["records"].push_back(src["records"][1]);
    json dir2 = src["records"][0];
    dir2["id"] = 511;
    src["records"].push_back(dir2);
    auto p = ddtc::check(ddtc::build(src));
    EXPECT_EQ(errors(p), 0u) << text_of(p);
    std::string t = text_of(p);
    EXPECT_NE(t.find("id used again"), std::string::npos) << t;
    EXPECT_NE(t.find("already listed"), std::string::npos) << t;
}

TEST(Ddtc, BuildRejectsWhatItCannotWrite) {
    const char *const spoilt[] = {
        R"({"records": [{"id": 1, "name": "x", "pdt": {"dpii": 203}}]})",
        R"({"records": [{"id": 1, "name": "x", "pdt": {"dpi": 40000}}]})",
        R"({"records": [{"id": 1, "name": "x", "pdt": {"max_copies": "0xZZ"}}]})",
        R"({"records": [{"id": 1, "name": "x", "hex": "abc"}]})",
        R"({"records": [{"id": 1, "name": "x"}]})",
        R"({"records": [{"id": 1, "name": "x", "hex": "", "pdt": {}}]})",
        R"({"records": [{"id": 1, "name": "x", "capabilities": {"symbology_count": 2,
            "symbologies": [{"id": 2}]}}]})",
        R"({"records": [{"id": 510, "directory": {"models": []}}]})",
        R"({"records": [], "extra": 1})",
        // Sizes claimed by a few bytes of text are refused before anything is allocated.
        R"({"records":[{"id":3,"capabilities":{"symbology_size":65535,"symbology_count":65535,"symbology_offset":28}}]})",
        // One strict reading: no comments, no key twice, no octal or spaced numbers.
        "// a comment\n{\"records\": []}",
        R"({"records": [], "records": []})",
        R"({"records": [{"id": 1, "name": "x", "pdt": {"dpi": " 203"}}]})",
        R"({"records": [{"id": 1, "name": "x", "pdt": {"dpi": "0x"}}]})",
        R"({"records": [{"id": 1, "name": 5, "pdt": {}}]})",
    };
    for (const char *s : spoilt) {
        SCOPED_TRACE(s);
        EXPECT_THROW(ddtc::build_text(Bytes(s, s + strlen(s))), ddtc::Error);
    }
}

} // namespace
