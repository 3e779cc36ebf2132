// The printer data store over the host's in-memory stand-in: the size rules of
// raw and string values, and the form list's use of the three places. Where
// each value lands in Wine's spooler and registry is tested in the Windows suite.
#include "form_list.h"
#include "foundation/memory.h"
#include "platform/seam.h"
#include "store/predefines.h"
#include "store/prtreg.h"
#include "temp_files.h"
#include "test_model.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

HANDLE const kPrinter = reinterpret_cast<HANDLE>(0x51);
HANDLE const kOtherPrinter = reinterpret_cast<HANDLE>(0x52);

class Store : public ::testing::Test {
protected:
    void SetUp() override { prtreg_host_clear(); }
    void TearDown() override {
        platform::reset();
        prtfile::SetDriverDirectory(nullptr);
    }
    prtreg store{kPrinter};
};

int32_t load_long(prtreg &s, const char *name, bool global) {
    int32_t v = -12345;
    s.LoadRaw(name, reinterpret_cast<unsigned char *>(&v), 4, global);
    return v;
}

TEST_F(Store, RawSizeRules) {
    unsigned char buf[8];
    std::memset(buf, 0xEE, sizeof buf);
    const unsigned char data[] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(store.SaveRaw("six", data, 6, false));

    // Size 0 or a missing value: false, buffer untouched.
    EXPECT_FALSE(store.LoadRaw("six", buf, 0, false));
    EXPECT_FALSE(store.LoadRaw("none", buf, 8, false));
    // A stored value longer than asked for is not read.
    EXPECT_FALSE(store.LoadRaw("six", buf, 4, false));
    EXPECT_EQ(buf[0], 0xEE);

    // A shorter stored value: exactly `size` bytes are written, the rest from the zeroed scratch block.
    ASSERT_TRUE(store.LoadRaw("six", buf, 7, false));
    EXPECT_EQ(std::vector<unsigned char>(buf, buf + 8), (std::vector<unsigned char>{1, 2, 3, 4, 5, 6, 0, 0xEE}));

    // No scratch block: false, untouched.
    std::memset(buf, 0xEE, sizeof buf);
    mrl::allocation().alloc = [](size_t) -> void * { return nullptr; };
    EXPECT_FALSE(store.LoadRaw("six", buf, 8, false));
    EXPECT_FALSE(store.LoadStr("six", buf, 8, false));
    EXPECT_EQ(buf[0], 0xEE);
}

TEST_F(Store, StringSizeRules) {
    const unsigned char text[] = "Label";
    ASSERT_TRUE(store.SaveStr("s", text, 6, false));
    unsigned char buf[16];
    std::memset(buf, 0xEE, sizeof buf);
    ASSERT_TRUE(store.LoadStr("s", buf, 16, false));
    EXPECT_STREQ(reinterpret_cast<char *>(buf), "Label");
    EXPECT_EQ(buf[6], 0xEE); // the text and its NUL only

    // Stored without its NUL and filling the buffer: the text is cut to end inside it.
    const unsigned char bare[] = {'a', 'b', 'c', 'd'};
    ASSERT_TRUE(store.SaveStr("bare", bare, 4, false));
    std::memset(buf, 0xEE, sizeof buf);
    ASSERT_TRUE(store.LoadStr("bare", buf, 4, false));
    EXPECT_STREQ(reinterpret_cast<char *>(buf), "abc");
    EXPECT_EQ(buf[4], 0xEE);
    EXPECT_FALSE(store.LoadStr("s", buf, 0, false));
}

class StoredForms : public Store {
protected:
    TestModel model{"ott"};
    static std::string names(const prtformlist &list) {
        std::string out;
        for (prtform *f = list.get_first(); f; f = f->get_next())
            out += std::string(f->get_name()) + ":" + (f->is_predefined() ? "P" : "") + (f->is_global() ? "G" : "") +
                   (f->is_user() ? "U" : "") + " ";
        return out;
    }
};

