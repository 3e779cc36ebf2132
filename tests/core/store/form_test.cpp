// Stocks and the stock list: order and duplicates, paper ids, printable areas,
// enumeration for capability queries, stored records and form-list files.
#include "model/prtfile.h"
#include "store/prtform.h"
#include "test_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

using wstr = std::basic_string<WCHAR>;

wstr widen(const std::string &s) { return wstr(s.begin(), s.end()); }

wstr temp_file(const char *name) {
#ifdef _WIN32
    WCHAR dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return wstr(dir) + widen("mrl-form-" + std::to_string(getpid()) + "-" + name);
#else
    return widen("/tmp/mrl-form-" + std::to_string(getpid()) + "-" + name);
#endif
}

void write_file(const wstr &path, const std::vector<unsigned char> &bytes) {
    prtfile f(path.c_str(), prtfile::kCreate | prtfile::kWrite);
    ASSERT_TRUE(f.is_open());
    ASSERT_EQ(f.Write(bytes.data(), static_cast<LONG>(bytes.size())), static_cast<LONG>(bytes.size()));
}

std::vector<unsigned char> read_file(const wstr &path) {
    prtfile f(path.c_str(), prtfile::kRead);
    std::vector<unsigned char> bytes(f.size() > 0 ? f.size() : 0);
    if (!bytes.empty())
        f.Read(bytes.data(), static_cast<LONG>(bytes.size()));
    return bytes;
}

void put32(std::vector<unsigned char> &v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<unsigned char>(x >> (8 * i)));
}

std::vector<unsigned char> sfm_header(uint32_t record_size) {
    std::vector<unsigned char> v = {'S', 'F', 'M', '1'};
    put32(v, record_size);
    return v;
}

// The first `size` bytes of a stored record.
void put_record(std::vector<unsigned char> &v, int32_t w, int32_t h, const char *name, LONG size = 92) {
    std::vector<unsigned char> rec;
    for (int32_t x : {w, h, 1000, 2000, 0, 3000, 0xFF})
        put32(rec, static_cast<uint32_t>(x));
    std::vector<unsigned char> n(64, 0);
    std::memcpy(n.data(), name, std::strlen(name));
    rec.insert(rec.end(), n.begin(), n.end());
    v.insert(v.end(), rec.begin(), rec.begin() + size);
}

prtform *add(prtformlist &list, const char *name, uint32_t flags, LONG w = 50000, LONG h = 25000) {
    auto *f = new prtform;
    f->set_name(name);
    f->set_flags(flags);
    f->set_width(w);
    f->set_height(h);
    list.Add(f);
    return f;
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
    void SetUp() override { list.init(nullptr); }
    // A list for the model without its default user form.
    void use_model() {
        list.init(&model);
        delete list.get_first();
    }
};

TEST_F(FormList, DefaultUserFormFromTheModel) {
    prtformlist with_margins(&model);
    prtform *user = with_margins.get_first();
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->get_next(), nullptr);
    EXPECT_STREQ(user->get_name(), "USER");
    EXPECT_TRUE(user->is_user());
    EXPECT_EQ(user->get_flags(), 1u);
    EXPECT_EQ(user->get_width(), 101600);
    EXPECT_EQ(user->get_height(), 152400);
    EXPECT_EQ(user->get_left(), 1270);
    EXPECT_EQ(user->get_right(), 1270);
    EXPECT_EQ(user->get_top(), 0);
    EXPECT_EQ(user->get_bottom(), 0);

    model.pdt.form_flags = 1;
    model.pdt.unprintable_width = 2500;
    prtformlist no_margins(&model);
    EXPECT_EQ(no_margins.get_first()->get_left(), 0);
    EXPECT_EQ(no_margins.get_first()->get_right(), 0);
    EXPECT_EQ(no_margins.GetUnprintableWidth(), 2500);

    prtformlist without_model(nullptr);
    EXPECT_EQ(without_model.get_first(), nullptr);
}

