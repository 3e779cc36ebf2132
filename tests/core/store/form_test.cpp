// Stocks and the stock list: order and duplicates, paper ids, printable areas,
// enumeration for capability queries, stored records and form-list files.
#include "form_list.h"
#include "temp_files.h"
#include "test_model.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes &v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<unsigned char>(x >> (8 * i)));
}

Bytes sfm_header(uint32_t record_size) {
    Bytes v = {'S', 'F', 'M', '1'};
    put32(v, record_size);
    return v;
}

// The first `size` bytes of a stored record.
void put_record(Bytes &v, int32_t w, int32_t h, const char *name, size_t size = 92) {
    Bytes rec;
    for (int32_t x : {w, h, 1000, 2000, 0, 3000, 0xFF})
        put32(rec, static_cast<uint32_t>(x));
    rec.resize(92, 0);
    std::memcpy(&rec[28], name, std::strlen(name));
    v.insert(v.end(), rec.begin(), rec.begin() + size);
}

std::vector<std::string> names(const prtformlist &list) {
    std::vector<std::string> out;
    for (prtform *f = list.get_first(); f; f = f->get_next())
        out.push_back(f->get_name());
    return out;
}

class FormList : public ::testing::Test {
protected:
    TestModel model;
    prtformlist list;
    // The list for the model, without its default user form.
    void SetUp() override {
        list.init(&model);
        delete list.get_first();
    }
};

TEST_F(FormList, DefaultUserFormFromTheModel) {
    prtformlist with_margins(&model);
    prtform *user = with_margins.get_first();
    ASSERT_TRUE(user && !user->get_next() && user->is_user());
    EXPECT_STREQ(user->get_name(), "USER");
    EXPECT_EQ(user->get_width(), 101600); // tenths of a millimetre in the table
    EXPECT_EQ(user->get_height(), 152400);
    EXPECT_TRUE(user->get_left() == 1270 && user->get_right() == 1270);

    model.pdt.form_flags = 1;
    model.pdt.unprintable_width = 2500;
    prtformlist no_margins(&model);
    EXPECT_TRUE(no_margins.get_first()->get_left() == 0 && no_margins.get_first()->get_right() == 0);
    EXPECT_EQ(no_margins.GetUnprintableWidth(), 2500);
    EXPECT_EQ(prtformlist(nullptr).get_first(), nullptr);
}

TEST_F(FormList, OrdersByNameGreatestFirstWithPaperIds) {
    // Bytes compare unsigned: a name starting with 0xE9 sorts above every ASCII name.
    for (const char *name : {"A", "\xE9tiquette", "C", "", "ab", "B"})
        add_form(list, name, FORMF_GLOBAL);
    list.Validate();
    EXPECT_EQ(names(list), (std::vector<std::string>{"\xE9tiquette", "ab", "C", "B", "A", ""}));
    std::vector<unsigned short> ids(6);
    EXPECT_EQ(list.enum_paper_id(ids.data()), 6);
    EXPECT_EQ(ids, (std::vector<unsigned short>{257, 258, 259, 260, 261, 262}));
}

TEST_F(FormList, DuplicateNames) {
    // The user form survives a global form of its name, in either order, and a fixed one.
    add_form(list, "4x6", FORMF_GLOBAL);
    add_form(list, "4x6", FORMF_USER);
    add_form(list, "2x1", FORMF_USER);
    add_form(list, "2x1", FORMF_GLOBAL);
    add_form(list, "7x7", FORMF_PREDEFINED);
    add_form(list, "7x7", FORMF_USER);
    // A non-global form survives a global one; of two fixed forms the first stays.
    add_form(list, "3x1", FORMF_GLOBAL, 1);
    add_form(list, "3x1", FORMF_PREDEFINED, 2);
    add_form(list, "1x1", FORMF_PREDEFINED, 3);
    add_form(list, "1x1", FORMF_PREDEFINED, 4);
    // Of two global forms the later one stays.
    add_form(list, "5x5", FORMF_GLOBAL, 5);
    add_form(list, "5x5", FORMF_GLOBAL, 6);
    list.Validate();
    std::vector<std::string> kept;
    for (prtform *f = list.get_first(); f; f = f->get_next())
        kept.push_back(std::string(f->get_name()) + " " + std::to_string(f->get_flags()) + " " +
                       std::to_string(f->get_width()));
    EXPECT_EQ(kept, (std::vector<std::string>{"7x7 1 50000", "5x5 4 6", "4x6 1 50000", "3x1 2 2", "2x1 1 50000",
                                              "1x1 2 3"}));
}