TEST_F(StoredForms, SaveIfChangedWritesOnlyWhatTheStoreLacks) {
    // Nothing stored yet: the first save stores the model's list.
    prtformlist first(&model);
    add_form(first, "Stock", FORMF_PREDEFINED, 50800);
    first.SaveIfChanged(store);
    EXPECT_EQ(load_long(store, "Unprintable Width", false), first.GetUnprintableWidth());

    // Loaded from this store and unchanged: nothing is written, so a value
    // changed behind the list's back stays.
    prtformlist again(&model);
    again.Load(store);
    const unsigned char odd[] = {9, 9, 0, 0};
    ASSERT_TRUE(store.SaveRaw("Unprintable Width", odd, 4, false));
    again.SaveIfChanged(store);
    EXPECT_EQ(load_long(store, "Unprintable Width", false), 0x909);

    // A changed list, or another store, is written.
    again.SetUnprintableWidth(777);
    again.SaveIfChanged(store);
    EXPECT_EQ(load_long(store, "Unprintable Width", false), 777);
    prtreg other(kOtherPrinter);
    again.SaveIfChanged(other);
    EXPECT_EQ(load_long(other, "Unprintable Width", false), 777);
}

TEST_F(StoredForms, LoadMergesThePlaces) {
    {
        prtformlist list(&model);
        list.get_first()->set_width(60000);
        list.SetUnprintableWidth(1500);
        add_form(list, "Custom", FORMF_GLOBAL, 30000);
        add_form(list, "Stock", FORMF_PREDEFINED, 40000);
        list.Validate();
        list.Save(store);
    }
    // Another printer of the same OEM sees the shared stocks but its own user form.
    prtreg other(kOtherPrinter);
    prtformlist second(&model);
    ASSERT_TRUE(second.Load(other));
    EXPECT_EQ(names(second), "USER:U Stock:P Custom:G ");
    EXPECT_EQ(second.get_first()->get_width(), 101600);
    EXPECT_EQ(second.GetUnprintableWidth(), 0);
    EXPECT_EQ(second.Find(257)->get_width(), 40000);

    // The stored user form replaces the default one of the same name.
    prtformlist first(&model);
    ASSERT_TRUE(first.Load(store));
    EXPECT_EQ(names(first), "USER:U Stock:P Custom:G ");
    EXPECT_EQ(first.get_first()->get_width(), 60000);
    EXPECT_EQ(first.GetUnprintableWidth(), 1500);

    // A model of another OEM does not see the stocks of this one.
    TestModel foreign("oin");
    prtformlist third(&foreign);
    third.Load(store);
    EXPECT_EQ(names(third), "USER:U Custom:G ");
}

TEST_F(StoredForms, LoadSurvivesBadStoredValues) {
    prtreg global(kPrinter);
    const unsigned char count[] = {3, 0, 0, 0};
    global.SaveRaw("Form Count", count, 4, true);
    // Form 3 missing, Form 2 short (zero-filled), Form 1 too long to read.
    const unsigned char shortrec[] = {0x10, 0x27, 0, 0, 0, 0, 0, 0};
    global.SaveRaw("Form 2", shortrec, sizeof shortrec, true);
    std::vector<unsigned char> longrec(100, 'L');
    global.SaveRaw("Form 1", longrec.data(), 100, true);
    const unsigned char huge[] = {0xFF, 0xFF, 0xFF, 0x7F};
    store.SetPath("System\\CurrentControlSet\\Control\\Print\\Marlin\\ott");
    store.SaveRaw("Form Count", huge, 4, false);
    store.SetPath(nullptr);

    prtformlist list(&model);
    ASSERT_TRUE(list.Load(store));
    ASSERT_EQ(list.Count(), 2);
    prtform *empty_name = list.get_first()->get_next();
    EXPECT_STREQ(empty_name->get_name(), "");
    EXPECT_EQ(empty_name->get_width(), 10000);

    // A list not read whole is never written back: that would make the loss permanent.
    EXPECT_FALSE(list.can_save());
    list.SaveIfChanged(store);
    EXPECT_FALSE(list.Save(store));
    EXPECT_EQ(load_long(store, "Form Count", true), 3);
    store.SetPath("System\\CurrentControlSet\\Control\\Print\\Marlin\\ott");
    EXPECT_EQ(load_long(store, "Form Count", false), 0x7FFFFFFF);
    store.SetPath(nullptr);

    // Neither is a list of more stocks than one place may hold.
    prtformlist big(&model);
    for (int i = 0; i < 1025; ++i)
        add_form(big, ("stock " + std::to_string(i)).c_str(), FORMF_GLOBAL);
    big.Validate();
    EXPECT_FALSE(big.can_save());
    EXPECT_FALSE(big.Save(store));
    EXPECT_EQ(load_long(store, "Form Count", true), 3);
}