TEST_F(FormList, OrdersByNameGreatestFirstWithPaperIds) {
    use_model();
    add(list, "A", FORMF_GLOBAL);
    add(list, "B", FORMF_GLOBAL);
    add(list, "C", FORMF_GLOBAL);
    list.Validate();
    EXPECT_EQ(names(list), (std::vector<std::string>{"C", "B", "A"}));
    std::vector<unsigned short> ids(3);
    EXPECT_EQ(list.enum_paper_id(ids.data()), 3);
    EXPECT_EQ(ids, (std::vector<unsigned short>{257, 258, 259}));

    // Bytes compare unsigned: a name starting with 0xE9 sorts above every ASCII name.
    add(list, "\xE9tiquette", FORMF_GLOBAL);
    add(list, "ab", FORMF_GLOBAL);
    add(list, "", FORMF_GLOBAL);
    list.Validate();
    EXPECT_EQ(names(list), (std::vector<std::string>{"\xE9tiquette", "ab", "C", "B", "A", ""}));
}

TEST_F(FormList, DuplicateNames) {
    use_model();
    // The user form survives a global form of its name, in either order, and a fixed one.
    add(list, "4x6", FORMF_GLOBAL);
    add(list, "4x6", FORMF_USER);
    add(list, "2x1", FORMF_USER);
    add(list, "2x1", FORMF_GLOBAL);
    add(list, "7x7", FORMF_PREDEFINED);
    add(list, "7x7", FORMF_USER);
    // A non-global form survives a global one; of two fixed forms the first stays.
    add(list, "3x1", FORMF_GLOBAL, 1);
    add(list, "3x1", FORMF_PREDEFINED, 2);
    add(list, "1x1", FORMF_PREDEFINED, 3);
    add(list, "1x1", FORMF_PREDEFINED, 4);
    // Of two global forms the later one stays.
    add(list, "5x5", FORMF_GLOBAL, 5);
    add(list, "5x5", FORMF_GLOBAL, 6);
    list.Validate();
    EXPECT_EQ(names(list), (std::vector<std::string>{"7x7", "5x5", "4x6", "3x1", "2x1", "1x1"}));
    std::vector<uint32_t> flags;
    std::vector<LONG> widths;
    for (prtform *f = list.get_first(); f; f = f->get_next()) {
        flags.push_back(f->get_flags());
        widths.push_back(f->get_width());
    }
    EXPECT_EQ(flags, (std::vector<uint32_t>{FORMF_USER, FORMF_GLOBAL, FORMF_USER, FORMF_PREDEFINED, FORMF_USER,
                                            FORMF_PREDEFINED}));
    EXPECT_EQ(widths[1], 6);
    EXPECT_EQ(widths[3], 2);
    EXPECT_EQ(widths[5], 3);
}

TEST_F(FormList, PaperIdsUserAndTooLarge) {
    use_model(); // at most 118 mm wide, 990 mm long
    add(list, "wide", FORMF_GLOBAL, 118001, 100000); // a micrometre too wide: not offered
    add(list, "fits", FORMF_GLOBAL, 118000, 990000); // the largest the printer takes
    add(list, "long", FORMF_GLOBAL, 50000, 990001);  // too long
    add(list, "USER", FORMF_USER, 500000, 100000);   // the user form is always 256, whatever its size
    list.Validate();
    EXPECT_EQ(list.Find(256)->get_name(), std::string("USER"));
    EXPECT_EQ(list.Find(257)->get_name(), std::string("fits"));
    EXPECT_EQ(list.Find(258), nullptr);
    EXPECT_EQ(list.Find(0)->get_name(), std::string("wide"));

    EXPECT_EQ(list.enum_paper_id(nullptr), 2);
    EXPECT_EQ(list.enum_paper_size(nullptr), 2);
    EXPECT_EQ(list.enum_paper_name(nullptr), 2);
}

