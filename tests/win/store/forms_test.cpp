// The stock list in Wine's registry: per printer, machine-wide and per OEM.
#include "driver_env.h"
#include "store_env.h"

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
    static FormRecord record_at(HKEY root, const char *key_path, const char *name) {
        FormRecord rec = {};
        HKEY key;
        if (RegOpenKeyExA(root, key_path, 0, KEY_READ, &key) != 0)
            return rec;
        unsigned char bytes[92];
        DWORD type = 0, n = sizeof bytes;
        if (RegQueryValueExA(key, name, nullptr, &type, bytes, &n) == 0 && type == REG_BINARY && n == 92)
            FormRecordFromBytes(bytes, 92, &rec);
        RegCloseKey(key);
        return rec;
    }
    static DWORD count_at(const char *key_path) {
        HKEY key;
        DWORD count = 0xDEAD, n = 4;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path, 0, KEY_READ, &key) == 0) {
            RegQueryValueExA(key, "Form Count", nullptr, nullptr, reinterpret_cast<BYTE *>(&count), &n);
            RegCloseKey(key);
        }
        return count;
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
    unsigned char bytes[92];
    DWORD type = 0, needed = 0;
    ASSERT_EQ(GetPrinterDataA(first.handle(), const_cast<LPSTR>("User Form"), &type, bytes, 92, &needed), 0u);
    EXPECT_TRUE(type == REG_BINARY && needed == 92u);
    FormRecord user;
    FormRecordFromBytes(bytes, 92, &user);
    EXPECT_STREQ(user.name, "USER");
    EXPECT_EQ(user.width, 76200);
    LONG width = 0;
    ASSERT_EQ(GetPrinterDataA(first.handle(), const_cast<LPSTR>("Unprintable Width"), &type,
                              reinterpret_cast<BYTE *>(&width), 4, &needed),
              0u);
    EXPECT_EQ(width, 2000);

    const char *global = "System\\CurrentControlSet\\Control\\Print\\Marlin";
    EXPECT_EQ(count_at(global), 1u);
    EXPECT_STREQ(record_at(HKEY_LOCAL_MACHINE, global, "Form 1").name, "Shipping 4x6");
    EXPECT_EQ(record_at(HKEY_LOCAL_MACHINE, global, "Form 1").flags, FORMF_GLOBAL);
    const char *oem = "System\\CurrentControlSet\\Control\\Print\\Marlin\\oin";
    EXPECT_EQ(count_at(oem), 1u);
    EXPECT_STREQ(record_at(HKEY_LOCAL_MACHINE, oem, "Form 1").name, "Stock 2x1");
    EXPECT_EQ(record_at(HKEY_LOCAL_MACHINE, oem, "Form 1").bottom, 3000);
}

TEST_F(Forms, SharedStocksReachEveryPrinterUserFormStaysOwn) {
    {
        prtformlist list(&model);
        list.get_first()->set_width(76200);
        add_form(list, "Shipping 4x6", FORMF_GLOBAL, 101600, 152400);
        add_form(list, "Stock 2x1", FORMF_PREDEFINED, 50800, 25400);
        list.Validate();
        list.Save(store1);
    }
    prtformlist other(&model);
    ASSERT_TRUE(other.Load(store2));
    EXPECT_EQ(names(other), "USER:256 Stock 2x1:257 Shipping 4x6:258 ");
    EXPECT_EQ(other.get_first()->get_width(), 101600); // the model's default, not printer one's

    prtformlist again(&model);
    ASSERT_TRUE(again.Load(store1));
    EXPECT_EQ(names(again), "USER:256 Stock 2x1:257 Shipping 4x6:258 ");
    EXPECT_EQ(again.get_first()->get_width(), 76200);

    // A shorter list later leaves higher numbers behind; the count bounds what is read.
    delete again.Find(258);
    again.Save(store1);
    prtformlist shorter(&model);
    shorter.Load(store2);
    EXPECT_EQ(names(shorter), "USER:256 Stock 2x1:257 ");
    EXPECT_STREQ(record_at(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Print\\Marlin", "Form 1").name,
                 "Shipping 4x6");
}

} // namespace