TEST_F(FormList, PaperIdsUserTooLargeAndTooSmall) {
    // At least 10 x 6 mm, at most 118 mm wide, 990 mm long.
    add_form(list, "wide", FORMF_GLOBAL, 118001, 100000);
    add_form(list, "fits", FORMF_GLOBAL, 118000, 990000);
    add_form(list, "long", FORMF_GLOBAL, 50000, 990001);
    add_form(list, "narrow", FORMF_GLOBAL, 9999, 100000);
    add_form(list, "short", FORMF_GLOBAL, 50000, 5999);
    add_form(list, "least", FORMF_GLOBAL, 10000, 6000);
    add_form(list, "USER", FORMF_USER, 500000, 100000); // always 256, whatever its size
    add_form(list, "negative", FORMF_GLOBAL, -200000, 100000); // from a damaged store: never offered
    list.Validate();
    EXPECT_STREQ(list.Find(256)->get_name(), "USER");
    EXPECT_STREQ(list.Find(257)->get_name(), "least");
    EXPECT_STREQ(list.Find(258)->get_name(), "fits");
    EXPECT_EQ(list.Find(259), nullptr);
    EXPECT_STREQ(list.Find(0)->get_name(), "wide");
    EXPECT_EQ(list.enum_paper_id(nullptr), 3);
    EXPECT_EQ(list.enum_paper_size(nullptr), 3);
    EXPECT_EQ(list.enum_paper_name(nullptr), 3);
}

TEST_F(FormList, EnumeratesOfferedFormsInListOrder) {
    prtform *margins = add_form(list, "B 4x6", FORMF_GLOBAL, 101600, 152400);
    margins->set_left(1270);
    margins->set_right(1270);
    add_form(list, "A wide", FORMF_GLOBAL, 200000, 10000);
    std::string long_name(63, 'N');
    add_form(list, long_name.c_str(), FORMF_GLOBAL, 50800, 25400);
    list.Validate();

    POINT sizes[2];
    std::vector<WCHAR> slots(2 * 64, 0x5555);
    ASSERT_EQ(list.enum_paper_size(sizes), 2);
    ASSERT_EQ(list.enum_paper_name(slots.data()), 2);
    // "NNN.." sorts above "B 4x6"; the wide one is left out.
    EXPECT_TRUE(sizes[0].x == 508 && sizes[0].y == 254);
    EXPECT_TRUE(sizes[1].x == 1041 && sizes[1].y == 1524); // 101.6 mm + 2 x 1.27 mm, rounded
    EXPECT_EQ(WString(&slots[0]), widen(long_name));
    EXPECT_EQ(slots[63], 0);
    EXPECT_EQ(WString(&slots[64]), widen("B 4x6")); // 128 bytes after the first
}

TEST_F(FormList, PrintableWidthForEachPaperLoading) {
    model.pdt.printable_width = 104000;
    struct {
        uint16_t loading;
        LONG strip, width, left, right, printable, left_offset, right_offset;
    } cases[] = {
        {1, 3000, 100000, 1000, 4000, 98000, 3000, 4000},   // the strip eats 2000 of the label
        {1, 1000, 100000, 3000, 4000, 100000, 3000, 4000},  // a margin wider than the strip
        {1, 1000, 120000, 3000, 4000, 104000, 3000, 20000}, // clamped to the head
        {0, 3000, 100000, 1000, 2000, 99000, 1000, 3000},
        {0, 1000, 120000, 4000, 3000, 104000, 20000, 3000},
        {2, 0, 100000, 2000, 8000, 100000, 5000, 5000},
        {2, 500, 100000, 7000, 1000, 100000, 7500, 500}, // a margin beyond half the spare paper, plus the strip
        {2, 0, 120000, 0, 0, 104000, 8000, 8000},
        {7, 500, 100000, 7000, 1000, 100000, 0, 0}, // unknown loading: offsets untouched
    };
    for (const auto &c : cases) {
        model.pdt.paper_loading = c.loading;
        list.Clear();
        list.SetUnprintableWidth(c.strip);
        prtform *f = add_form(list, "f", FORMF_GLOBAL, c.width);
        f->set_left(c.left);
        f->set_right(c.right);
        list.Validate();
        SCOPED_TRACE(testing::Message() << "loading " << c.loading << " strip " << c.strip << " left " << c.left);
        EXPECT_EQ(f->get_paper_width(), c.width + c.left + c.right);
        EXPECT_EQ(f->get_printable_width(), c.printable);
        EXPECT_EQ(f->get_left_offset(), c.left_offset);
        EXPECT_EQ(f->get_right_offset(), c.right_offset);
    }
}