TEST_F(FormList, EnumeratesOfferedFormsInListOrder) {
    use_model();
    add(list, "B 4x6", FORMF_GLOBAL, 101600, 152400)->set_left(1270);
    list.get_first()->set_right(1270);
    add(list, "A wide", FORMF_GLOBAL, 200000, 10000);
    std::string long_name(63, 'N');
    add(list, long_name.c_str(), FORMF_GLOBAL, 50800, 25400);
    list.Validate();

    POINT sizes[2];
    unsigned short ids[2];
    std::vector<WCHAR> slots(2 * 64, 0x5555);
    ASSERT_EQ(list.enum_paper_size(sizes), 2);
    ASSERT_EQ(list.enum_paper_id(ids), 2);
    ASSERT_EQ(list.enum_paper_name(slots.data()), 2);
    // "NNN.." sorts above "B 4x6"; the wide one is left out.
    EXPECT_EQ(ids[0], 257);
    EXPECT_EQ(ids[1], 258);
    EXPECT_EQ(sizes[0].x, 508);
    EXPECT_EQ(sizes[0].y, 254);
    EXPECT_EQ(sizes[1].x, 1041); // 101.6 mm + 2 x 1.27 mm, rounded
    EXPECT_EQ(sizes[1].y, 1524);
    EXPECT_EQ(wstr(&slots[0]), widen(long_name));
    EXPECT_EQ(slots[63], 0);
    EXPECT_EQ(wstr(&slots[64]), widen("B 4x6")); // 128 bytes after the first
}

TEST_F(FormList, PrintableAreaLoadingLeft) {
    use_model();
    model.pdt.paper_loading = 1;
    model.pdt.printable_width = 104000;
    model.pdt.printable_length = 100000;
    list.SetUnprintableWidth(3000);
    prtform *f = add(list, "f", FORMF_GLOBAL, 100000, 150000);
    f->set_left(1000);
    f->set_right(4000);
    f->set_top(2000);
    f->set_bottom(1000);
    list.Validate();
    EXPECT_EQ(f->get_paper_width(), 105000);
    EXPECT_EQ(f->get_paper_length(), 153000);
    EXPECT_EQ(f->get_printable_width(), 98000); // the strip eats 2000 of the label
    EXPECT_EQ(f->get_left_offset(), 3000);
    EXPECT_EQ(f->get_right_offset(), 4000);
    EXPECT_EQ(f->get_printable_length(), 100000);
    EXPECT_EQ(f->get_top_offset(), 0);
    EXPECT_EQ(f->get_bottom_offset(), 53000);

    // The margin is wider than the strip: the label stays whole, the offset is the margin.
    list.SetUnprintableWidth(1000);
    f->set_left(3000);
    list.Validate();
    EXPECT_EQ(f->get_printable_width(), 100000);
    EXPECT_EQ(f->get_left_offset(), 3000);
    EXPECT_EQ(f->get_right_offset(), 4000);
    EXPECT_EQ(list.GetUnprintableWidth(), 1000);

    // Clamped to what the head can print.
    f->set_width(120000);
    list.Validate();
    EXPECT_EQ(f->get_printable_width(), 104000);
    EXPECT_EQ(f->get_right_offset(), 127000 - 104000 - 3000);
}

