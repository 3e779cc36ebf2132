// The stock list in Wine's registry: per printer, machine-wide and per OEM.
// How the places merge is tested over the host's store (core_store).
#include "driver_env.h"
#include "store_env.h"
#include "stored_values.h"

#include "form_list.h"
#include "test_model.h"

#include <cstring>

MRL_DRIVER_ENVIRONMENT();

namespace {

std::string names(const prtformlist &list) {
    std::string out;
    for (prtform *f = list.get_first(); f; f = f->get_next())
        out += std::string(f->get_name()) + ":" + std::to_string(f->get_paper_id()) + " ";
    return out;
}

class Forms : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(store_env::ensure_driver()); }
    void SetUp() override {
        ASSERT_TRUE(first.ok()) << first.error();
        ASSERT_TRUE(second.ok()) << second.error();
        store_env::clear_global_key();
        store1.init(first.handle(), first.wname());
        store2.init(second.handle(), second.wname());
    }
    void TearDown() override { store_env::clear_global_key(); }
    static FormRecord record_at(const char *key, const char *name) {
        FormRecord rec = {};
        std::string v = machine_value(key, name);
        if (v.size() == 92)
            FormRecordFromBytes(reinterpret_cast<const unsigned char *>(v.data()), 92, &rec);
        return rec;
    }

    TestModel model{"oin"};
    TestPrinter first{L"MRL Forms One", store_env::kDriver};
    TestPrinter second{L"MRL Forms Two", store_env::kDriver};
    prtreg store1, store2;
};

TEST_F(Forms, SavedWhereEachKindBelongs) {
    prtformlist list(&model);
    list.get_first()->set_width(76200);
    list.SetUnprintableWidth(2000);
    add_form(list, "Shipping 4x6", FORMF_GLOBAL, 101600, 152400);
    add_form(list, "Stock 2x1", FORMF_PREDEFINED, 50800, 25400)->set_bottom(3000);
    list.Validate();
    ASSERT_TRUE(list.Save(store1));

    // Per printer: the user form and the unprintable width, as the spooler keeps them.
    DWORD type = 0;
    std::string stored = printer_value(first.handle(), "User Form", &type);
    ASSERT_TRUE(type == REG_BINARY && stored.size() == 92u);
    FormRecord user;
    FormRecordFromBytes(reinterpret_cast<const unsigned char *>(stored.data()), 92, &user);
    EXPECT_STREQ(user.name, "USER");
    EXPECT_EQ(user.width, 76200);
    EXPECT_EQ(as_long(printer_value(first.handle(), "Unprintable Width")), 2000);

    const char *global = "System\\CurrentControlSet\\Control\\Print\\Marlin";
    EXPECT_EQ(as_long(machine_value(global, "Form Count")), 1);
    EXPECT_STREQ(record_at(global, "Form 1").name, "Shipping 4x6");
    EXPECT_EQ(record_at(global, "Form 1").flags, FORMF_GLOBAL);
    const char *oem = "System\\CurrentControlSet\\Control\\Print\\Marlin\\oin";
    EXPECT_EQ(as_long(machine_value(oem, "Form Count")), 1);
    EXPECT_STREQ(record_at(oem, "Form 1").name, "Stock 2x1");
    EXPECT_EQ(record_at(oem, "Form 1").bottom, 3000);

    // The other printer shares the stocks. A shorter list later leaves higher
    // numbers behind; the count bounds what is read.
    prtformlist other(&model);
    ASSERT_TRUE(other.Load(store2));
    EXPECT_EQ(names(other), "USER:256 Stock 2x1:257 Shipping 4x6:258 ");
    delete other.Find(258);
    ASSERT_TRUE(other.Save(store2));
    prtformlist shorter(&model);
    shorter.Load(store1);
    EXPECT_EQ(names(shorter), "USER:256 Stock 2x1:257 ");
    EXPECT_EQ(shorter.get_first()->get_width(), 76200) << "each printer keeps its own user form";
    EXPECT_STREQ(record_at(global, "Form 1").name, "Shipping 4x6");
}

} // namespace