TEST_F(FormList, PrintableLengthClampedToTheHead) {
    model.pdt.printable_length = 100000;
    prtform *f = add_form(list, "f", FORMF_GLOBAL, 50000, 150000);
    f->set_top(2000);
    f->set_bottom(1000);
    list.Validate();
    EXPECT_EQ(f->get_paper_length(), 153000);
    EXPECT_EQ(f->get_printable_length(), 100000);
    EXPECT_EQ(f->get_top_offset(), 0);
    EXPECT_EQ(f->get_bottom_offset(), 53000);
}

TEST(FormFileImport, MalformedFilesAreRefusedWhole) {
    auto file = [](uint32_t size, std::initializer_list<const char *> names, int32_t w = 50800, uint32_t flags = 0) {
        Bytes v = sfm_header(size);
        for (const char *n : names) {
            size_t at = v.size();
            put_record(v, w, 25400, n, 92);
            for (int i = 0; i < 4; ++i)
                v[at + 24 + i] = static_cast<unsigned char>(flags >> (8 * i));
            v.resize(at + (size > 92 ? 92 : size));
        }
        return v;
    };
    Bytes cut = file(92, {"a", "b"});
    cut.pop_back();
    Bytes random(8 + 3 * 92);
    uint32_t x = 12345;
    for (unsigned char &c : random)
        c = static_cast<unsigned char>((x = x * 1103515245 + 12345) >> 16);
    Bytes header = sfm_header(92);
    std::copy(header.begin(), header.end(), random.begin());
    struct Case {
        Bytes bytes;
        const char *why; // null: imported
        size_t record;
    } cases[] = {
        {file(92, {"4 x 6", "\xC9tiquette"}, 50800, FORMF_GLOBAL | FORMF_PREDEFINED), nullptr, 0},
        {file(88, {"old layout"}), nullptr, 0},
        {file(92, {}), nullptr, 0}, // an exported empty list
        {Bytes{'S', 'F', 'M', '1'}, "not a form list", 0},
        {file(0, {}), "record size outside", 0},
        {file(8, {"a"}), "record size outside", 0},
        {file(93, {"a"}), "record size outside", 0},
        {file(0xFFFFFFFF, {"a"}), "record size outside", 0},
        {cut, "cut short", 2},
        {random, nullptr, 1},
        {file(92, {"ok", ""}), "empty name", 2},
        {file(92, {"line\nbreak"}), "control character", 1},
        {file(92, {"\x1b[2J"}), "control character", 1},
        {file(92, {"bell\x07"}), "control character", 1},
        {file(92, {"narrow"}, 0), "not positive", 1},
        {file(92, {"flags"}, 50800, 0x100), "unknown flags", 1},
        {file(60, {std::string(32, 'n').c_str()}), "does not end inside", 1},
    };
    for (const Case &c : cases) {
        size_t record = 99;
        const char *why = SfmProblem(c.bytes.data(), c.bytes.size(), &record);
        if (!c.why && c.record == 0) {
            EXPECT_EQ(why, nullptr) << why;
            continue;
        }
        ASSERT_NE(why, nullptr) << c.why;
        if (c.why) {
            EXPECT_NE(std::string(why).find(c.why), std::string::npos) << why;
        }
        EXPECT_EQ(record, c.record) << why;
    }
}