TEST_F(FormList, PrintableAreaLoadingRightAndCentred) {
    use_model();
    model.pdt.paper_loading = 0;
    list.SetUnprintableWidth(3000);
    prtform *f = add(list, "f", FORMF_GLOBAL, 100000, 25000);
    f->set_left(1000);
    f->set_right(2000);
    list.Validate();
    EXPECT_EQ(f->get_printable_width(), 99000);
    EXPECT_EQ(f->get_right_offset(), 3000);
    EXPECT_EQ(f->get_left_offset(), 103000 - 99000 - 3000);

    model.pdt.paper_loading = 2;
    list.SetUnprintableWidth(0);
    f->set_left(2000);
    f->set_right(8000);
    list.Validate();
    EXPECT_EQ(f->get_printable_width(), 100000);
    EXPECT_EQ(f->get_left_offset(), 5000);
    EXPECT_EQ(f->get_right_offset(), 5000);
    // A margin wider than half the spare paper wins, and the strip adds to it.
    list.SetUnprintableWidth(500);
    f->set_left(7000);
    f->set_right(1000);
    list.Validate();
    EXPECT_EQ(f->get_left_offset(), 7500);
    EXPECT_EQ(f->get_right_offset(), 108000 - 100000 - 7500);

    // Any other loading value leaves the offsets as they were.
    model.pdt.paper_loading = 7;
    f->set_left(0);
    list.Validate();
    EXPECT_EQ(f->get_left_offset(), 7500);
}

TEST(Form, SizesFromExtremeStoredValuesStayInRange) {
    prtformlist list;
    auto *f = new prtform;
    f->set_width(INT32_MAX);
    f->set_left(INT32_MAX);
    f->set_height(INT32_MIN);
    f->set_top(INT32_MIN);
    list.Add(f);
    f->CalculatePrintableArea();
    EXPECT_EQ(f->get_paper_width(), INT32_MAX);
    EXPECT_EQ(f->get_paper_length(), INT32_MIN);
    POINT size;
    f->GetFormSize(&size);
    EXPECT_EQ(size.x, static_cast<LONG>((int64_t(INT32_MAX) * 2 + 50) / 100));
    EXPECT_EQ(size.y, static_cast<LONG>((int64_t(INT32_MIN) * 2 + 50) / 100));
}

TEST(Form, DeletingUnlinksFromTheList) {
    prtformlist list;
    prtform *a = new prtform;
    prtform *b = new prtform;
    prtform *c = new prtform;
    list.Add(a);
    list.Add(b);
    list.Add(c);
    delete b;
    EXPECT_EQ(list.get_first(), a);
    EXPECT_EQ(a->get_next(), c);
    delete c;
    EXPECT_EQ(list.GetTail(), a);
    EXPECT_EQ(list.Count(), 1);
}

TEST(FormRecordBytes, LayoutAndTermination) {
    std::vector<unsigned char> raw;
    put_record(raw, 101600, -5, "4x6");
    FormRecord rec;
    FormRecordFromBytes(raw.data(), 92, &rec);
    EXPECT_EQ(rec.width, 101600);
    EXPECT_EQ(rec.height, -5);
    EXPECT_EQ(rec.left, 1000);
    EXPECT_EQ(rec.bottom, 3000);
    EXPECT_EQ(rec.flags, 0xFFu);
    EXPECT_STREQ(rec.name, "4x6");
    unsigned char back[92];
    FormRecordToBytes(rec, back);
    EXPECT_EQ(std::vector<unsigned char>(back, back + 92), raw);

    // A name without its NUL is cut at 63 bytes; a short record leaves fields 0.
    std::vector<unsigned char> unterminated(92, 'x');
    FormRecordFromBytes(unterminated.data(), 92, &rec);
    EXPECT_EQ(std::strlen(rec.name), 63u);
    FormRecordFromBytes(raw.data(), 6, &rec);
    EXPECT_EQ(rec.width, 101600);
    EXPECT_EQ(rec.height, 0xFFFB); // two of its four bytes
    EXPECT_EQ(rec.left, 0);
    EXPECT_STREQ(rec.name, "");
}

class FormFile : public FormList {
protected:
    wstr path = temp_file("list.sfm");
    void TearDown() override { prtfile::Delete(path.c_str()); }
};