TEST_F(StoredForms, ImportOfAnExportChangesNothingReplacementsAreTold) {
    TestModel own("omr");
    prtformlist list(&own);
    add_form(list, "2x1", FORMF_PREDEFINED | FORMF_GLOBAL, 50800, 25400);
    add_form(list, "3x1", FORMF_PREDEFINED | FORMF_GLOBAL, 76200, 25400);
    add_form(list, "4x6", FORMF_GLOBAL, 101600, 152400);
    list.Validate();
    ASSERT_TRUE(list.Save(store));
    const std::string stored = "USER:U 4x6:G 3x1:PG 2x1:PG ";

    prtformlist loaded(&own);
    loaded.Load(store);
    WString path = temp_path("exported.sfm");
    ASSERT_TRUE(loaded.Save(path.c_str()));
    FormImport report;
    ASSERT_TRUE(loaded.Import(path.c_str(), report));
    EXPECT_EQ(report.unchanged, 3);
    EXPECT_EQ(report.added + report.replaced + report.kept, 0);
    ASSERT_TRUE(loaded.Save(store));
    prtformlist back(&own);
    back.Load(store);
    EXPECT_EQ(names(back), stored);

    // Same names, other sizes: a stock that may be deleted gives way, a fixed
    // one (of another OEM) stays; either way the caller hears of it.
    prtformlist changed;
    add_form(changed, "2x1", 0, 50800, 30000);
    add_form(changed, "1x1", 0, 25400, 25400);
    ASSERT_TRUE(changed.Save(path.c_str()));
    std::string told;
    FormImport again;
    again.context = &told;
    again.note = [](void *context, const prtform &listed, bool replaced) {
        *static_cast<std::string *>(context) += std::string(listed.get_name()) + (replaced ? " replaced " : " kept ");
    };
    ASSERT_TRUE(back.Import(path.c_str(), again));
    EXPECT_EQ(told, "2x1 replaced ");
    EXPECT_EQ(again.added, 1);
    EXPECT_EQ(names(back), "USER:U 4x6:G 3x1:PG 2x1:G 1x1:G ");

    TestModel foreign("oin");
    prtformlist fixed(&foreign);
    add_form(fixed, "2x1", FORMF_PREDEFINED, 50800, 25400);
    fixed.Validate();
    told.clear();
    ASSERT_TRUE(fixed.Import(path.c_str(), again));
    EXPECT_EQ(told, "2x1 kept ");
    EXPECT_EQ(names(fixed), "USER:U 2x1:P 1x1:G ");
    EXPECT_EQ(fixed.Find(257)->get_height(), 25400);
}

TEST_F(StoredForms, InstallPredefinesFromThePackage) {
    prtfile::SetDriverDirectory(temp_dir().c_str());
    // The package file: two stocks, one of them too wide for this model.
    prtformlist source;
    add_form(source, "6x4 in", 0, 152400);
    add_form(source, "4x2 in", 0, 101600);
    ASSERT_TRUE(source.Save(temp_path("ottxxeng.sfm").c_str()));

    ASSERT_TRUE(InstallPredefines(store, &model));
    prtformlist installed(&model);
    installed.Load(store);
    EXPECT_EQ(names(installed), "USER:U 6x4 in:P 4x2 in:P ");
    EXPECT_EQ(installed.Find(0)->get_width(), 152400);
    EXPECT_EQ(installed.Find(257)->get_width(), 101600);

    // Again, with the user's change to a stored predefined stock: the stored one stays.
    installed.Find(257)->set_height(50000);
    installed.Save(store);
    ASSERT_TRUE(InstallPredefines(store, &model));
    prtformlist again(&model);
    again.Load(store);
    EXPECT_EQ(again.Count(), 3);
    EXPECT_EQ(again.Find(257)->get_height(), 50000);

    // The driver maker's own package makes its stocks editable (global too).
    TestModel own("omr");
    ASSERT_TRUE(source.Save(temp_path("omrxxeng.sfm").c_str()));
    prtreg own_store(kOtherPrinter);
    ASSERT_TRUE(InstallPredefines(own_store, &own));
    prtformlist own_list(&own);
    own_list.Load(own_store);
    EXPECT_EQ(names(own_list), "USER:U 6x4 in:PG 4x2 in:PG ");

    // No package file: the stored list is saved back as it was.
    TestModel none("xyz");
    EXPECT_TRUE(InstallPredefines(store, &none));
    EXPECT_FALSE(InstallPredefines(store, nullptr));
}

} // namespace