class FormFile : public FormList {
protected:
    WString path = temp_path("list.sfm");
};

TEST_F(FormFile, ShortRecordsLeaveTheirTailZero) {
    Bytes file = sfm_header(88);
    std::string long_name(63, '0');
    put_record(file, 50800, 25400, long_name.c_str(), 88);
    put_record(file, 76200, 25400, "3x1", 88);
    file.push_back(1); // a partial record at the end is not read
    ASSERT_TRUE(write_file(path, file));
    ASSERT_TRUE(list.Load(path.c_str(), SFM_IMPORT));
    // The record ends 4 bytes before the name field does: those bytes read as 0.
    EXPECT_EQ(names(list), (std::vector<std::string>{"3x1", long_name.substr(0, 60)}));
    EXPECT_EQ(list.get_first()->get_width(), 76200);
}

TEST_F(FormFile, ModesSetTheFlags) {
    Bytes file = sfm_header(92);
    put_record(file, 50800, 25400, "2x1"); // stored flags 0xFF are not kept
    ASSERT_TRUE(write_file(path, file));
    const uint32_t expected[] = {FORMF_GLOBAL, FORMF_PREDEFINED | FORMF_GLOBAL, FORMF_PREDEFINED};
    for (LONG mode = 0; mode < 3; ++mode) {
        prtformlist l(&model);
        ASSERT_TRUE(l.Load(path.c_str(), mode));
        prtform *f = l.get_first()->get_next();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->get_flags(), expected[mode]) << mode;
        EXPECT_EQ(f->get_paper_id(), 257);
    }
}

TEST_F(FormFile, RefusedAndEmptyFiles) {
    add_form(list, "kept", FORMF_GLOBAL);
    list.Validate();
    EXPECT_FALSE(list.Load(temp_path("missing.sfm").c_str(), 0));
    Bytes other = sfm_header(92);
    other[3] = '2';
    put_record(other, 1, 1, "x");
    ASSERT_TRUE(write_file(path, other));
    EXPECT_FALSE(list.Load(path.c_str(), 0));

    // Record sizes this module cannot read (above 92, or 0) add nothing but succeed.
    for (uint32_t r : {93u, 0u, 0xFFFFFFFFu}) {
        Bytes file = sfm_header(r);
        put_record(file, 1, 1, "x");
        put_record(file, 1, 1, "y");
        ASSERT_TRUE(write_file(path, file));
        EXPECT_TRUE(list.Load(path.c_str(), 0)) << r;
    }
    ASSERT_TRUE(write_file(path, std::string("SFM1")));
    EXPECT_TRUE(list.Load(path.c_str(), 0));
    EXPECT_EQ(names(list), std::vector<std::string>{"kept"});

    // A file of more stocks than a list may hold is refused whole, not cut short.
    Bytes huge = sfm_header(92);
    for (int i = 0; i < 1025; ++i)
        put_record(huge, 50000, 25000, ("stock " + std::to_string(i)).c_str());
    ASSERT_TRUE(write_file(path, huge));
    EXPECT_FALSE(list.Load(path.c_str(), 0));
    EXPECT_EQ(names(list), std::vector<std::string>{"kept"});
}

TEST_F(FormFile, SaveWritesEveryFormButTheUserForm) {
    list.init(&model);
    add_form(list, "2x1", FORMF_PREDEFINED, 50800, 25400)->set_left(700);
    add_form(list, "4x6", FORMF_GLOBAL, 101600, 152400);
    list.Validate();
    ASSERT_TRUE(list.Save(path.c_str()));
    prtfile written(path.c_str(), prtfile::kRead);
    EXPECT_EQ(written.size(), 8 + 2 * 92);

    prtformlist back(&model);
    ASSERT_TRUE(back.Load(path.c_str(), SFM_PREDEFINED));
    EXPECT_EQ(names(back), (std::vector<std::string>{"USER", "4x6", "2x1"}));
    prtform *f = back.Find(258);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->get_width() == 50800 && f->get_height() == 25400 && f->get_left() == 700);

    EXPECT_FALSE(list.Save(widen("/no/such/dir/x.sfm").c_str()));
}

} // namespace