TEST_F(FormFile, ShortRecordsLeaveTheirTailZero) {
    use_model();
    std::vector<unsigned char> file = sfm_header(88);
    std::string long_name(63, '0');
    put_record(file, 50800, 25400, long_name.c_str(), 88);
    put_record(file, 76200, 25400, "3x1", 88);
    file.push_back(1); // a partial record at the end is not read
    write_file(path, file);
    ASSERT_TRUE(list.Load(path.c_str(), SFM_IMPORT));
    ASSERT_EQ(names(list).size(), 2u);
    EXPECT_EQ(std::string(list.get_first()->get_name()), "3x1");
    EXPECT_EQ(list.get_first()->get_width(), 76200);
    // The record ends 4 bytes before the name field does: those bytes read as 0.
    EXPECT_EQ(std::string(list.get_first()->get_next()->get_name()), long_name.substr(0, 60));
}

TEST_F(FormFile, ModesSetTheFlags) {
    use_model();
    std::vector<unsigned char> file = sfm_header(92);
    put_record(file, 50800, 25400, "2x1"); // stored flags 0xFF are not kept
    write_file(path, file);
    const uint32_t expected[] = {FORMF_GLOBAL, FORMF_PREDEFINED | FORMF_GLOBAL, FORMF_PREDEFINED};
    for (LONG mode = 0; mode < 3; ++mode) {
        prtformlist l(&model);
        ASSERT_TRUE(l.Load(path.c_str(), mode));
        prtform *f = l.get_first();
        ASSERT_STREQ(f->get_name(), "USER");
        f = f->get_next();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->get_flags(), expected[mode]) << mode;
        EXPECT_EQ(f->get_paper_id(), 257);
    }
}

TEST_F(FormFile, RefusedAndEmptyFiles) {
    use_model();
    add(list, "kept", FORMF_GLOBAL);
    list.Validate();

    EXPECT_FALSE(list.Load(temp_file("missing.sfm").c_str(), 0));
    std::vector<unsigned char> other = sfm_header(92);
    other[3] = '2';
    put_record(other, 1, 1, "x");
    write_file(path, other);
    EXPECT_FALSE(list.Load(path.c_str(), 0));
    EXPECT_EQ(names(list), std::vector<std::string>{"kept"});

    // Record sizes this module cannot read (above 92, or 0) add nothing but succeed.
    for (uint32_t r : {93u, 0u, 0xFFFFFFFFu}) {
        std::vector<unsigned char> file = sfm_header(r);
        put_record(file, 1, 1, "x");
        put_record(file, 1, 1, "y");
        write_file(path, file);
        EXPECT_TRUE(list.Load(path.c_str(), 0)) << r;
        EXPECT_EQ(names(list), std::vector<std::string>{"kept"}) << r;
    }
    write_file(path, {'S', 'F', 'M', '1'});
    EXPECT_TRUE(list.Load(path.c_str(), 0));
    EXPECT_EQ(names(list), std::vector<std::string>{"kept"});
}

TEST_F(FormFile, SaveWritesEveryFormButTheUserForm) {
    list.init(&model);
    add(list, "2x1", FORMF_PREDEFINED, 50800, 25400);
    add(list, "4x6", FORMF_GLOBAL, 101600, 152400);
    list.Validate();
    ASSERT_TRUE(list.Save(path.c_str()));

    std::vector<unsigned char> expected = sfm_header(92);
    std::vector<unsigned char> rec(92, 0);
    for (prtform *f = list.get_first(); f; f = f->get_next()) {
        if (f->is_user())
            continue;
        FormRecord r;
        f->get_record(&r);
        FormRecordToBytes(r, rec.data());
        expected.insert(expected.end(), rec.begin(), rec.end());
    }
    std::vector<unsigned char> written = read_file(path);
    EXPECT_EQ(written.size(), 8u + 2 * 92);
    EXPECT_EQ(written, expected);

    prtformlist back(&model);
    ASSERT_TRUE(back.Load(path.c_str(), SFM_PREDEFINED));
    EXPECT_EQ(names(back), (std::vector<std::string>{"USER", "4x6", "2x1"}));

    EXPECT_FALSE(list.Save(widen("/no/such/dir/x.sfm").c_str()));
}

} // namespace
